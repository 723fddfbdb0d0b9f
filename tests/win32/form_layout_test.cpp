// The form on small and large-font screens: at 96 and at 120 DPI, in a
// window of 800x600, every label's and button's text fits its control (its
// extent in the message font the form uses, at that DPI), every control
// lies inside the window, the log keeps room to read, and no two controls
// claim the same Alt letter. The DPI is the system's, read when a process
// starts: the test sets it in its own prefix and measures from a copy of
// itself started afterwards.
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
  const int check_box = GetSystemMetrics(SM_CXMENUCHECK);
  // Wine draws the form's window at its monitor's 96 DPI, in pixels, and
  // scales what a thread aware of the system's DPI exchanges with it; this
  // thread speaks in the window's own pixels, the ones its font is drawn in.
  SetThreadDpiAwarenessContext(DPI_AWARENESS_CONTEXT_UNAWARE);
  FormProcess form(FreshDir("form_layout_" + std::string(wanted)) + "kolektor-test.ini");
  SetWindowPos(form.window(), nullptr, 0, 0, 800, 600, SWP_NOZORDER);
  Sleep(500);
  RECT frame{}, client{};
  GetWindowRect(form.window(), &frame);
  GetClientRect(form.window(), &client);
  EXPECT_EQ(frame.right - frame.left, 800) << "the form may be made this small";
  EXPECT_EQ(frame.bottom - frame.top, 600);

  HDC dc = CreateCompatibleDC(screen);
  SelectObject(dc, font);
  // Room a control keeps around its text: a push button's edges, a check
  // box's box and gap, a group box's caption indent.
  const int scaled4 = MulDiv(4, dpi, 96);

  std::set<wchar_t> letters;
  int texts = 0;
  for (const Seen& c : Controls(form.window())) {
    const std::string what = std::to_string(c.control) + " \"" + host::Utf8FromWide(c.text) + "\"";
    EXPECT_TRUE(c.at.left >= 0 && c.at.top >= 0 && c.at.right <= client.right &&
                c.at.bottom <= client.bottom)
        << what << " lies outside the window: " << c.at.left << "," << c.at.top << " " << c.at.right
        << "," << c.at.bottom;
    const bool label = lstrcmpiW(c.kind.c_str(), L"Static") == 0;
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
    const LONG type = c.style & BS_TYPEMASK;
    const int room = label                     ? 0
                     : type == BS_GROUPBOX     ? 4 * scaled4
                     : type == BS_AUTOCHECKBOX ? check_box + scaled4
                                               : 2 * scaled4;
    EXPECT_GE(c.at.right - c.at.left, extent.cx + room) << what << " is cut";
    if (!label && type == BS_GROUPBOX) continue;
    EXPECT_GE(c.at.bottom - c.at.top, extent.cy) << what << " is cut";
    ++texts;
  }
  EXPECT_GE(texts, 25) << "labels and buttons measured";
  // What to do on the terminal is shown whole, either of the plug-in's texts.
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
  std::printf("%d DPI: font %d px, client %ldx%ld, log %ldx%ld, %d texts measured\n", dpi,
              static_cast<int>(tm.tmHeight), client.right, client.bottom, log.right - log.left,
              log.bottom - log.top, texts);
  DeleteDC(dc);
  DeleteObject(font);
  ReleaseDC(nullptr, screen);
}

}  // namespace
}  // namespace kolektor::wintest
