// The test form driven as a person drives it: a running kolektor-test.exe
// found by its window, its controls read and set through their ids, its
// buttons pressed, the plug-in's message boxes and the file dialog answered.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "host/form_ids.h"
#include "host/plugin_host.h"
#include "tests/win32/plugin_loader.h"
#include "tests/win32/program_run.h"

namespace kolektor::wintest {

inline std::wstring W(const std::string& utf8) { return host::WideFromUtf8(utf8); }

inline std::wstring TextOf(HWND window) {
  std::wstring text(1 << 20, L'\0');
  const LRESULT n =
      SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
  text.resize(static_cast<std::size_t>(n));
  return text;
}

inline bool Has(const std::wstring& text, const std::wstring& part) {
  return text.find(part) != std::wstring::npos;
}
#define EXPECT_HAS(text, part) \
  EXPECT_TRUE(Has(text, part)) << host::Utf8FromWide(part) << "\nin:\n" << host::Utf8FromWide(text)

// One running kolektor-test.exe and its window.
class FormProcess {
 public:
  struct Options {
    std::string program;    // default: the built form beside the tests
    std::string dll;        // named on the command line; default: none
    std::string directory;  // its current folder; default: the test's
  };
  FormProcess(const std::string& ini, const Options& options) {
    const std::string program =
        options.program.empty() ? BinDir() + "kolektor-test.exe" : options.program;
    std::string line = "\"" + program + "\" --ini \"" + ini + "\"";
    if (!options.dll.empty()) line += " \"" + options.dll + "\"";
    info_ = StartProgram(line, {options.directory});
    EXPECT_NE(info_.hProcess, nullptr) << line;
    for (int i = 0; i < 300 && window_ == nullptr; ++i) {
      Sleep(100);
      // Shown only once all its controls are made.
      for (HWND found : Windows(form::kWindowClass))
        if (IsWindowVisible(found)) window_ = found;
    }
    EXPECT_NE(window_, nullptr) << "the form's window";
  }
  explicit FormProcess(const std::string& ini) : FormProcess(ini, Options{}) {}
  ~FormProcess() {
    if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
      PostMessageW(window_, WM_CLOSE, 0, 0);
      if (WaitForSingleObject(info_.hProcess, 20000) == WAIT_TIMEOUT)
        TerminateProcess(info_.hProcess, 1);
    }
    Finish(info_, 20000);
  }
  FormProcess(const FormProcess&) = delete;
  FormProcess& operator=(const FormProcess&) = delete;

  bool Close() {
    PostMessageW(window_, WM_CLOSE, 0, 0);
    return WaitForSingleObject(info_.hProcess, 20000) == WAIT_OBJECT_0;
  }
  bool Running() const { return WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }
  HWND window() const { return window_; }

  HWND Item(int control) const { return GetDlgItem(window_, control); }
  std::wstring Text(int control) const { return TextOf(Item(control)); }
  void Type(int control, const std::string& ansi) {
    SendMessageA(Item(control), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(ansi.c_str()));
  }
  void Tick(int control, bool on) {
    if ((SendMessageW(Item(control), BM_GETCHECK, 0, 0) == BST_CHECKED) != on)
      SendMessageW(Item(control), BM_CLICK, 0, 0);
  }
  // A click that returns at once, for a button that opens a dialog.
  void Click(int control) { PostMessageW(Item(control), BM_CLICK, 0, 0); }
  bool Enabled(int control) const { return IsWindowEnabled(Item(control)) != 0; }
  std::wstring Log() const { return Text(form::kLog); }

  // Presses a button and waits until the log has `until`, closing every
  // message box of the form's process meanwhile; what the log gained.
  std::wstring Press(int button, const std::wstring& until, int seconds = 60) {
    const std::size_t before = Log().size();
    SendMessageW(Item(button), BM_CLICK, 0, 0);
    return WaitForLog(before, until, seconds);
  }
  std::wstring WaitForLog(std::size_t from, const std::wstring& until, int seconds = 60) {
    for (int i = 0; i < seconds * 10; ++i) {
      const std::wstring log = Log();
      if (log.size() > from && log.find(until, from) != std::wstring::npos) {
        Sleep(100);  // the last lines of the same event
        return Log().substr(from);
      }
      CloseBoxes();
      Sleep(100);
    }
    ADD_FAILURE() << "no \"" << host::Utf8FromWide(until) << "\" in the log:\n"
                  << host::Utf8FromWide(Log());
    return Log();
  }
  int boxes_closed = 0;

  // Answers the form's file dialog with `path`, as a person types it.
  bool ChooseInDialog(const std::string& path) {
    for (int i = 0; i < 100; ++i) {
      for (HWND dialog : Windows(L"#32770")) {
        if (!IsWindowVisible(dialog)) continue;
        HWND name = FindEdit(dialog);
        if (name == nullptr) continue;
        SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
        return true;
      }
      Sleep(100);
    }
    return false;
  }

  // The top-level windows of a class that the form's process owns.
  std::vector<HWND> Windows(const wchar_t* window_class) const {
    struct Search {
      DWORD pid;
      const wchar_t* window_class;
      std::vector<HWND> found;
    } search{info_.dwProcessId, window_class, {}};
    EnumWindows(
        [](HWND window, LPARAM data) WINAPI -> BOOL {
          auto* s = reinterpret_cast<Search*>(data);
          DWORD pid = 0;
          GetWindowThreadProcessId(window, &pid);
          wchar_t name[64] = {};
          GetClassNameW(window, name, 64);
          if (pid == s->pid && std::wstring(name) == s->window_class) s->found.push_back(window);
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
  }

 private:
  // The plug-in's message boxes: pressed OK through their button.
  void CloseBoxes() {
    for (HWND box : Windows(L"#32770")) {
      if (!IsWindowVisible(box)) continue;
      HWND ok = GetDlgItem(box, IDOK);
      if (ok == nullptr) ok = GetDlgItem(box, IDCANCEL);
      SendMessageW(ok, BM_CLICK, 0, 0);
      ++boxes_closed;
    }
  }

  static HWND FindEdit(HWND dialog) {
    HWND found = nullptr;
    EnumChildWindows(
        dialog,
        [](HWND child, LPARAM data) WINAPI -> BOOL {
          wchar_t name[32] = {};
          GetClassNameW(child, name, 32);
          if (lstrcmpiW(name, L"Edit") != 0 || !IsWindowVisible(child)) return TRUE;
          *reinterpret_cast<HWND*>(data) = child;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
  }

  PROCESS_INFORMATION info_{};
  HWND window_ = nullptr;
};

// An edit shows its whole text: nothing scrolled off the top, its last
// letter inside the box, its last line too.
inline bool ShowsWhole(HWND edit) {
  RECT client{};
  GetClientRect(edit, &client);
  // Asked of the control itself: for another process's window
  // GetWindowTextLength gives its caption.
  const LRESULT length = SendMessageW(edit, WM_GETTEXTLENGTH, 0, 0);
  if (length > 0 &&
      static_cast<short>(LOWORD(SendMessageW(edit, EM_POSFROMCHAR, length - 1, 0))) >= client.right)
    return false;
  if (SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0) != 0) return false;
  const LRESULT lines = SendMessageW(edit, EM_GETLINECOUNT, 0, 0);
  if (lines < 2) return true;
  auto top_of = [edit](LRESULT line) {
    const LRESULT at = SendMessageW(edit, EM_LINEINDEX, static_cast<WPARAM>(line), 0);
    return static_cast<short>(HIWORD(SendMessageW(edit, EM_POSFROMCHAR, at, 0)));
  };
  return top_of(lines - 1) + (top_of(1) - top_of(0)) <= client.bottom;
}

// The log's lines that contain `part`.
inline int CountOf(const std::wstring& text, const std::wstring& part) {
  int n = 0;
  for (std::size_t at = text.find(part); at != std::wstring::npos; at = text.find(part, at + 1))
    ++n;
  return n;
}

}  // namespace kolektor::wintest
