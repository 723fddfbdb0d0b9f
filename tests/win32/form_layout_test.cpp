// The form on small screens and large fonts: at 96, 120 and 144 DPI on an
// 800x600 screen whose task bar takes its bottom, the form opens inside the
// work area; every label's and button's text fits its control (its extent
// in the message font the form uses, at that DPI), the notes' wrapped text
// too; none lies on another; no two controls claim the same Alt letter; the
// log keeps room to read. At 96 and 120 DPI every control lies inside the
// window; at 144 DPI, where the controls cannot all fit 800x600, the form
// scrolls and every control lies within its reach. In the least window it
// may be made, the same holds, and the content reaches the window's edges
// less the margin. The DPI is the system's, read when a process starts: the
// test sets it in its own prefix and measures from a copy of itself started
// afterwards, which runs the form's window in its own process, where it can
// set the work area. The layout pass itself is checked on made-up measures.
#include "host/form_layout.h"

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <set>

#include "host/form_window.h"
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

TEST(WinFormLayout, FitsAt96To144DpiOnASmallScreen) {
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  const std::string report = FreshDir("form_layout") + "measured.txt";
  for (DWORD dpi : {96u, 120u, 144u}) {
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

// What the form's content spans in its client area's coordinates: the
// client area, or, where the form scrolls, the whole of what its scroll bars
// reach.
RECT Reach(HWND form) {
  RECT reach{};
  GetClientRect(form, &reach);
  const LONG style = GetWindowLongW(form, GWL_STYLE);
  for (int bar : {SB_HORZ, SB_VERT}) {
    if ((style & (bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL)) == 0) continue;
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    GetScrollInfo(form, bar, &info);
    LONG& low = bar == SB_VERT ? reach.top : reach.left;
    LONG& high = bar == SB_VERT ? reach.bottom : reach.right;
    low = -info.nPos;
    high = std::max<LONG>(high, info.nMax + 1) - info.nPos;
  }
  return reach;
}

// Every control as a person sees it at the form's present size: inside what
// the window shows or scrolls to, its text not cut (its extent in `dc`'s
// font, the form's, at this DPI; a note's wrapped at its width), none on
// top of another, no Alt letter claimed twice. How many labels and buttons
// were measured.
int CheckControls(HWND form, HDC dc, int dpi) {
  const RECT reach = Reach(form);
  const int check_box = GetSystemMetrics(SM_CXMENUCHECK);
  // Room a control keeps around its text: a push button's edges, a check
  // box's box and gap, a group box's caption indent.
  const int scaled4 = MulDiv(4, dpi, 96);
  const std::vector<Seen> seen = Controls(form);
  std::set<wchar_t> letters;
  int texts = 0;
  for (const Seen& c : seen) {
    const std::string what = std::to_string(c.control) + " \"" + host::Utf8FromWide(c.text) + "\"";
    EXPECT_TRUE(c.at.left >= reach.left && c.at.top >= reach.top && c.at.right <= reach.right &&
                c.at.bottom <= reach.bottom)
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
      if (c.text[i] == L'&' && i + 1 < c.text.size() && (c.style & SS_NOPREFIX) == 0) {
        ++i;
        if (c.text[i] != L'&')
          EXPECT_TRUE(letters.insert(towlower(c.text[i])).second)
              << what << ": its Alt letter is taken already";
      }
      shown += c.text[i];
    }
    const int width = c.at.right - c.at.left, height = c.at.bottom - c.at.top;
    RECT extent{0, 0, width, 0};
    if (label && (c.style & SS_NOPREFIX) != 0) {
      // A note: wrapped at its width, as the control wraps it.
      DrawTextW(dc, shown.c_str(), static_cast<int>(shown.size()), &extent,
                DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
      EXPECT_LE(extent.right, width) << what << " is cut";
      EXPECT_LE(extent.bottom, height) << what << " is cut";
      ++texts;
      continue;
    }
    SIZE one{};
    GetTextExtentPoint32W(dc, shown.c_str(), static_cast<int>(shown.size()), &one);
    const int room = label                     ? 0
                     : type == BS_GROUPBOX     ? 4 * scaled4
                     : type == BS_AUTOCHECKBOX ? check_box + scaled4
                                               : 2 * scaled4;
    EXPECT_GE(width, one.cx + room) << what << " is cut";
    if (group) continue;
    EXPECT_GE(height, one.cy) << what << " is cut";
    ++texts;
  }
  return texts;
}

// The log keeps room to read; what to do on the terminal, either of the
// plug-in's texts, is shown whole or can be scrolled to its end.
void CheckPanes(HWND form, HDC dc) {
  HWND instruction = GetDlgItem(form, id::kInstruction);
  for (HostWord number : {property::kLoadFromHost, property::kSendToHost}) {
    std::wstring text;
    for (wchar_t c : host::WideFromCp1250(host::Property(LoadPlugin(), number)))
      text += c == L'\n' ? std::wstring(L"\r\n") : std::wstring(1, c);
    SendMessageW(instruction, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (ShowsWhole(instruction)) continue;
    EXPECT_NE(GetWindowLongW(instruction, GWL_STYLE) & WS_VSCROLL, 0)
        << "instruction " << number << " is cut and cannot be scrolled";
  }
  RECT log{};
  GetWindowRect(GetDlgItem(form, id::kLog), &log);
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  EXPECT_GE(log.right - log.left, 30 * tm.tmAveCharWidth) << "the log keeps room to read";
  EXPECT_GE(log.bottom - log.top, 5 * tm.tmHeight);
}

// The form's window's messages, for `ms` milliseconds.
void Pump(int ms) {
  const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
  do {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    Sleep(10);
  } while (static_cast<LONG>(end - GetTickCount()) > 0);
}

bool Scrolls(HWND form) {
  return (GetWindowLongW(form, GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL)) != 0;
}

TEST(WinFormLayout, MeasuredHere) {
  const char* wanted = std::getenv(kDpiVariable);
  if (wanted == nullptr) GTEST_SKIP() << "started by FitsAt96To144DpiOnASmallScreen";
  const int dpi = std::atoi(wanted);
  // As the form's manifest asks.
  SetProcessDPIAware();
  INITCOMMONCONTROLSEX common{sizeof common, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&common);
  HDC screen = GetDC(nullptr);
  ASSERT_EQ(GetDeviceCaps(screen, LOGPIXELSY), dpi) << "the system DPI this process started with";
  // An 800x600 screen, a task bar as high as Windows makes it at this DPI
  // at its bottom.
  const RECT work{0, 0, 800, 600 - MulDiv(40, dpi, 96)};
  ASSERT_TRUE(SystemParametersInfoW(SPI_SETWORKAREA, 0, const_cast<RECT*>(&work), 0));
  // The font the form uses: the message font at this DPI.
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  HFONT font = CreateFontIndirectW(&metrics.lfMessageFont);
  HDC dc = CreateCompatibleDC(screen);
  SelectObject(dc, font);

  form::FormWindow form(W(FreshDir("form_layout_" + std::string(wanted)) + "kolektor-test.ini"),
                        "");
  ASSERT_TRUE(form.Create(GetModuleHandleW(nullptr)));
  HWND window = form.window();
  ShowWindow(window, SW_SHOWNORMAL);
  Pump(300);
  RECT frame{}, client{};
  GetWindowRect(window, &frame);
  GetClientRect(window, &client);
  EXPECT_TRUE(frame.left >= work.left && frame.top >= work.top && frame.right <= work.right &&
              frame.bottom <= work.bottom)
      << "opened at " << frame.left << "," << frame.top << " " << frame.right << "," << frame.bottom
      << ", outside the work area";
  if (dpi < 144) EXPECT_FALSE(Scrolls(window)) << "at " << dpi << " DPI all of it shows";
  const int texts = CheckControls(window, dc, dpi);
  EXPECT_GE(texts, 26) << "labels and buttons measured";
  CheckPanes(window, dc);
  RECT log{};
  GetWindowRect(GetDlgItem(window, id::kLog), &log);
  std::printf("%d DPI: work area 800x%ld, window %ldx%ld, client %ldx%ld%s, log %ldx%ld\n", dpi,
              work.bottom, frame.right - frame.left, frame.bottom - frame.top, client.right,
              client.bottom, Scrolls(window) ? " (scrolls)" : "", log.right - log.left,
              log.bottom - log.top);
  if (Scrolls(window)) {
    // The last row of the content, scrolled to.
    SendMessageW(window, WM_VSCROLL, SB_BOTTOM, 0);
    SendMessageW(window, WM_HSCROLL, SB_BOTTOM, 0);
    Pump(100);
    RECT last{};
    GetWindowRect(GetDlgItem(window, id::kSimulatorClear), &last);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&last), 2);
    GetClientRect(window, &client);
    EXPECT_TRUE(last.right <= client.right && last.bottom <= client.bottom && last.left >= 0)
        << "scrolled to the end, the last button shows";
    CheckControls(window, dc, dpi);
  }

  // As small as the window may be made, the form still holds everything.
  // Where that is the least the layout needs, its content reaches the
  // window's edges less the margin: the least size is the placement's own,
  // neither cut nor padded.
  SetWindowPos(window, nullptr, 0, 0, 1, 1, SWP_NOZORDER);
  Pump(300);
  GetWindowRect(window, &frame);
  GetClientRect(window, &client);
  EXPECT_LE(frame.right - frame.left, work.right - work.left) << "its least fits the work area";
  EXPECT_LE(frame.bottom - frame.top, work.bottom - work.top);
  EXPECT_GE(CheckControls(window, dc, dpi), 26);
  CheckPanes(window, dc);
  if (!Scrolls(window)) {
    RECT used{};
    for (const Seen& c : Controls(window)) UnionRect(&used, &used, &c.at);
    EXPECT_EQ(used.right + used.left, client.right) << "the margin on the right is the left one";
    EXPECT_EQ(used.bottom + used.left, client.bottom) << "and so is the one at the bottom";
  }
  std::printf("%d DPI, least: window %ldx%ld, client %ldx%ld%s\n", dpi, frame.right - frame.left,
              frame.bottom - frame.top, client.right, client.bottom,
              Scrolls(window) ? " (scrolls)" : "");
  DestroyWindow(window);
  Pump(100);
  DeleteDC(dc);
  DeleteObject(font);
  ReleaseDC(nullptr, screen);
}

// The layout pass itself, on made-up measures: at the least client size it
// returns, every control lies inside and none on another; a client area
// smaller in either direction gets that same placement (which then does
// not fit), and a larger one is filled to its edges. So the window's least
// size and the placement can never disagree. Long texts make the rows of
// buttons flow onto further lines.
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
    // The note beside "Zeruj" wraps to lines of its own.
    content.notes[id::kClearAbout - id::kPluginLine] = c.instruction.substr(0, 120);
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
