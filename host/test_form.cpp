// kolektor-test.exe: the test form for the people who install and support
// the plug-in. It loads kolektor.dll (beside it, or the one named on the
// command line), builds its settings from the plug-in's own descriptions,
// runs the three operations on a worker thread with the host's callbacks
// answered from those settings, logs every callback with its time, explains
// every error from the message table, and checks the installation.
//
//   kolektor-test.exe [--ini FILE] [PLUGIN.DLL]
//
// Plain Win32, wide-character functions throughout, so the Polish letters
// show on any Windows; the plug-in's Windows-1250 texts become UTF-16 only
// where a control shows them. Every control has a fixed id (form_ids.h) and
// readable text, so a test can drive the form through its controls.
#include <windows.h>
// After windows.h, which they need.
#include <commdlg.h>
#include <shellapi.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/form_ids.h"
#include "host/install_check.h"
#include "host/plugin_host.h"
#include "plugin/cp1250.h"
#include "plugin/message_reference.h"
#include "plugin/texts.h"

namespace {

namespace u = kolektor::ui;
namespace h = kolektor::host;
namespace id = kolektor::form;
using kolektor::ui::Fill;

// Posted by the worker: a log line, the explanation of an error, the end.
constexpr UINT kLogLine = WM_APP + 1;
constexpr UINT kExplanation = WM_APP + 2;
constexpr UINT kDone = WM_APP + 3;

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

// Seconds with a decimal comma: "4,003".
std::string Seconds(DWORD ms) {
  std::string fraction = std::to_string(ms % 1000);
  fraction.insert(0, 3 - fraction.size(), '0');
  return std::to_string(ms / 1000) + "," + fraction;
}

void Post(HWND window, UINT message, const std::string& utf8) {
  PostMessageW(window, message, 0, reinterpret_cast<LPARAM>(new std::wstring(W(utf8))));
}

// What a worker thread needs; it owns its copy.
struct Job {
  enum Kind { kExport, kImport, kClear, kCheck } kind;
  HWND window;
  const h::Plugin* plugin;
  std::map<std::string, std::string> settings;  // Windows-1250
  std::string path;                             // ANSI
  h::InstallCheckInput check;
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

DWORD WINAPI RunJob(LPVOID parameter) {
  std::unique_ptr<Job> job(static_cast<Job*>(parameter));
  HWND window = job->window;
  if (job->kind == Job::kCheck) {
    Post(window, kLogLine, std::string(u::kLogCheckStart));
    int faults = 0, warnings = 0;
    for (const h::InstallCheckItem& item : h::CheckInstallation(job->check)) {
      const std::string_view level = item.level == h::InstallCheckItem::kOk        ? u::kLogOk
                                     : item.level == h::InstallCheckItem::kWarning ? u::kLogWarning
                                                                                   : u::kLogFault;
      faults += item.level == h::InstallCheckItem::kFault;
      warnings += item.level == h::InstallCheckItem::kWarning;
      Post(window, kLogLine, std::string(level) + ": " + item.what);
      if (!item.fix.empty())
        Post(window, kLogLine, "    " + std::string(u::kLogFix) + " " + item.fix);
    }
    Post(window, kLogLine,
         Fill(u::kLogCheckDone, {std::to_string(faults), std::to_string(warnings)}));
    PostMessageW(window, kDone, 0, 0);
    return 0;
  }

  h::Session session(job->plugin->api, 1);
  session.settings = job->settings;
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
  switch (job->kind) {
    case Job::kExport:
      result = session.Export(1, job->path);
      break;
    case Job::kImport:
      result = session.Import(1, job->path);
      break;
    default:
      result = session.Clear(1);
      break;
  }
  Post(window, kLogLine,
       Fill(u::kLogResult,
            {std::to_string(result), std::string(result == 1 ? u::kResultDone : u::kResultFailed),
             Seconds(GetTickCount() - start)}));
  PostMessageW(window, kDone, 0, 0);
  return 0;
}

class Form {
 public:
  Form(std::wstring ini, std::string dll) : ini_(std::move(ini)), dll_path_(std::move(dll)) {}

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
    window_ = CreateWindowExW(0, id::kWindowClass, W(u::kFormTitle).c_str(),
                              WS_OVERLAPPEDWINDOW & ~WS_MAXIMIZEBOX & ~WS_THICKFRAME, CW_USEDEFAULT,
                              CW_USEDEFAULT, 100, 100, nullptr, nullptr, instance, this);
    return window_ != nullptr;
  }
  HWND window() const { return window_; }

 private:
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
      case WM_COMMAND:
        Command(LOWORD(wparam), HIWORD(wparam));
        return 0;
      case kLogLine:
      case kExplanation: {
        std::unique_ptr<std::wstring> text(reinterpret_cast<std::wstring*>(lparam));
        if (message == kLogLine)
          Log(*text);
        else
          SetWindowTextW(Item(id::kExplanation), text->c_str());
        return 0;
      }
      case kDone:
        running_ = false;
        EnableOperations(true);
        return 0;
      case WM_CLOSE:
        if (running_ && MessageBoxW(window_, W(u::kFormCloseRunning).c_str(),
                                    W(u::kFormTitle).c_str(), MB_YESNO | MB_ICONWARNING) != IDYES)
          return 0;
        SaveSettings();
        DestroyWindow(window_);
        return 0;
      case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window_, message, wparam, lparam);
  }

  HWND Item(int control) const { return GetDlgItem(window_, control); }

  HWND Add(const wchar_t* kind, const std::wstring& text, DWORD style, int control, int x, int y,
           int w, int height, DWORD ex_style = 0) {
    HWND child = CreateWindowExW(
        ex_style, kind, text.c_str(), WS_CHILD | WS_VISIBLE | style, x, y, w, height, window_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(control)), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    return child;
  }

  // The controls' places follow from a few measures; nothing is placed by
  // hand elsewhere.
  void Build() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    font_ = CreateFontIndirectW(&metrics.lfMessageFont);

    constexpr int kMargin = 12, kRow = 28, kLabel = 210, kValue = 170, kLeft = 430, kLog = 560,
                  kHeight = 24;
    int y = kMargin;
    std::string error;
    const bool loaded = h::LoadPlugin(dll_path_, plugin_, error);
    const std::wstring heading =
        loaded ? W(Fill(u::kFormPlugin, {Utf8(plugin_.path), plugin_.version.empty()
                                                                 ? std::string(u::kFormNoVersion)
                                                                 : plugin_.version}))
               : W(Fill(u::kFormPluginMissing, {error}));
    Add(L"STATIC", heading, SS_LEFTNOWORDWRAP, id::kPluginLine, kMargin, y, kLeft + kLog, kHeight);
    y += kHeight;
    loaded_ = loaded;
    if (loaded)
      Add(L"STATIC",
          W(Fill(u::kFormModel,
                 {Utf8(h::Property(plugin_.api, 1)), Utf8(h::Property(plugin_.api, 2))})),
          0, id::kModelLine, kMargin, y, kLeft, kHeight);
    y += kHeight + 8;

    Add(L"BUTTON", W(u::kFormSettings), BS_GROUPBOX, id::kSettingsGroup, kMargin, y,
        kLeft - kMargin, kRow * 6 + 8);
    y += 22;
    if (loaded) parameters_ = h::DescribeParameters(plugin_.api);
    for (std::size_t i = 0; i < parameters_.size(); ++i) {
      const h::Parameter& p = parameters_[i];
      const int n = static_cast<int>(i);
      Add(L"STATIC", FromCp1250(p.label), SS_LEFT, id::kParamLabel + n, kMargin * 2, y + 4, kLabel,
          kHeight);
      const std::string value = LoadSetting(p);
      if (p.kind == 2) {
        HWND combo = Add(L"COMBOBOX", L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP,
                         id::kParamValue + n, kMargin * 2 + kLabel, y, kValue, 300);
        for (const std::string& choice : p.choices)
          SendMessageW(combo, CB_ADDSTRING, 0,
                       reinterpret_cast<LPARAM>(FromCp1250(choice).c_str()));
        LRESULT selected = 0;
        for (std::size_t c = 0; c < p.choices.size(); ++c)
          if (p.choices[c] == value) selected = static_cast<LRESULT>(c);
        SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
      } else {
        Add(L"EDIT", FromCp1250(value), ES_AUTOHSCROLL | WS_TABSTOP, id::kParamValue + n,
            kMargin * 2 + kLabel, y, kValue / 2, kHeight, WS_EX_CLIENTEDGE);
        Add(L"STATIC", W(Fill(u::kFormRange, {p.low, p.high})), 0, id::kParamRange + n,
            kMargin * 2 + kLabel + kValue / 2 + 8, y + 4, kValue / 2, kHeight);
      }
      y += kRow;
    }
    y = kMargin + 2 * kHeight + 8 + kRow * 6 + 16;

    const int path_width = kLeft - kMargin - 40;
    Add(L"STATIC", W(u::kFormGoodsFile), 0, id::kGoodsLabel, kMargin, y, path_width, kHeight - 6);
    y += kHeight - 4;
    Add(L"EDIT", ReadIni(L"pliki", L"towary", L""), ES_AUTOHSCROLL | WS_TABSTOP, id::kGoodsPath,
        kMargin, y, path_width, kHeight, WS_EX_CLIENTEDGE);
    Add(L"BUTTON", L"...", BS_PUSHBUTTON | WS_TABSTOP, id::kGoodsBrowse, kMargin + path_width + 6,
        y, 28, kHeight);
    y += kRow;
    Add(L"STATIC", W(u::kFormCountsFile), 0, id::kCountsLabel, kMargin, y, path_width, kHeight - 6);
    y += kHeight - 4;
    Add(L"EDIT", ReadIni(L"pliki", L"inwentaryzacja", L""), ES_AUTOHSCROLL | WS_TABSTOP,
        id::kCountsPath, kMargin, y, path_width, kHeight, WS_EX_CLIENTEDGE);
    Add(L"BUTTON", L"...", BS_PUSHBUTTON | WS_TABSTOP, id::kCountsBrowse, kMargin + path_width + 6,
        y, 28, kHeight);
    y += kRow + 8;

    const int button = (kLeft - kMargin * 2) / 3;
    Add(L"BUTTON", W(u::kFormExport), BS_PUSHBUTTON | WS_TABSTOP, id::kExport, kMargin, y,
        button - 4, kHeight + 4);
    Add(L"BUTTON", W(u::kFormImport), BS_PUSHBUTTON | WS_TABSTOP, id::kImport, kMargin + button, y,
        button - 4, kHeight + 4);
    Add(L"BUTTON", W(u::kFormClear), BS_PUSHBUTTON | WS_TABSTOP, id::kClear, kMargin + 2 * button,
        y, button - 4, kHeight + 4);
    y += kRow + 8;
    Add(L"BUTTON", W(u::kFormCheck), BS_PUSHBUTTON | WS_TABSTOP, id::kCheck, kMargin, y,
        2 * button - 4, kHeight + 4);
    y += kRow + 8;
    Add(L"BUTTON", W(u::kFormTrace), BS_AUTOCHECKBOX | WS_TABSTOP, id::kTrace, kMargin, y,
        2 * button - 4, kHeight);
    Add(L"BUTTON", W(u::kFormShowTrace), BS_PUSHBUTTON | WS_TABSTOP, id::kShowTrace,
        kMargin + 2 * button, y, button - 4, kHeight + 2);
    SendMessageW(Item(id::kTrace), BM_SETCHECK, TraceOn() ? BST_CHECKED : BST_UNCHECKED, 0);
    y += kRow + 8;
    Add(L"STATIC", W(u::kFormInstruction), 0, id::kInstructionLabel, kMargin, y, kLeft - kMargin,
        kHeight - 6);
    y += kHeight - 4;
    Add(L"STATIC", L"", SS_LEFT, id::kInstruction, kMargin, y, kLeft - kMargin, 90,
        WS_EX_STATICEDGE);
    const int bottom = y + 90;

    int ry = kMargin + 2 * kHeight + 8;
    Add(L"STATIC", W(u::kFormLog), 0, id::kLogLabel, kLeft + kMargin, ry, 200, kHeight - 6);
    Add(L"BUTTON", W(u::kFormClearLog), BS_PUSHBUTTON | WS_TABSTOP, id::kClearLog,
        kLeft + kLog - 140, ry - 6, 140, kHeight);
    ry += kHeight - 4;
    const int log_height = bottom - ry - 120;
    HWND log =
        Add(L"EDIT", L"", ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_HSCROLL,
            id::kLog, kLeft + kMargin, ry, kLog, log_height, WS_EX_CLIENTEDGE);
    SendMessageW(log, EM_SETLIMITTEXT, 8 << 20, 0);
    ry += log_height + 8;
    Add(L"STATIC", W(u::kFormExplanation), 0, id::kExplanationLabel, kLeft + kMargin, ry, kLog,
        kHeight - 6);
    ry += kHeight - 4;
    Add(L"STATIC", L"", SS_LEFT, id::kExplanation, kLeft + kMargin, ry, kLog, bottom - ry,
        WS_EX_STATICEDGE);

    RECT frame{0, 0, kLeft + kLog + 2 * kMargin, bottom + kMargin};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongW(window_, GWL_STYLE)), FALSE, 0);
    SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER);
    EnableOperations(loaded);
    if (!loaded) Log(heading);
  }

  void EnableOperations(bool enable) {
    for (int control : {id::kExport, id::kImport, id::kClear})
      EnableWindow(Item(control), enable && loaded_);
    EnableWindow(Item(id::kCheck), enable);
  }

  void Log(const std::wstring& line) {
    HWND log = Item(id::kLog);
    const int end = GetWindowTextLengthW(log);
    SendMessageW(log, EM_SETSEL, static_cast<WPARAM>(end), static_cast<LPARAM>(end));
    // The edit control breaks lines at CR LF only; the plug-in's notice
    // begins with a bare line feed.
    std::wstring text;
    for (std::size_t i = 0; i < line.size(); ++i) {
      if (line[i] == L'\n' && (i == 0 || line[i - 1] != L'\r')) text += L'\r';
      text += line[i];
    }
    text += L"\r\n";
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
    const std::string kept =
        h::Cp1250FromWide(ReadIni(L"ustawienia", W(p.name).c_str(), FromCp1250(p.default_value)));
    return h::AcceptsValue(p, kept) ? kept : p.default_value;
  }

  std::map<std::string, std::string> Settings() {
    std::map<std::string, std::string> values;
    for (std::size_t i = 0; i < parameters_.size(); ++i)
      values[parameters_[i].name] =
          h::Cp1250FromWide(Text(Item(id::kParamValue + static_cast<int>(i))));
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

  std::string TracePath() const { return h::TraceFileOf(plugin_.path); }
  bool TraceOn() const { return loaded_ && h::IsFile(TracePath()); }

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
      case id::kTrace:
        ToggleTrace();
        break;
      case id::kShowTrace:
        ShowTrace();
        break;
      case id::kClearLog:
        SetWindowTextW(Item(id::kLog), L"");
        break;
    }
  }

  void Start(int control) {
    if (running_) return;
    auto job = std::make_unique<Job>();
    job->window = window_;
    job->plugin = &plugin_;
    job->settings = Settings();
    for (const h::Parameter& p : parameters_) {
      if (!h::AcceptsValue(p, job->settings[p.name])) {
        Log(Fill(u::kLogBadValue, {Utf8(job->settings[p.name]), Utf8(p.label)}));
        return;
      }
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
            FromCp1250(h::Property(plugin_.api, is_export ? 303 : 302));
        std::wstring shown = instruction;
        for (std::size_t at = 0; (at = shown.find(L'\n', at)) != std::wstring::npos; at += 2)
          shown.replace(at, 1, L"\r\n");
        SetWindowTextW(Item(id::kInstruction), shown.c_str());
        Log(W(Fill(is_export ? u::kLogExportStart : u::kLogImportStart, {h::Utf8FromWide(path)})));
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
        job->check = {job->settings["port"], Ansi(goods), Ansi(counts), plugin_.path};
        break;
    }
    SetWindowTextW(Item(id::kExplanation), L"");
    SaveSettings();
    running_ = true;
    EnableOperations(false);
    HANDLE thread = CreateThread(nullptr, 0, RunJob, job.get(), 0, nullptr);
    if (thread == nullptr) {
      running_ = false;
      EnableOperations(true);
      return;
    }
    job.release();
    CloseHandle(thread);
  }

  void Browse(bool goods) {
    wchar_t file[MAX_PATH] = {};
    const std::wstring current = Text(Item(goods ? id::kGoodsPath : id::kCountsPath));
    wcsncpy(file, current.c_str(), MAX_PATH - 1);
    std::wstring filter = W(u::kFormFileFilter);
    for (wchar_t& c : filter)
      if (c == L'|') c = L'\0';
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = window_;
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | (goods ? OFN_FILEMUSTEXIST : 0);
    const BOOL chosen = goods ? GetOpenFileNameW(&ofn) : GetSaveFileNameW(&ofn);
    if (chosen) SetWindowTextW(Item(goods ? id::kGoodsPath : id::kCountsPath), file);
  }

  void ToggleTrace() {
    const std::string path = TracePath();
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
      Log(Fill(u::kLogTraceCannot, {Utf8(path), std::to_string(GetLastError())}));
      SendMessageW(Item(id::kTrace), BM_SETCHECK, TraceOn() ? BST_CHECKED : BST_UNCHECKED, 0);
      return;
    }
    Log(want ? Fill(u::kLogTraceOn, {Utf8(path)}) : std::string(u::kLogTraceOff));
  }

  // The trace's last lines (it is UTF-8) into the log.
  void ShowTrace() {
    const std::string path = TracePath();
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      Log(u::kLogTraceNone);
      return;
    }
    LARGE_INTEGER size{};
    GetFileSizeEx(file, &size);
    const LONGLONG tail = 16 * 1024;
    LARGE_INTEGER from{};
    from.QuadPart = size.QuadPart > tail ? size.QuadPart - tail : 0;
    SetFilePointerEx(file, from, nullptr, FILE_BEGIN);
    std::string bytes(static_cast<std::size_t>(size.QuadPart - from.QuadPart), '\0');
    DWORD got = 0;
    ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &got, nullptr);
    CloseHandle(file);
    bytes.resize(got);
    if (from.QuadPart > 0 && bytes.find('\n') != std::string::npos)
      bytes.erase(0, bytes.find('\n') + 1);
    Log(Fill(u::kLogTraceShow, {Utf8(path)}));
    if (!bytes.empty() && bytes.back() == '\n') bytes.erase(bytes.size() - 2);
    Log(W(bytes));
  }

  HWND window_ = nullptr;
  HFONT font_ = nullptr;
  std::wstring ini_;
  std::string dll_path_;
  h::Plugin plugin_;
  bool loaded_ = false;
  std::vector<h::Parameter> parameters_;
  bool running_ = false;
};

// %APPDATA%\kolektor\kolektor-test.ini
std::wstring DefaultIni() {
  wchar_t appdata[MAX_PATH] = {};
  if (GetEnvironmentVariableW(L"APPDATA", appdata, MAX_PATH) == 0)
    return W(h::ProgramFolder()) + L"kolektor-test.ini";
  const std::wstring folder = std::wstring(appdata) + L"\\kolektor";
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder + L"\\kolektor-test.ini";
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::wstring ini = DefaultIni();
  std::string dll = h::ProgramFolder() + "kolektor.dll";
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
