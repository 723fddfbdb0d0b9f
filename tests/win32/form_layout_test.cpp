// The form on small and large-font screens: at 96 and at 120 DPI, in a
// window of 800x600 and in the least window it may be made, every label's
// and button's text fits its control (its extent in the message font the
// form uses, at that DPI), every control lies inside the window and none on
// another, the log keeps room to read, and no two controls claim the same
// Alt letter; at the least size the content reaches the window's edges less
// the margin. The DPI is the system's, read when a process starts: the test
// sets it in its own prefix and measures from a copy of itself started
// afterwards. The layout pass itself is checked on made-up measures.
#include "host/form_layout.h"

#include <set>

#include "tests/win32/form_driver.h"

namespace kolektor::wintest {
namespace {

namespace id = kolektor::form;
const char* kDpiVariable = "KOLEKTOR_LAYOUT_DPI";

void SetSystemDpi(DWORD dpi) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_WRITE,
                            nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
  RegCloseKey(key);
}

TEST(WinFormLayout, FitsAt96And120DpiIn800x600) {
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  const std::string report = FreshDir("form_layout") + "measured.txt";
  for (DWORD dpi : {96u, 120u}) {
    SCOPED_TRACE(dpi);
    SetSystemDpi(dpi);
    SetEnvironmentVariableA(kDpiVariable, std::to_string(dpi).c_str());
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE out = CreateFileA(report.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                             CREATE_ALWAYS, 0, nullptr);
    PROCESS_INFORMATION info = StartProgram(
        "\"" + std::string(self) + "\" --gtest_filter=WinFormLayout.MeasuredHere", {"", 0, out});
    CloseHandle(out);
    const DWORD code = Finish(info, 120000);
    const std::string measured = ReadFileBytes(report);
    EXPECT_EQ(code, 0u) << measured;
    EXPECT_NE(measured.find("[  PASSED  ] 1 test"), std::string::npos) << measured;
    std::printf("%s", measured.substr(0, measured.find("[  PASSED")).c_str());
  }
  SetEnvironmentVariableA(kDpiVariable, nullptr);
  SetSystemDpi(96);
}

// A control as the measure sees it.
struct Seen {
  int control;
  std::wstring kind, text;
  LONG style;
  RECT at;  // in the form's client area
};

std::vector<Seen> Controls(HWND form) {
  std::vector<Seen> seen;
  struct Data {
    HWND form;
    std::vector<Seen>* seen;
  } data{form, &seen};
  EnumChildWindows(
      form,
      [](HWND child, LPARAM param) WINAPI -> BOOL {
        auto* d = reinterpret_cast<Data*>(param);
        if (GetParent(child) != d->form || !IsWindowVisible(child)) return TRUE;
        wchar_t kind[32] = {};
        GetClassNameW(child, kind, 32);
        RECT at{};
        GetWindowRect(child, &at);
        MapWindowPoints(nullptr, d->form, reinterpret_cast<POINT*>(&at), 2);
        d->seen->push_back(
            {GetDlgCtrlID(child), kind, TextOf(child), GetWindowLongW(child, GWL_STYLE), at});
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&data));
  return seen;
}

bool IsGroup(const Seen& c) {
  return lstrcmpiW(c.kind.c_str(), L"Button") == 0 && (c.style & BS_TYPEMASK) == BS_GROUPBOX;
}

// Every control as a person sees it at the form's present size: inside the
// window, its text not cut (its extent in `dc`'s font, the form's, at this
// DPI), none on top of another, no Alt letter claimed twice. How many
// labels and buttons were measured.
int CheckControls(HWND form, HDC dc, int dpi) {
  RECT client{};
  GetClientRect(form, &client);
  const int check_box = GetSystemMetrics(SM_CXMENUCHECK);
  // Room a control keeps around its text: a push button's edges, a check
  // box's box and gap, a group box's caption indent.
  const int scaled4 = MulDiv(4, dpi, 96);
  const std::vector<Seen> seen = Controls(form);
  std::set<wchar_t> letters;
  int texts = 0;
  for (const Seen& c : seen) {
    const std::string what = std::to_string(c.control) + " \"" + host::Utf8FromWide(c.text) + "\"";
    EXPECT_TRUE(c.at.left >= 0 && c.at.top >= 0 && c.at.right <= client.right &&
                c.at.bottom <= client.bottom)
        << what << " lies outside the window: " << c.at.left << "," << c.at.top << " " << c.at.right
        << "," << c.at.bottom;
    const bool label = lstrcmpiW(c.kind.c_str(), L"Static") == 0;
    const LONG type = c.style & BS_TYPEMASK;
    const bool group = IsGroup(c);
    // Group boxes hold their rows; anything else stands alone.
    for (const Seen& other : seen) {
      RECT both{};
      if (!group && &other < &c && !IsGroup(other) && IntersectRect(&both, &c.at, &other.at))
        ADD_FAILURE() << what << " lies on " << other.control << " \""
                      << host::Utf8FromWide(other.text) << "\"";
    }
    if (!label && lstrcmpiW(c.kind.c_str(), L"Button") != 0) continue;
    std::wstring shown;
    for (std::size_t i = 0; i < c.text.size(); ++i) {
      if (c.text[i] == L'&' && i + 1 < c.text.size()) {
        ++i;
        if (c.text[i] != L'&')
          EXPECT_TRUE(letters.insert(towlower(c.text[i])).second)
              << what << ": its Alt letter is taken already";
      }
      shown += c.text[i];
    }
    SIZE extent{};
    GetTextExtentPoint32W(dc, shown.c_str(), static_cast<int>(shown.size()), &extent);
    const int room = label                     ? 0
                     : type == BS_GROUPBOX     ? 4 * scaled4
                     : type == BS_AUTOCHECKBOX ? check_box + scaled4
                                               : 2 * scaled4;
    EXPECT_GE(c.at.right - c.at.left, extent.cx + room) << what << " is cut";
    if (group) continue;
    EXPECT_GE(c.at.bottom - c.at.top, extent.cy) << what << " is cut";
    ++texts;
  }
  return texts;
}

// What to do on the terminal is shown whole, either of the plug-in's
// texts, and the log keeps room to read.
void CheckPanes(const FormProcess& form, HDC dc) {
  for (HostWord number : {property::kLoadFromHost, property::kSendToHost}) {
    std::wstring text;
    for (wchar_t c : host::WideFromCp1250(host::Property(LoadPlugin(), number)))
      text += c == L'\n' ? std::wstring(L"\r\n") : std::wstring(1, c);
    SendMessageW(form.Item(id::kInstruction), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(text.c_str()));
    EXPECT_TRUE(ShowsWhole(form.Item(id::kInstruction))) << "instruction " << number << " is cut";
  }
  RECT log{};
  GetWindowRect(form.Item(id::kLog), &log);
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  EXPECT_GE(log.right - log.left, 30 * tm.tmAveCharWidth) << "the log keeps room to read";
  EXPECT_GE(log.bottom - log.top, 5 * tm.tmHeight);
}

RECT LogRect(const FormProcess& form) {
  RECT log{};
  GetWindowRect(form.Item(id::kLog), &log);
  return log;
}

TEST(WinFormLayout, MeasuredHere) {
  const char* wanted = std::getenv(kDpiVariable);
  if (wanted == nullptr) GTEST_SKIP() << "started by FitsAt96And120DpiIn800x600";
  const int dpi = std::atoi(wanted);
  HDC screen = GetDC(nullptr);
  ASSERT_EQ(GetDeviceCaps(screen, LOGPIXELSY), dpi) << "the system DPI this process started with";
  // The font the form uses: the message font at this DPI.
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  HFONT font = CreateFontIndirectW(&metrics.lfMessageFont);
  // Wine draws the form's window at its monitor's 96 DPI, in pixels, and
  // scales what a thread aware of the system's DPI exchanges with it; this
  // thread speaks in the window's own pixels, the ones its font is drawn in.
  SetThreadDpiAwarenessContext(DPI_AWARENESS_CONTEXT_UNAWARE);
  FormProcess form(FreshDir("form_layout_" + std::string(wanted)) + "kolektor-test.ini");
  HDC dc = CreateCompatibleDC(screen);
  SelectObject(dc, font);

  SetWindowPos(form.window(), nullptr, 0, 0, 800, 600, SWP_NOZORDER);
  Sleep(500);
  RECT frame{}, client{};
  GetWindowRect(form.window(), &frame);
  GetClientRect(form.window(), &client);
  EXPECT_EQ(frame.right - frame.left, 800) << "the form may be made this small";
  EXPECT_EQ(frame.bottom - frame.top, 600);
  const int texts = CheckControls(form.window(), dc, dpi);
  EXPECT_GE(texts, 25) << "labels and buttons measured";
  CheckPanes(form, dc);
  RECT log = LogRect(form);
  std::printf("%d DPI: client %ldx%ld, log %ldx%ld, %d texts measured\n", dpi, client.right,
              client.bottom, log.right - log.left, log.bottom - log.top, texts);

  // As small as the window may be made, the form still holds everything,
  // and its content reaches the window's edges less the margin: the least
  // size is the placement's own, neither cut nor padded.
  SetWindowPos(form.window(), nullptr, 0, 0, 1, 1, SWP_NOZORDER);
  Sleep(500);
  GetClientRect(form.window(), &client);
  EXPECT_GE(CheckControls(form.window(), dc, dpi), 25);
  CheckPanes(form, dc);
  RECT used{};
  for (const Seen& c : Controls(form.window())) UnionRect(&used, &used, &c.at);
  EXPECT_EQ(used.right + used.left, client.right) << "the margin on the right is the left one";
  EXPECT_EQ(used.bottom + used.left, client.bottom) << "and so is the one at the bottom";
  log = LogRect(form);
  std::printf("%d DPI, least: client %ldx%ld, log %ldx%ld, content to %ld,%ld\n", dpi, client.right,
              client.bottom, log.right - log.left, log.bottom - log.top, used.right, used.bottom);
  DeleteDC(dc);
  DeleteObject(font);
  ReleaseDC(nullptr, screen);
}

// The layout pass itself, on made-up measures: at the least client size it
// returns, every control lies inside and none on another; a client area
// smaller in either direction gets that same placement (which then does
// not fit), and a larger one is filled to its edges. So the window's least
// size and the placement can never disagree.
TEST(WinFormLayout, LeastSizeIsWhereThePlacementFitsExactly) {
  const std::wstring long_reason(300, L'x');
  const struct Case {
    const char* name;
    int line, average;
    int settings;  // rows: choices, with one number among them
    int text_letters;
    std::wstring plugin_line, instruction;
  } cases[] = {
      {"96 DPI, the plug-in's five settings", 13, 5, 5, 9, L"Wtyczka: C:\\ZRB\\kolektor.dll",
       std::wstring(400, L'i')},
      {"120 DPI, no plug-in: the reason wraps", 16, 7, 0, 9, long_reason, L""},
      {"144 DPI, long texts", 19, 8, 5, 30, long_reason, std::wstring(900, L'i')},
      {"a narrow font, one setting", 13, 1, 1, 2, L"", L"krótko"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    form::Content content;
    content.units = form::UnitsFor(c.line, c.average, 13, 17);
    for (std::size_t i = 0; i < content.text_w.size(); ++i)
      content.text_w[i] = static_cast<int>((i * 7) % 11 + c.text_letters) * c.average;
    for (int n = 0; n < c.settings; ++n)
      content.rows.push_back({n != 3, (10 + n) * c.average, (5 + 3 * n) * c.average});
    content.plugin_line = c.plugin_line;
    content.instructions = {c.instruction, c.instruction.substr(0, c.instruction.size() / 2)};
    content.wrapped_height = [&c](const std::wstring& text, int width) {
      const int per_line = std::max(width / c.average, 1);
      return std::max<int>((static_cast<int>(text.size()) + per_line - 1) / per_line, 1) * c.line;
    };

    const form::Extent least = form::LeastClient(content);
    const form::Placement at_least = form::PlaceControls(content, least.w, least.h);
    EXPECT_EQ(at_least.used_w, least.w);
    EXPECT_EQ(at_least.used_h, least.h);
    const struct Size {
      int w, h;
    } sizes[] = {
        {least.w, least.h},     {least.w - 1, least.h}, {least.w, least.h - 1},       {0, 0},
        {least.w + 1, least.h}, {least.w, least.h + 1}, {least.w + 157, least.h + 93}};
    for (const Size& size : sizes) {
      SCOPED_TRACE(std::to_string(size.w) + "x" + std::to_string(size.h));
      const form::Placement placement = form::PlaceControls(content, size.w, size.h);
      const bool smaller = size.w < least.w || size.h < least.h;
      EXPECT_EQ(placement.used_w, std::max(size.w, least.w)) << "filled to the right margin";
      EXPECT_EQ(placement.used_h, std::max(size.h, least.h)) << "filled to the bottom margin";
      ASSERT_EQ(placement.at.size(), at_least.at.size());
      for (std::size_t i = 0; i < placement.at.size(); ++i) {
        const form::Place& p = placement.at[i];
        SCOPED_TRACE(p.control);
        EXPECT_TRUE(p.x >= 0 && p.y >= 0 && p.w > 0 && p.h > 0);
        EXPECT_LE(p.x + p.w, std::max(size.w, least.w) - content.units.margin);
        EXPECT_LE(p.y + p.h, std::max(size.h, least.h) - content.units.margin);
        if (smaller) {
          const form::Place& q = at_least.at[i];
          EXPECT_TRUE(p.control == q.control && p.x == q.x && p.y == q.y && p.w == q.w &&
                      p.h == q.h)
              << "a smaller window is not squeezed";
        }
        const bool group = p.control == id::kSettingsGroup || p.control == id::kRehearsalGroup;
        for (std::size_t j = 0; j < i && !group; ++j) {
          const form::Place& q = placement.at[j];
          if (q.control == id::kSettingsGroup || q.control == id::kRehearsalGroup) continue;
          EXPECT_FALSE(p.x < q.x + q.w && q.x < p.x + p.w && p.y < q.y + q.h && q.y < p.y + p.h)
              << "lies on " << q.control;
        }
      }
    }
  }
}

}  // namespace
}  // namespace kolektor::wintest
