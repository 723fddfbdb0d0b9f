// kolektor-test.exe: the test form for the people who install and support
// the plug-in. It loads kolektor.dll (the one named on the command line,
// else the one beside it, else the one in ZRB's folder), builds its
// settings from the plug-in's own descriptions, runs the three operations
// on a worker thread with the host's callbacks answered from those
// settings, logs every callback with its time, explains every error from
// the message table, and checks the installation. With the terminal
// simulator installed beside it, it rehearses the whole round (export,
// scans, import) without a terminal and without touching ZRB's registry.
//
//   kolektor-test.exe [--ini FILE] [PLUGIN.DLL]
//
// Plain Win32, wide-character functions throughout, so the Polish letters
// show on any Windows; the plug-in's Windows-1250 texts become UTF-16 only
// where a control shows them. Every control has a fixed id (form_ids.h) and
// readable text, so a test can drive the form through its controls. The
// layout is computed from the font's measures, so it follows the window's
// size and the screen's DPI.
#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <cwctype>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "base/cp1250.h"
#include "base/texts.h"
#include "export/export_command.h"
#include "host/form_ids.h"
#include "host/install_check.h"
#include "host/plugin_host.h"
#include "tools/docs/message_reference.h"
#include "tools/program_texts.h"

namespace {

namespace u = kolektor::ui;
namespace h = kolektor::host;
namespace id = kolektor::form;
using kolektor::ui::Fill;

// Posted by the worker: a log line, the explanation of an error, the end.
constexpr UINT kLogLine = WM_APP + 1;
constexpr UINT kExplanation = WM_APP + 2;
constexpr UINT kDone = WM_APP + 3;

// The rehearsal's own registry key under HKEY_CURRENT_USER: it stands in
// for HKEY_LOCAL_MACHINE while a rehearsed operation runs.
constexpr const char* kRehearsalKey = "Software\\kolektor\\proba";

std::wstring W(std::string_view utf8) { return h::WideFromUtf8(std::string(utf8)); }
std::wstring FromCp1250(const std::string& cp1250) { return h::WideFromCp1250(cp1250); }
std::string Utf8(const std::string& cp1250) { return kolektor::Utf8FromCp1250(cp1250); }

// Paths go to the plug-in as the host gives them: in the ANSI code page.
std::string Ansi(const std::wstring& wide) {
  if (wide.empty()) return std::string();
  const int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr,
                                    0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), &bytes[0], n, nullptr,
                      nullptr);
  return bytes;
}

std::wstring Text(HWND control) {
  const int n = GetWindowTextLengthW(control);
  std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
  GetWindowTextW(control, &text[0], n + 1);
  text.resize(static_cast<std::size_t>(n));
  return text;
}

// The edit controls break lines at CR LF only.
std::wstring CrLf(const std::wstring& text) {
  std::wstring out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\n' && (i == 0 || text[i - 1] != L'\r')) out += L'\r';
    out += text[i];
  }
  return out;
}

// Seconds with a decimal comma: "4,003".
std::string Seconds(DWORD ms) {
  std::string fraction = std::to_string(ms % 1000);
  fraction.insert(0, 3 - fraction.size(), '0');
  return std::to_string(ms / 1000) + "," + fraction;
}

void Post(HWND window, UINT message, const std::string& utf8) {
  PostMessageW(window, message, 0, reinterpret_cast<LPARAM>(new std::wstring(W(utf8))));
}

// What a worker thread needs; it owns its copy. The plug-in's module stays
// loaded while a worker runs: the form changes it only when idle.
struct Job {
  enum Kind { kExport, kImport, kClear, kCheck } kind = kCheck;
  HWND window = nullptr;
  h::EntryPoints api;
  std::map<std::string, std::string> settings;  // Windows-1250
  std::string path;                             // ANSI
  h::InstallCheckInput check;
  // The current folder during the operation: ZRB's folder (or the
  // simulator's), so that Windows finds IR_READ2.EXE there as it does for
  // ZRB. Empty: left as it is.
  std::string folder;
  std::string rehearsal;  // the simulator's folder when rehearsing
};

// For a rehearsal: HKEY_LOCAL_MACHINE of this process only, and only while
// the operation runs, is a key of the person's own in which ZRB's key
// holds Binaria = the simulator's folder. ZRB's own value is never written.
class RehearsalRegistry {
 public:
  explicit RehearsalRegistry(const std::string& folder) {
    HKEY value_key = nullptr;
    // Volatile: gone at the next start of Windows whatever happens here.
    error_ = RegCreateKeyExA(HKEY_CURRENT_USER, ValueKey().c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                             KEY_WRITE, nullptr, &value_key, nullptr);
    if (error_ != ERROR_SUCCESS) return;
    error_ = RegSetValueExA(value_key, kolektor::kInstallValue, 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(folder.c_str()),
                            static_cast<DWORD>(folder.size() + 1));
    RegCloseKey(value_key);
    if (error_ == ERROR_SUCCESS)
      error_ = RegOpenKeyExA(HKEY_CURRENT_USER, kRehearsalKey, 0, KEY_READ, &root_);
    if (error_ == ERROR_SUCCESS) error_ = RegOverridePredefKey(HKEY_LOCAL_MACHINE, root_);
    redirected_ = error_ == ERROR_SUCCESS;
  }
  ~RehearsalRegistry() {
    if (redirected_) RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
    if (root_ != nullptr) RegCloseKey(root_);
    // The key chain, deepest first, up to the rehearsal's own key.
    std::string key = ValueKey();
    while (key.size() >= std::string(kRehearsalKey).size()) {
      RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
      key.erase(key.find_last_of('\\'));
    }
  }
  RehearsalRegistry(const RehearsalRegistry&) = delete;
  RehearsalRegistry& operator=(const RehearsalRegistry&) = delete;
  bool redirected() const { return redirected_; }
  LONG error() const { return error_; }

 private:
  static std::string ValueKey() {
    return std::string(kRehearsalKey) + "\\" + kolektor::kInstallKey;
  }
  HKEY root_ = nullptr;
  LONG error_ = ERROR_SUCCESS;
  bool redirected_ = false;
};

// The process's current folder for the operation's time.
class CurrentFolder {
 public:
  explicit CurrentFolder(const std::string& folder) {
    if (folder.empty()) return;
    wchar_t before[MAX_PATH] = {};
    if (GetCurrentDirectoryW(MAX_PATH, before) == 0) return;
    before_ = before;
    SetCurrentDirectoryA(folder.c_str());
  }
  ~CurrentFolder() {
    if (!before_.empty()) SetCurrentDirectoryW(before_.c_str());
  }
  CurrentFolder(const CurrentFolder&) = delete;
  CurrentFolder& operator=(const CurrentFolder&) = delete;

 private:
  std::wstring before_;
};

std::string EventLine(const h::Event& e, DWORD start) {
  const std::string time = "[" + Seconds(e.tick - start) + " s] ";
  switch (e.kind) {
    case h::Event::kStatus:
      return time + Fill(u::kHostStatus, {Utf8(e.text)});
    case h::Event::kParam:
      return time + Fill(u::kLogParam, {Utf8(e.name), Utf8(e.text)});
    case h::Event::kError:
      return time + Fill(u::kHostError, {Utf8(e.text)});
    case h::Event::kMessageBox:
      return time + Fill(u::kLogBox, {Utf8(e.name), Utf8(e.text)});
  }
  return time;
}

// The explanation of an error, its lines begun by `indent`; one line each,
// the log and the explanation box wrap them themselves.
std::string ExplanationOf(const std::string& cp1250_error, std::string_view indent) {
  const kolektor::text::Explanation* x = kolektor::text::Explain(cp1250_error);
  if (x == nullptr) return std::string(indent) + std::string(u::kFormNoExplanation);
  std::string lines = kolektor::ExplanationLines(*x, indent, std::string::npos);
  lines.pop_back();  // the last line's LF
  return lines;
}

void RunCheck(const Job& job) {
  Post(job.window, kLogLine, std::string(u::kLogCheckStart));
  int faults = 0, warnings = 0;
  for (const h::InstallCheckItem& item : h::CheckInstallation(job.check)) {
    const std::string_view level = item.level == h::InstallCheckItem::kOk        ? u::kLogOk
                                   : item.level == h::InstallCheckItem::kWarning ? u::kLogWarning
                                                                                 : u::kLogFault;
    faults += item.level == h::InstallCheckItem::kFault;
    warnings += item.level == h::InstallCheckItem::kWarning;
    Post(job.window, kLogLine, std::string(level) + ": " + item.what);
    if (!item.fix.empty())
      Post(job.window, kLogLine, "    " + std::string(u::kLogFix) + " " + item.fix);
  }
  Post(job.window, kLogLine,
       Fill(u::kLogCheckDone, {std::to_string(faults), std::to_string(warnings)}));
}

void RunOperation(const Job& job) {
  HWND window = job.window;
  std::unique_ptr<RehearsalRegistry> rehearsal;
  if (!job.rehearsal.empty()) {
    rehearsal = std::make_unique<RehearsalRegistry>(job.rehearsal);
    if (!rehearsal->redirected()) {
      Post(window, kLogLine, Fill(u::kLogRehearsalFailed, {std::to_string(rehearsal->error())}));
      return;
    }
  }
  const CurrentFolder folder(job.folder);
  h::Session session(job.api, 1);
  session.settings = job.settings;
  const DWORD start = GetTickCount();
  session.on_event = [window, start](const h::Event& e) {
    Post(window, kLogLine, EventLine(e, start));
    if (e.kind == h::Event::kError) {
      Post(window, kLogLine, ExplanationOf(e.text, "        "));
      std::string shown = ExplanationOf(e.text, "");
      const std::size_t lf = shown.find('\n');
      if (lf != std::string::npos) shown.replace(lf, 1, "\r\n");  // the box breaks at CR LF
      Post(window, kExplanation, shown);
    }
  };
  // The boxes are the person's to close, as in the host; each is logged.
  h::MessageBoxWatch boxes(&session, false);
  int result = 0;
  switch (job.kind) {
    case Job::kExport:
      result = session.Export(1, job.path);
      break;
    case Job::kImport:
      result = session.Import(1, job.path);
      break;
    default:
      result = session.Clear(1);
      break;
  }
  Post(window, kLogLine,
       Fill(u::kLogResult,
            {std::to_string(result), std::string(result == 1 ? u::kResultDone : u::kResultFailed),
             Seconds(GetTickCount() - start)}));
}

DWORD WINAPI RunJob(LPVOID parameter) {
  const std::unique_ptr<Job> job(static_cast<Job*>(parameter));
  if (job->kind == Job::kCheck)
    RunCheck(*job);
  else
    RunOperation(*job);
  PostMessageW(job->window, kDone, 0, 0);
  return 0;
}

// The text a control shows: "&" marks the next letter as the Alt key's and
// "&&" is one "&".
std::wstring Shown(const std::wstring& text) {
  std::wstring shown;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'&' && i + 1 < text.size()) ++i;
    shown += text[i];
  }
  return shown;
}

// The Alt letter a text claims, lower case; 0 when none.
wchar_t Mnemonic(const std::wstring& text) {
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != L'&') continue;
    if (text[i + 1] != L'&') return static_cast<wchar_t>(towlower(text[i + 1]));
    ++i;
  }
  return 0;
}

// A label of the plug-in's with the first letter or digit no other control
// claims marked for the Alt key.
std::wstring WithMnemonic(const std::wstring& label, std::set<wchar_t>& taken) {
  std::wstring escaped;
  bool marked = false;
  for (wchar_t c : label) {
    const wchar_t lower = static_cast<wchar_t>(towlower(c));
    if (!marked && c < 128 && iswalnum(c) && taken.count(lower) == 0) {
      escaped += L'&';
      taken.insert(lower);
      marked = true;
    }
    escaped += c;
    if (c == L'&') escaped += L'&';
  }
  return escaped;
}

class Form {
 public:
  Form(std::wstring ini, std::string dll) : ini_(std::move(ini)), dll_named_(std::move(dll)) {}

  bool Create(HINSTANCE instance) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    wc.lpszClassName = id::kWindowClass;
    RegisterClassExW(&wc);
    window_ = CreateWindowExW(WS_EX_CONTROLPARENT, id::kWindowClass, W(u::kFormTitle).c_str(),
                              WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, nullptr, nullptr, instance, this);
    return window_ != nullptr;
  }
  HWND window() const { return window_; }

 private:
  // The layout's measures, from the font at this screen's DPI.
  struct Measures {
    int line = 13;    // height of a line of text
    int margin = 9;   // around the content and inside the groups
    int gap = 6;      // between controls
    int field = 23;   // height of an edit, a combo box, a button
    int pad = 18;     // a button's room beside its text
    int check = 20;   // a check box's box and the room after it
    int average = 6;  // an average letter's width
  };

  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
      auto* form = static_cast<Form*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
      form->window_ = window;
    }
    auto* form = reinterpret_cast<Form*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return form != nullptr ? form->Handle(message, wparam, lparam)
                           : DefWindowProcW(window, message, wparam, lparam);
  }

  LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
      case WM_CREATE:
        Build();
        return 0;
      case WM_SIZE:
        Layout();
        return 0;
      case WM_GETMINMAXINFO: {
        auto* limits = reinterpret_cast<MINMAXINFO*>(lparam);
        const SIZE frame = FrameFor(needed_);
        limits->ptMinTrackSize = {frame.cx, frame.cy};
        return 0;
      }
      case WM_COMMAND:
        Command(LOWORD(wparam), HIWORD(wparam));
        return 0;
      // Tab out of the log (a multi-line edit asks its parent for the next
      // control, as in a dialog box).
      // An Alt letter reaches its control the same way. As in a dialog box,
      // an edit reached so has its whole text selected, so that what the
      // person types replaces it ("1" in "Ilość" does not become "14").
      case WM_NEXTDLGCTL: {
        HWND next = lparam != 0 ? reinterpret_cast<HWND>(wparam)
                                : GetNextDlgTabItem(window_, GetFocus(), wparam != 0);
        if (next != nullptr && (SendMessageW(next, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) != 0)
          SendMessageW(next, EM_SETSEL, 0, -1);
        SetFocus(next);
        return 0;
      }
      case WM_ACTIVATE:
        if (LOWORD(wparam) == WA_INACTIVE)
          focus_ = GetFocus();
        else
          SetFocus(focus_ != nullptr && IsWindow(focus_)
                       ? focus_
                       : GetNextDlgTabItem(window_, nullptr, FALSE));
        return 0;
      case kLogLine:
      case kExplanation: {
        std::unique_ptr<std::wstring> text(reinterpret_cast<std::wstring*>(lparam));
        if (message == kLogLine)
          Log(*text);
        else
          SetWindowTextW(Item(id::kExplanation), CrLf(*text).c_str());
        return 0;
      }
      case kDone:
        if (worker_ != nullptr) {
          WaitForSingleObject(worker_, INFINITE);
          CloseHandle(worker_);
          worker_ = nullptr;
        }
        EnableControls();
        if (close_when_done_) PostMessageW(window_, WM_CLOSE, 0, 0);
        return 0;
      case WM_CLOSE:
        if (worker_ != nullptr) {
          // The worker uses the plug-in and posts to this window: the form
          // closes only after it.
          if (!close_when_done_ &&
              MessageBoxW(window_, W(u::kFormCloseRunning).c_str(), W(u::kFormTitle).c_str(),
                          MB_YESNO | MB_ICONQUESTION) == IDYES) {
            close_when_done_ = true;
            Log(u::kLogCloseWhenDone);
            if (worker_ == nullptr) PostMessageW(window_, WM_CLOSE, 0, 0);  // ended meanwhile
          }
          return 0;
        }
        SaveSettings();
        DestroyWindow(window_);
        return 0;
      case WM_DESTROY:
        h::UnloadPlugin(plugin_);
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window_, message, wparam, lparam);
  }

  HWND Item(int control) const { return GetDlgItem(window_, control); }

  HWND Add(const wchar_t* kind, const std::wstring& text, DWORD style, int control,
           DWORD ex_style = 0) {
    HWND child = CreateWindowExW(
        ex_style, kind, text.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10, window_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(control)), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    return child;
  }
  HWND Label(std::string_view text, int control) {
    return Add(L"STATIC", W(text), SS_LEFT, control);
  }
  HWND Button(std::string_view text, int control, DWORD style = BS_PUSHBUTTON) {
    return Add(L"BUTTON", W(text), style | WS_TABSTOP, control);
  }
  HWND Edit(const std::wstring& text, int control, DWORD style = ES_AUTOHSCROLL) {
    return Add(L"EDIT", text, style | WS_TABSTOP, control, WS_EX_CLIENTEDGE);
  }
  // Read-only text that can be selected and copied: paths, explanations.
  HWND Reading(int control, DWORD style, DWORD ex_style) {
    return Add(L"EDIT", L"", ES_READONLY | style, control, ex_style);
  }

  int TextWidth(const std::wstring& text) const {
    HDC dc = GetDC(window_);
    HGDIOBJ old = SelectObject(dc, font_);
    const std::wstring shown = Shown(text);
    SIZE size{};
    GetTextExtentPoint32W(dc, shown.c_str(), static_cast<int>(shown.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(window_, dc);
    return size.cx;
  }
  int ItemTextWidth(int control) const { return TextWidth(Text(Item(control))); }
  // The height of `text` broken into lines of at most `width` pixels, as an
  // edit control breaks it; at least one line.
  int WrappedHeight(const std::wstring& text, int width) const {
    HDC dc = GetDC(window_);
    HGDIOBJ old = SelectObject(dc, font_);
    RECT rect{0, 0, std::max(width, 1), 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect,
              DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(window_, dc);
    return std::max<int>(rect.bottom, m_.line);
  }
  int ButtonWidth(int control) const { return ItemTextWidth(control) + m_.pad; }
  int CheckWidth(int control) const { return ItemTextWidth(control) + m_.check; }

  void Build() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    font_ = CreateFontIndirectW(&metrics.lfMessageFont);
    HDC dc = GetDC(window_);
    HGDIOBJ old = SelectObject(dc, font_);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(window_, dc);
    m_.line = tm.tmHeight;
    m_.average = std::max<int>(tm.tmAveCharWidth, 1);
    m_.margin = m_.line * 2 / 3 + 1;
    m_.gap = m_.line / 3 + 1;
    m_.field = m_.line + m_.line / 2 + 4;
    m_.pad = 3 * m_.average + 8;
    m_.check = std::max<int>(GetSystemMetrics(SM_CXMENUCHECK), m_.line) + m_.average + 4;
    simulator_ = h::ProgramFolder() + "simulator";
    has_simulator_ = h::IsFile(simulator_ + "\\terminal.exe");

    // Created in the order of Tab; a label just before what it names, so
    // that its Alt letter reaches that control.
    // Several lines when the reason a plug-in is missing needs them.
    Reading(id::kPluginLine, ES_MULTILINE, 0);
    Button(u::kFormChoosePlugin, id::kChoosePlugin);
    Reading(id::kModelLine, ES_AUTOHSCROLL, 0);
    Add(L"BUTTON", W(u::kFormSettings), BS_GROUPBOX, id::kSettingsGroup);
    Label(u::kFormGoodsFile, id::kGoodsLabel);
    Edit(ReadIni(L"pliki", L"towary", L""), id::kGoodsPath);
    Button(u::kFormBrowse, id::kGoodsBrowse);
    Label(u::kFormCountsFile, id::kCountsLabel);
    Edit(ReadIni(L"pliki", L"inwentaryzacja", L""), id::kCountsPath);
    Button(u::kFormBrowse, id::kCountsBrowse);
    Button(u::kFormExport, id::kExport);
    Button(u::kFormImport, id::kImport);
    Button(u::kFormClear, id::kClear);
    Button(u::kFormCheck, id::kCheck);
    Button(u::kFormTrace, id::kTrace, BS_AUTOCHECKBOX);
    Button(u::kFormShowTrace, id::kShowTrace);
    Add(L"BUTTON", W(u::kFormRehearsalGroup), BS_GROUPBOX, id::kRehearsalGroup);
    Button(u::kFormRehearsal, id::kRehearsal, BS_AUTOCHECKBOX);
    Button(u::kFormSimulatorClear, id::kSimulatorClear);
    Label(u::kFormScanCode, id::kScanCodeLabel);
    Edit(L"", id::kScanCode);
    Label(u::kFormScanQuantity, id::kScanQuantityLabel);
    Edit(L"1", id::kScanQuantity);
    Button(u::kFormScan, id::kScan);
    Label(u::kFormLog, id::kLogLabel);
    HWND log = Reading(id::kLog, ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP,
                       WS_EX_CLIENTEDGE);
    SendMessageW(log, EM_SETLIMITTEXT, 8 << 20, 0);
    Button(u::kFormCopyLog, id::kCopyLog);
    Button(u::kFormClearLog, id::kClearLog);
    Label(u::kFormInstruction, id::kInstructionLabel);
    Reading(id::kInstruction, ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP,
            WS_EX_CLIENTEDGE);
    Label(u::kFormExplanation, id::kExplanationLabel);
    Reading(id::kExplanation, ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP,
            WS_EX_CLIENTEDGE);

    std::string path = dll_named_;
    std::string missing;
    if (path.empty()) {
      const h::DefaultPlugin found = h::FindDefaultPlugin();
      path = found.path;
      missing = found.missing;
    }
    if (path.empty() || !UsePlugin(path)) {
      const std::wstring why =
          W(Fill(u::kFormPluginMissing, {path.empty() ? missing : load_error_}));
      SetWindowTextW(Item(id::kPluginLine), why.c_str());
      Log(why);
      Log(u::kLogChooseHint);
      BuildSettings();
    }
    EnableControls();

    // As large as the content wants and the screen allows.
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    SIZE size = FrameFor({needed_.cx + 40 * m_.average, needed_.cy + 6 * m_.line});
    size.cx = std::min<LONG>(size.cx, work.right - work.left);
    size.cy = std::min<LONG>(size.cy, work.bottom - work.top);
    SetWindowPos(window_, nullptr, work.left + (work.right - work.left - size.cx) / 2,
                 work.top + (work.bottom - work.top - size.cy) / 2, size.cx, size.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }

  // A plug-in chosen later brings its settings: the window grows to hold
  // them, within the screen, instead of cutting off the rows below.
  void GrowToContent() {
    RECT client{}, at{}, work{};
    GetClientRect(window_, &client);
    if (IsZoomed(window_) || (client.right >= needed_.cx && client.bottom >= needed_.cy)) return;
    GetWindowRect(window_, &at);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    SIZE size = FrameFor(
        {std::max<LONG>(client.right, needed_.cx), std::max<LONG>(client.bottom, needed_.cy)});
    size.cx = std::min<LONG>(size.cx, work.right - work.left);
    size.cy = std::min<LONG>(size.cy, work.bottom - work.top);
    const LONG left = std::max<LONG>(work.left, std::min<LONG>(at.left, work.right - size.cx));
    const LONG top = std::max<LONG>(work.top, std::min<LONG>(at.top, work.bottom - size.cy));
    SetWindowPos(window_, nullptr, left, top, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
  }

  SIZE FrameFor(SIZE client) const {
    RECT frame{0, 0, client.cx, client.cy};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongW(window_, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongW(window_, GWL_EXSTYLE)));
    return {frame.right - frame.left, frame.bottom - frame.top};
  }

  // Loads a plug-in in place of the one loaded, and rebuilds the settings
  // from its descriptions. False when it cannot be loaded (`load_error_`
  // says why); the one loaded stays then.
  bool UsePlugin(const std::string& path) {
    h::Plugin fresh;
    if (!h::LoadPlugin(path, fresh, load_error_)) return false;
    if (loaded_) SaveSettings();
    h::UnloadPlugin(plugin_);
    plugin_ = fresh;
    loaded_ = true;
    SetWindowTextW(Item(id::kPluginLine),
                   W(Fill(u::kFormPlugin, {h::Utf8FromAnsi(plugin_.path),
                                           plugin_.version.empty() ? std::string(u::kFormNoVersion)
                                                                   : plugin_.version}))
                       .c_str());
    SetWindowTextW(
        Item(id::kModelLine),
        W(Fill(u::kFormModel, {Utf8(h::Property(plugin_.api, kolektor::property::kModel)),
                               Utf8(h::Property(plugin_.api, kolektor::property::kIdentifier))}))
            .c_str());
    SendMessageW(Item(id::kTrace), BM_SETCHECK, TraceOn() ? BST_CHECKED : BST_UNCHECKED, 0);
    instructions_.clear();
    for (h::Word number : {kolektor::property::kLoadFromHost, kolektor::property::kSendToHost})
      instructions_.push_back(CrLf(FromCp1250(h::Property(plugin_.api, number))));
    BuildSettings();
    return true;
  }

  // One row per parameter the plug-in describes, placed in Tab order right
  // after the settings group.
  void BuildSettings() {
    for (std::size_t i = 0; i < parameters_.size(); ++i)
      for (int base : {id::kParamLabel, id::kParamValue, id::kParamRange})
        if (HWND old = Item(base + static_cast<int>(i))) DestroyWindow(old);
    parameters_.clear();
    if (loaded_) parameters_ = h::DescribeParameters(plugin_.api);

    // The Alt letters the fixed labels and buttons claim; the plug-in's
    // labels get free ones.
    std::set<wchar_t> taken;
    for (int control = id::kPluginLine; control <= id::kScan; ++control) {
      wchar_t kind[16] = {};
      HWND item = Item(control);
      if (item == nullptr || GetClassNameW(item, kind, 16) == 0 || lstrcmpiW(kind, L"Edit") == 0)
        continue;
      if (const wchar_t letter = Mnemonic(Text(item))) taken.insert(letter);
    }
    HWND after = Item(id::kSettingsGroup);
    auto keep_order = [&after](HWND control) {
      SetWindowPos(control, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      after = control;
    };
    for (std::size_t i = 0; i < parameters_.size(); ++i) {
      const h::Parameter& p = parameters_[i];
      const int n = static_cast<int>(i);
      keep_order(
          Add(L"STATIC", WithMnemonic(FromCp1250(p.label), taken), SS_LEFT, id::kParamLabel + n));
      const std::string value = LoadSetting(p);
      if (p.kind == kolektor::kParameterChoice) {
        HWND combo =
            Add(L"COMBOBOX", L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, id::kParamValue + n);
        keep_order(combo);
        for (const std::string& choice : p.choices)
          SendMessageW(combo, CB_ADDSTRING, 0,
                       reinterpret_cast<LPARAM>(FromCp1250(choice).c_str()));
        LRESULT selected = 0;
        for (std::size_t c = 0; c < p.choices.size(); ++c)
          if (p.choices[c] == value) selected = static_cast<LRESULT>(c);
        SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
      } else {
        keep_order(Edit(FromCp1250(value), id::kParamValue + n));
        keep_order(Label(Fill(u::kFormRange, {p.low, p.high}), id::kParamRange + n));
      }
    }
    Layout();
  }

  struct Placed {
    int x, y, w, h;
  };

  // Every control's place, from the client area's size and the measures,
  // and the size the content needs (the window's least size).
  void Layout() {
    if (font_ == nullptr) return;
    RECT client{};
    GetClientRect(window_, &client);
    const Measures& m = m_;
    const int width = client.right, height = client.bottom;
    std::vector<std::pair<int, Placed>> at;
    auto put = [&at](int control, int x, int y, int w, int h) {
      at.push_back({control, {x, y, w, h}});
    };
    const int text_h = m.line + 2;
    const int label_dy = (m.field - text_h) / 2;

    // The left column's width: the widest of its rows.
    int label_w = 0, value_w = 0;
    for (std::size_t i = 0; i < parameters_.size(); ++i) {
      const int n = static_cast<int>(i);
      label_w = std::max(label_w, ItemTextWidth(id::kParamLabel + n));
      if (parameters_[i].kind == kolektor::kParameterChoice) {
        int widest = 0;
        for (const std::string& choice : parameters_[i].choices)
          widest = std::max(widest, TextWidth(FromCp1250(choice)));
        value_w = std::max(value_w, widest + GetSystemMetrics(SM_CXVSCROLL) + 3 * m.average);
      } else {
        value_w = std::max(value_w, 6 * m.average + m.gap + ItemTextWidth(id::kParamRange + n));
      }
    }
    const int settings_w = 2 * m.margin + label_w + m.gap + value_w;
    const int path_label_w =
        std::max(ItemTextWidth(id::kGoodsLabel), ItemTextWidth(id::kCountsLabel));
    const int browse_w = std::max(m.field + 4, ButtonWidth(id::kGoodsBrowse));
    const int paths_w = path_label_w + 2 * m.gap + 16 * m.average + browse_w;
    auto row_width = [&](std::initializer_list<int> widths) {
      int sum = 0;
      for (int w : widths) sum += w + m.gap;
      return sum - m.gap;
    };
    const int operations_w =
        row_width({ButtonWidth(id::kExport), ButtonWidth(id::kImport), ButtonWidth(id::kClear)});
    const int tools_w =
        row_width({ButtonWidth(id::kCheck), CheckWidth(id::kTrace), ButtonWidth(id::kShowTrace)});
    const int code_w = 12 * m.average, quantity_w = 6 * m.average;
    const int rehearsal_w =
        2 * m.margin +
        std::max(
            row_width({CheckWidth(id::kRehearsal), ButtonWidth(id::kSimulatorClear)}),
            row_width({ItemTextWidth(id::kScanCodeLabel), code_w,
                       ItemTextWidth(id::kScanQuantityLabel), quantity_w, ButtonWidth(id::kScan)}));
    const int left_w = std::max({settings_w, paths_w, operations_w, tools_w, rehearsal_w,
                                 ItemTextWidth(id::kSettingsGroup) + 4 * m.margin,
                                 ItemTextWidth(id::kRehearsalGroup) + 4 * m.margin});

    // Top: the plug-in and the button that chooses another one.
    const int x = m.margin;
    int y = m.margin;
    const int choose_w = ButtonWidth(id::kChoosePlugin);
    put(id::kChoosePlugin, width - m.margin - choose_w, y, choose_w, m.field);
    const int plugin_w = width - 2 * m.margin - choose_w - m.gap;
    // Room for an edit's inner margins, which the measure does not know.
    const int plugin_h =
        std::max(text_h, WrappedHeight(Text(Item(id::kPluginLine)), plugin_w - 2 * m.average) + 2);
    put(id::kPluginLine, x, y + label_dy, plugin_w, plugin_h);
    y += std::max(m.field, label_dy + plugin_h) + m.gap / 2;
    put(id::kModelLine, x, y, width - 2 * m.margin, text_h);
    y += text_h + m.gap;
    const int top = y;

    // Left: settings, files, operations, the rehearsal.
    const int group_top = y;
    y += m.line + m.gap;
    for (std::size_t i = 0; i < parameters_.size(); ++i) {
      const int n = static_cast<int>(i);
      const int vx = x + m.margin + label_w + m.gap;
      put(id::kParamLabel + n, x + m.margin, y + label_dy, label_w, text_h);
      if (parameters_[i].kind == kolektor::kParameterChoice) {
        put(id::kParamValue + n, vx, y, value_w, m.field + 12 * m.line);
      } else {
        const int edit_w = 6 * m.average;
        put(id::kParamValue + n, vx, y, edit_w, m.field);
        put(id::kParamRange + n, vx + edit_w + m.gap, y + label_dy, value_w - edit_w - m.gap,
            text_h);
      }
      y += m.field + m.gap;
    }
    y += m.gap;
    put(id::kSettingsGroup, x, group_top, left_w, y - group_top);
    y += m.gap;
    for (int row : {0, 1}) {
      const int label = row == 0 ? id::kGoodsLabel : id::kCountsLabel;
      put(label, x, y + label_dy, path_label_w, text_h);
      put(label + 1, x + path_label_w + m.gap, y, left_w - path_label_w - 2 * m.gap - browse_w,
          m.field);
      put(label + 2, x + left_w - browse_w, y, browse_w, m.field);
      y += m.field + m.gap;
    }
    y += m.gap;
    // A row of buttons spreads over the column's width.
    auto spread = [&](std::initializer_list<std::pair<int, int>> row, int row_y) {
      int natural = 0;
      for (const auto& [control, w] : row) natural += w;
      const int extra = (left_w - natural - m.gap * (static_cast<int>(row.size()) - 1)) /
                        static_cast<int>(row.size());
      int cx = x;
      for (const auto& [control, w] : row) {
        put(control, cx, row_y, w + extra, m.field);
        cx += w + extra + m.gap;
      }
    };
    spread({{id::kExport, ButtonWidth(id::kExport)},
            {id::kImport, ButtonWidth(id::kImport)},
            {id::kClear, ButtonWidth(id::kClear)}},
           y);
    y += m.field + m.gap;
    spread({{id::kCheck, ButtonWidth(id::kCheck)},
            {id::kTrace, CheckWidth(id::kTrace)},
            {id::kShowTrace, ButtonWidth(id::kShowTrace)}},
           y);
    y += m.field + m.gap * 2;
    const int rehearsal_top = y;
    y += m.line + m.gap;
    const int inner_x = x + m.margin, inner_w = left_w - 2 * m.margin;
    const int clear_w = ButtonWidth(id::kSimulatorClear);
    put(id::kRehearsal, inner_x, y, inner_w - clear_w - m.gap, m.field);
    put(id::kSimulatorClear, inner_x + inner_w - clear_w, y, clear_w, m.field);
    y += m.field + m.gap;
    {
      int cx = inner_x;
      const int code_label_w = ItemTextWidth(id::kScanCodeLabel);
      const int quantity_label_w = ItemTextWidth(id::kScanQuantityLabel);
      const int scan_w = ButtonWidth(id::kScan);
      const int grow =
          inner_w - row_width({code_label_w, code_w, quantity_label_w, quantity_w, scan_w});
      put(id::kScanCodeLabel, cx, y + label_dy, code_label_w, text_h);
      cx += code_label_w + m.gap;
      put(id::kScanCode, cx, y, code_w + grow, m.field);
      cx += code_w + grow + m.gap;
      put(id::kScanQuantityLabel, cx, y + label_dy, quantity_label_w, text_h);
      cx += quantity_label_w + m.gap;
      put(id::kScanQuantity, cx, y, quantity_w, m.field);
      cx += quantity_w + m.gap;
      put(id::kScan, cx, y, scan_w, m.field);
    }
    y += m.field + m.gap;
    put(id::kRehearsalGroup, x, rehearsal_top, left_w, y - rehearsal_top);
    const int left_bottom = y + m.margin;

    // Right: the log, then what to do on the terminal and the explanation,
    // both of fixed height; the log takes what is left.
    const int rx = x + left_w + m.margin + m.gap;
    const int rw = std::max(width - rx - m.margin, 1);
    int ry = top;
    const int copy_w = ButtonWidth(id::kCopyLog), clear_log_w = ButtonWidth(id::kClearLog);
    put(id::kClearLog, rx + rw - clear_log_w, ry, clear_log_w, m.field);
    put(id::kCopyLog, rx + rw - clear_log_w - m.gap - copy_w, ry, copy_w, m.field);
    put(id::kLogLabel, rx, ry + label_dy, ItemTextWidth(id::kLogLabel), text_h);
    ry += m.field + m.gap / 2;
    // What to do on the terminal is shown whole: its pane is as high as the
    // longer of the plug-in's two instructions at this width.
    int instruction_text_h = 3 * m.line;
    const int instruction_w = rw - GetSystemMetrics(SM_CXVSCROLL) - 4 - 2 * m.average;
    for (const std::wstring& text : instructions_)
      instruction_text_h = std::max(instruction_text_h, WrappedHeight(text, instruction_w));
    const int explanation_h = 4 * m.line + 8, instruction_h = instruction_text_h + 8;
    const int min_log_h = 5 * m.line + 8;
    const int explanation_y =
        std::max(height - m.margin - explanation_h,
                 ry + min_log_h + 2 * (m.gap + text_h) + instruction_h + m.gap);
    const int explanation_label_y = explanation_y - text_h - 2;
    const int instruction_y = explanation_label_y - m.gap - instruction_h;
    const int instruction_label_y = instruction_y - text_h - 2;
    put(id::kLog, rx, ry, rw, instruction_label_y - m.gap - ry);
    put(id::kInstructionLabel, rx, instruction_label_y, ItemTextWidth(id::kInstructionLabel),
        text_h);
    put(id::kInstruction, rx, instruction_y, rw, instruction_h);
    put(id::kExplanationLabel, rx, explanation_label_y, ItemTextWidth(id::kExplanationLabel),
        text_h);
    put(id::kExplanation, rx, explanation_y, rw, explanation_h);
    const int right_bottom = ry + min_log_h + 2 * (m.gap + text_h + 2) + instruction_h +
                             explanation_h + m.gap + m.margin;

    needed_ = {rx + 24 * m.average + m.margin, std::max(left_bottom, right_bottom)};
    needed_.cx = std::max<LONG>(needed_.cx, choose_w + 30 * m.average + 2 * m.margin);
    HDWP moves = BeginDeferWindowPos(static_cast<int>(at.size()));
    for (const auto& [control, p] : at)
      if (HWND item = Item(control))
        moves =
            DeferWindowPos(moves, item, nullptr, p.x, p.y, p.w, p.h, SWP_NOZORDER | SWP_NOACTIVATE);
    EndDeferWindowPos(moves);
    InvalidateRect(window_, nullptr, TRUE);
  }

  void EnableControls() {
    const bool idle = worker_ == nullptr;
    for (int control : {id::kExport, id::kImport, id::kClear, id::kTrace})
      EnableWindow(Item(control), idle && loaded_);
    EnableWindow(Item(id::kShowTrace), loaded_);
    for (int control : {id::kCheck, id::kChoosePlugin, id::kGoodsBrowse, id::kCountsBrowse})
      EnableWindow(Item(control), idle);
    EnableWindow(Item(id::kRehearsal), idle && has_simulator_);
    for (int control : {id::kSimulatorClear, id::kScanCodeLabel, id::kScanCode,
                        id::kScanQuantityLabel, id::kScanQuantity, id::kScan})
      EnableWindow(Item(control), idle && Rehearsing());
  }

  bool Rehearsing() const {
    return has_simulator_ && SendMessageW(Item(id::kRehearsal), BM_GETCHECK, 0, 0) == BST_CHECKED;
  }

  void Log(const std::wstring& line) {
    HWND log = Item(id::kLog);
    const int end = GetWindowTextLengthW(log);
    SendMessageW(log, EM_SETSEL, static_cast<WPARAM>(end), static_cast<LPARAM>(end));
    // The plug-in's notice begins with a bare line feed.
    const std::wstring text = CrLf(line) + L"\r\n";
    SendMessageW(log, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
  }
  void Log(std::string_view utf8) { Log(W(utf8)); }

  std::wstring ReadIni(const wchar_t* section, const wchar_t* key, const std::wstring& fallback) {
    wchar_t value[1024] = {};
    GetPrivateProfileStringW(section, key, fallback.c_str(), value, 1024, ini_.c_str());
    return value;
  }

  // The value kept from the last run, when the plug-in still offers it;
  // otherwise the plug-in's default.
  std::string LoadSetting(const h::Parameter& p) {
    std::string kept =
        h::Cp1250FromWide(ReadIni(L"ustawienia", W(p.name).c_str(), FromCp1250(p.default_value)));
    if (p.name == kolektor::kParamPort) kept = h::PortNumberOf(kept);
    return h::AcceptsValue(p, kept) ? kept : p.default_value;
  }

  // The values as the host would pass them. A port typed as Device Manager
  // shows it ("COM5") is taken as its number, and shown so.
  std::map<std::string, std::string> Settings() {
    std::map<std::string, std::string> values;
    for (std::size_t i = 0; i < parameters_.size(); ++i) {
      HWND control = Item(id::kParamValue + static_cast<int>(i));
      std::string value = h::Cp1250FromWide(Text(control));
      if (parameters_[i].name == kolektor::kParamPort) {
        const std::string number = h::PortNumberOf(value);
        if (number != value) SetWindowTextW(control, FromCp1250(number).c_str());
        value = number;
      }
      values[parameters_[i].name] = value;
    }
    return values;
  }

  void SaveSettings() {
    CreateDirectoryW(ini_.substr(0, ini_.find_last_of(L'\\')).c_str(), nullptr);
    for (const auto& [name, value] : Settings())
      WritePrivateProfileStringW(L"ustawienia", W(name).c_str(), FromCp1250(value).c_str(),
                                 ini_.c_str());
    WritePrivateProfileStringW(L"pliki", L"towary", Text(Item(id::kGoodsPath)).c_str(),
                               ini_.c_str());
    WritePrivateProfileStringW(L"pliki", L"inwentaryzacja", Text(Item(id::kCountsPath)).c_str(),
                               ini_.c_str());
  }

  // The trace belongs to the loaded plug-in's folder, and to nothing when
  // none is loaded.
  std::string TracePath() const { return loaded_ ? h::TraceFileOf(plugin_.path) : std::string(); }
  bool TraceOn() const { return !TracePath().empty() && h::IsFile(TracePath()); }

  void Command(int control, int notification) {
    switch (control) {
      case id::kExport:
      case id::kImport:
      case id::kClear:
      case id::kCheck:
        if (notification == BN_CLICKED) Start(control);
        break;
      case id::kGoodsBrowse:
      case id::kCountsBrowse:
        Browse(control == id::kGoodsBrowse);
        break;
      case id::kChoosePlugin:
        ChoosePlugin();
        break;
      case id::kTrace:
        ToggleTrace();
        break;
      case id::kShowTrace:
        ShowTrace();
        break;
      case id::kClearLog:
        SetWindowTextW(Item(id::kLog), L"");
        break;
      case id::kCopyLog:
        CopyLog();
        break;
      case id::kRehearsal:
        EnableControls();
        break;
      case id::kScan:
        Scan();
        break;
      case id::kSimulatorClear:
        if (Simulator(L"clear") == 0) Log(u::kLogSimulatorCleared);
        break;
      default:
        // The port as the person typed it is shown as it will be used.
        if (control >= id::kParamValue &&
            control < id::kParamValue + static_cast<int>(parameters_.size()) &&
            notification == EN_KILLFOCUS)
          Settings();
        break;
    }
  }

  // The folder the operation runs in, so that Windows finds the vendor's
  // download utility as it does for ZRB: ZRB's folder, from Binaria.
  std::string ZrbFolder() const {
    std::string folder;
    if (h::ReadBinaria(folder) != h::HostValue::kFound || !h::IsFolder(folder)) return "";
    return folder;
  }

  void Start(int control) {
    if (worker_ != nullptr) return;
    SetWindowTextW(Item(id::kExplanation), L"");
    auto job = std::make_unique<Job>();
    job->window = window_;
    job->api = plugin_.api;
    job->settings = Settings();
    for (const h::Parameter& p : parameters_) {
      if (!h::AcceptsValue(p, job->settings[p.name])) {
        Log(Fill(u::kLogBadValue, {Utf8(job->settings[p.name]), Utf8(p.label)}));
        return;
      }
    }
    if (Rehearsing()) {
      job->rehearsal = simulator_;
      job->folder = simulator_;
    } else {
      job->folder = ZrbFolder();
    }
    const std::wstring goods = Text(Item(id::kGoodsPath)), counts = Text(Item(id::kCountsPath));
    switch (control) {
      case id::kExport:
      case id::kImport: {
        const bool is_export = control == id::kExport;
        const std::wstring& path = is_export ? goods : counts;
        if (path.empty()) {
          Log(u::kLogNoPath);
          return;
        }
        job->kind = is_export ? Job::kExport : Job::kImport;
        job->path = Ansi(path);
        // What the person does on the terminal now: the plug-in's own words.
        const std::wstring instruction =
            FromCp1250(h::Property(plugin_.api, is_export ? kolektor::property::kLoadFromHost
                                                          : kolektor::property::kSendToHost));
        SetWindowTextW(Item(id::kInstruction), CrLf(instruction).c_str());
        Log(W(Fill(is_export ? u::kLogExportStart : u::kLogImportStart, {h::Utf8FromWide(path)})));
        if (!job->rehearsal.empty())
          Log(Fill(u::kLogRehearsal, {h::Utf8FromAnsi(job->rehearsal)}));
        else if (!job->folder.empty())
          Log(Fill(u::kLogFolder, {h::Utf8FromAnsi(job->folder)}));
        else
          Log(u::kLogNoZrbFolder);
        std::wstring flat = instruction;
        for (wchar_t& c : flat)
          if (c == L'\n') c = L' ';
        Log(W(Fill(u::kLogOnTerminal, {h::Utf8FromWide(flat)})));
        break;
      }
      case id::kClear:
        job->kind = Job::kClear;
        Log(u::kLogClearStart);
        break;
      default:
        job->kind = Job::kCheck;
        job->check = {loaded_ ? job->settings[std::string(kolektor::kParamPort)] : std::string(),
                      Ansi(goods), Ansi(counts), loaded_ ? plugin_.path : std::string(),
                      job->rehearsal};
        break;
    }
    SaveSettings();
    worker_ = CreateThread(nullptr, 0, RunJob, job.get(), 0, nullptr);
    if (worker_ == nullptr) return;
    job.release();
    EnableControls();
  }

  void Browse(bool goods) {
    wchar_t file[MAX_PATH] = {};
    const std::wstring current = Text(Item(goods ? id::kGoodsPath : id::kCountsPath));
    wcsncpy(file, current.c_str(), MAX_PATH - 1);
    if (Choose(u::kFormFileFilter, file, !goods))
      SetWindowTextW(Item(goods ? id::kGoodsPath : id::kCountsPath), file);
  }

  bool Choose(std::string_view filter_text, wchar_t* file, bool save,
              const std::wstring& folder = L"") {
    std::wstring filter = W(filter_text);
    for (wchar_t& c : filter)
      if (c == L'|') c = L'\0';
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = window_;
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    ofn.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | (save ? 0 : OFN_FILEMUSTEXIST);
    return (save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn)) != 0;
  }

  void ChoosePlugin() {
    if (worker_ != nullptr) return;
    wchar_t file[MAX_PATH] = {};
    const std::string zrb = ZrbFolder();
    if (!Choose(u::kFormPluginFilter, file, false, zrb.empty() ? L"" : W(h::Utf8FromAnsi(zrb))))
      return;
    if (!UsePlugin(Ansi(file))) {
      Log(Fill(u::kFormPluginMissing, {load_error_}));
      return;
    }
    Log(Fill(u::kLogPluginLoaded,
             {h::Utf8FromAnsi(plugin_.path),
              plugin_.version.empty() ? std::string(u::kFormNoVersion) : plugin_.version}));
    EnableControls();
    GrowToContent();
  }

  void ToggleTrace() {
    const std::string path = TracePath();
    if (path.empty()) return;
    const bool want = SendMessageW(Item(id::kTrace), BM_GETCHECK, 0, 0) == BST_CHECKED;
    bool done = true;
    if (want && !TraceOn()) {
      const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
      done = file != INVALID_HANDLE_VALUE;
      if (done) CloseHandle(file);
    } else if (!want && TraceOn()) {
      done = DeleteFileA(path.c_str()) != 0;
    }
    if (!done) {
      Log(Fill(u::kLogTraceCannot, {h::Utf8FromAnsi(path), std::to_string(GetLastError())}));
      SendMessageW(Item(id::kTrace), BM_SETCHECK, TraceOn() ? BST_CHECKED : BST_UNCHECKED, 0);
      return;
    }
    Log(want ? Fill(u::kLogTraceOn, {h::Utf8FromAnsi(path)}) : std::string(u::kLogTraceOff));
  }

  // The trace's last lines into the log. It is the plug-in's UTF-8, but any
  // bytes are shown without harm.
  void ShowTrace() {
    const std::string path = TracePath();
    const HANDLE file =
        path.empty() ? INVALID_HANDLE_VALUE
                     : CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      Log(u::kLogTraceNone);
      return;
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size)) size.QuadPart = 0;
    const LONGLONG tail = 16 * 1024;
    LARGE_INTEGER from{};
    from.QuadPart = size.QuadPart > tail ? size.QuadPart - tail : 0;
    SetFilePointerEx(file, from, nullptr, FILE_BEGIN);
    std::string bytes(static_cast<std::size_t>(size.QuadPart - from.QuadPart), '\0');
    DWORD got = 0;
    if (!bytes.empty() &&
        !ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &got, nullptr))
      got = 0;
    CloseHandle(file);
    bytes.resize(got);
    // From the middle of the file: from the first whole line on.
    const std::size_t first_line = bytes.find('\n');
    if (from.QuadPart > 0 && first_line != std::string::npos) bytes.erase(0, first_line + 1);
    while (!bytes.empty() && (bytes.back() == '\n' || bytes.back() == '\r')) bytes.pop_back();
    std::replace(bytes.begin(), bytes.end(), '\0', ' ');  // the log's text ends at a zero
    if (bytes.empty()) {
      Log(Fill(u::kLogTraceEmpty, {h::Utf8FromAnsi(path)}));
      return;
    }
    Log(Fill(u::kLogTraceShow, {h::Utf8FromAnsi(path)}));
    Log(W(bytes));
  }

  void CopyLog() {
    const std::wstring text = Text(Item(id::kLog));
    if (!OpenClipboard(window_)) return;
    EmptyClipboard();
    const SIZE_T bytes = (text.size() + 1) * sizeof(wchar_t);
    if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
      std::memcpy(GlobalLock(memory), text.c_str(), bytes);
      GlobalUnlock(memory);
      if (SetClipboardData(CF_UNICODETEXT, memory) == nullptr) GlobalFree(memory);
    }
    CloseClipboard();
    Log(u::kLogCopied);
  }

  // The simulator's terminal program, as a person would run it; its exit
  // code, or -1 when it could not be run.
  int Simulator(const std::wstring& arguments) {
    const std::string program = simulator_ + "\\terminal.exe";
    std::wstring line = L"\"" + W(h::Utf8FromAnsi(program)) + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &startup, &info)) {
      Log(Fill(u::kLogSimulatorCannot, {h::Utf8FromAnsi(program), std::to_string(GetLastError())}));
      return -1;
    }
    HCURSOR cursor = SetCursor(LoadCursor(nullptr, IDC_WAIT));
    if (WaitForSingleObject(info.hProcess, 20000) == WAIT_TIMEOUT)
      TerminateProcess(info.hProcess, 1);
    SetCursor(cursor);
    DWORD code = 1;
    GetExitCodeProcess(info.hProcess, &code);
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
    if (code != 0 && code != 3 && code != 4 && code != 5)
      Log(Fill(u::kLogSimulatorFailed, {h::Utf8FromAnsi(program), std::to_string(code)}));
    return static_cast<int>(code);
  }

  void Scan() {
    std::wstring code = Text(Item(id::kScanCode)), quantity = Text(Item(id::kScanQuantity));
    for (std::wstring* field : {&code, &quantity}) {
      field->erase(std::remove(field->begin(), field->end(), L'"'), field->end());
      const std::size_t begin = field->find_first_not_of(L' ');
      *field = begin == std::wstring::npos
                   ? std::wstring()
                   : field->substr(begin, field->find_last_not_of(L' ') - begin + 1);
    }
    if (code.empty() || quantity.empty()) {
      Log(u::kLogScanEmpty);
      return;
    }
    const std::string code_text = h::Utf8FromWide(code), quantity_text = h::Utf8FromWide(quantity);
    switch (Simulator(L"scan \"" + code + L"\" \"" + quantity + L"\"")) {
      case 0:
        Log(Fill(u::kLogScanned, {code_text, quantity_text}));
        SetWindowTextW(Item(id::kScanCode), L"");
        SetFocus(Item(id::kScanCode));
        break;
      case 3:
        Log(u::kLogScanNoTable);
        break;
      case 4:
        Log(Fill(u::kLogScanUnknown, {code_text}));
        break;
      case 5:
        Log(Fill(u::kLogScanBadQuantity, {quantity_text}));
        break;
    }
  }

  HWND window_ = nullptr;
  HWND focus_ = nullptr;
  HFONT font_ = nullptr;
  Measures m_;
  SIZE needed_{600, 400};  // the client area the content needs
  std::wstring ini_;
  std::string dll_named_;  // from the command line; empty: the installed one
  h::Plugin plugin_;
  bool loaded_ = false;
  std::string load_error_;
  std::vector<h::Parameter> parameters_;
  std::vector<std::wstring> instructions_;  // the plug-in's, for the terminal
  std::string simulator_;                   // the installed simulator's folder
  bool has_simulator_ = false;
  HANDLE worker_ = nullptr;  // the operation's thread while one runs
  bool close_when_done_ = false;
};

// %APPDATA%\kolektor\kolektor-test.ini
std::wstring DefaultIni() {
  wchar_t appdata[MAX_PATH] = {};
  if (GetEnvironmentVariableW(L"APPDATA", appdata, MAX_PATH) == 0)
    return W(h::Utf8FromAnsi(h::ProgramFolder())) + L"kolektor-test.ini";
  const std::wstring folder = std::wstring(appdata) + L"\\kolektor";
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder + L"\\kolektor-test.ini";
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  // The manifest asks for common controls 6: their classes come from here.
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::wstring ini = DefaultIni();
  std::string dll;
  for (int i = 1; argv != nullptr && i < argc; ++i) {
    const std::wstring a = argv[i];
    if (a == L"--ini" && i + 1 < argc)
      ini = argv[++i];
    else
      dll = Ansi(a);
  }
  if (argv != nullptr) LocalFree(argv);

  Form form(ini, dll);
  if (!form.Create(instance)) return 1;
  ShowWindow(form.window(), show);
  UpdateWindow(form.window());
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (IsDialogMessageW(form.window(), &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}
