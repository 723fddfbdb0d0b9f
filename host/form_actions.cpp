// What the test form's buttons do: start an operation or the installation
// check on the worker, choose files and the plug-in, switch and show the
// trace, copy the log, and scan on the simulated terminal.
#include <cstring>

#include "base/cp1250.h"
#include "base/host_interface.h"
#include "host/form_ids.h"
#include "host/form_rehearsal.h"
#include "host/form_trace.h"
#include "host/form_window.h"
#include "host/gui_text.h"
#include "host/install_check.h"
#include "host/program_texts.h"
#include "tools/terminal/exit_codes.h"

namespace kolektor::form {
namespace {

namespace u = kolektor::ui;
namespace h = kolektor::host;
using kolektor::ui::Fill;

std::wstring W(std::string_view utf8) { return h::WideFromUtf8(std::string(utf8)); }
std::string Utf8(const std::string& cp1250) { return kolektor::Utf8FromCp1250(cp1250); }

std::string VersionShown(const h::Plugin& plugin) {
  return plugin.version.empty() ? std::string(u::kFormNoVersion) : plugin.version;
}

}  // namespace

void FormWindow::Command(int control, int notification) {
  switch (control) {
    case kExport:
    case kImport:
    case kClear:
    case kCheck:
      if (notification == BN_CLICKED) Start(control);
      break;
    case kGoodsBrowse:
    case kCountsBrowse:
      Browse(control == kGoodsBrowse);
      break;
    case kChoosePlugin:
      ChoosePlugin();
      break;
    case kTrace:
      ToggleTrace();
      break;
    case kShowTrace:
      ShowTrace();
      break;
    case kClearLog:
      SetWindowTextW(Item(kLog), L"");
      break;
    case kCopyLog:
      CopyLog();
      break;
    case kRehearsal:
      EnableControls();
      // What to do now: in the simulator, or the plug-in's steps again at
      // the next operation.
      SetWindowTextW(Item(kInstruction), Rehearsing() ? W(u::kFormSimulatorExport).c_str() : L"");
      break;
    case kScan:
      Scan();
      break;
    case kSimulatorClear:
      ClearSimulator();
      break;
    default:
      // The port as the person typed it is shown as it will be used.
      if (control >= kParamValue && control < kParamValue + static_cast<int>(parameters_.size()) &&
          notification == EN_KILLFOCUS)
        Settings();
      break;
  }
}

// The folder the operation runs in, so that Windows finds the vendor's
// download utility as it does for ZRB: ZRB's folder, from Binaria.
std::string FormWindow::ZrbFolder() const {
  std::string folder;
  if (h::ReadBinaria(folder) != h::HostValue::kFound || !h::IsFolder(folder)) return "";
  return folder;
}

void FormWindow::Start(int control) {
  if (worker_ != nullptr) return;
  SetWindowTextW(Item(kExplanation), L"");
  Job job;
  job.window = window_;
  job.api = plugin_.api;
  job.settings = Settings();
  for (const h::Parameter& p : parameters_) job.labels[p.name] = p.label;
  for (const h::Parameter& p : parameters_) {
    if (!h::AcceptsValue(p, job.settings[p.name])) {
      Log(Fill(u::kLogBadValue, {Utf8(job.settings[p.name]), Utf8(p.label)}));
      return;
    }
  }
  if (Rehearsing()) {
    job.rehearsal = simulator_;
    job.folder = simulator_;
  } else {
    job.folder = ZrbFolder();
  }
  if (control == kExport || control == kImport) {
    if (!PrepareFileOperation(control, job)) return;
  } else if (control == kClear) {
    job.kind = Job::kClear;
    Log(u::kLogClearStart);
  } else {
    job.kind = Job::kCheck;
    job.check = {loaded_ ? job.settings[std::string(kolektor::kParamPort)] : std::string(),
                 Ansi(gui::ControlText(Item(kGoodsPath))),
                 Ansi(gui::ControlText(Item(kCountsPath))), loaded_ ? plugin_.path : std::string(),
                 job.rehearsal};
  }
  KeepSettings();
  worker_ = StartWorker(std::move(job));
  if (worker_ != nullptr) EnableControls();
}

// An export or an import: its file, what the person does on the terminal
// now (the plug-in's own words), and the folder it runs in. False when no
// file is named.
bool FormWindow::PrepareFileOperation(int control, Job& job) {
  const bool is_export = control == kExport;
  const std::wstring path = gui::ControlText(Item(is_export ? kGoodsPath : kCountsPath));
  if (path.empty()) {
    Log(u::kLogNoPath);
    return false;
  }
  job.kind = is_export ? Job::kExport : Job::kImport;
  job.path = Ansi(path);
  // In a rehearsal the person works the simulator, not a terminal.
  const bool simulated = !job.rehearsal.empty();
  const std::wstring instruction =
      simulated ? W(is_export ? u::kFormSimulatorExport : u::kFormSimulatorImport)
                : h::WideFromCp1250(
                      h::Property(plugin_.api, is_export ? kolektor::property::kLoadFromHost
                                                         : kolektor::property::kSendToHost));
  SetWindowTextW(Item(kInstruction), gui::CrLf(instruction).c_str());
  Log(W(Fill(is_export ? u::kLogExportStart : u::kLogImportStart, {h::Utf8FromWide(path)})));
  if (!job.rehearsal.empty())
    Log(Fill(u::kLogRehearsal, {h::Utf8FromAnsi(job.rehearsal)}));
  else if (!job.folder.empty())
    Log(Fill(u::kLogFolder, {h::Utf8FromAnsi(job.folder)}));
  else
    Log(u::kLogNoZrbFolder);
  std::wstring flat = instruction;
  for (wchar_t& c : flat)
    if (c == L'\n') c = L' ';
  Log(W(Fill(simulated ? u::kLogInSimulator : u::kLogOnTerminal, {h::Utf8FromWide(flat)})));
  return true;
}

void FormWindow::Browse(bool goods) {
  wchar_t file[MAX_PATH] = {};
  const std::wstring current = gui::ControlText(Item(goods ? kGoodsPath : kCountsPath));
  wcsncpy(file, current.c_str(), MAX_PATH - 1);
  if (Choose(u::kFormFileFilter, file, !goods))
    SetWindowTextW(Item(goods ? kGoodsPath : kCountsPath), file);
}

bool FormWindow::Choose(std::string_view filter_text, wchar_t* file, bool save,
                        const std::wstring& folder) {
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

void FormWindow::ChoosePlugin() {
  if (worker_ != nullptr) return;
  wchar_t file[MAX_PATH] = {};
  const std::string zrb = ZrbFolder();
  if (!Choose(u::kFormPluginFilter, file, false, zrb.empty() ? L"" : W(h::Utf8FromAnsi(zrb))))
    return;
  if (!UsePlugin(Ansi(file))) {
    Log(Fill(u::kFormPluginMissing, {load_error_}));
    return;
  }
  Log(Fill(u::kLogPluginLoaded, {h::Utf8FromAnsi(plugin_.path), VersionShown(plugin_)}));
  EnableControls();
  GrowToContent();
}

// Loads a plug-in in place of the one loaded, and rebuilds the settings
// from its descriptions. False when it cannot be loaded (`load_error_`
// says why); the one loaded stays then.
bool FormWindow::UsePlugin(const std::string& path) {
  h::Plugin fresh;
  if (!h::LoadPlugin(path, fresh, load_error_)) return false;
  if (loaded_) KeepSettings();
  h::UnloadPlugin(plugin_);
  plugin_ = fresh;
  loaded_ = true;
  SetWindowTextW(
      Item(kPluginLine),
      W(Fill(u::kFormPlugin, {h::Utf8FromAnsi(plugin_.path), VersionShown(plugin_)})).c_str());
  SetWindowTextW(
      Item(kModelLine),
      W(Fill(u::kFormModel, {Utf8(h::Property(plugin_.api, kolektor::property::kModel)),
                             Utf8(h::Property(plugin_.api, kolektor::property::kIdentifier))}))
          .c_str());
  SendMessageW(Item(kTrace), BM_SETCHECK, TraceOn(TracePath()) ? BST_CHECKED : BST_UNCHECKED, 0);
  instructions_.clear();
  for (h::Word number : {kolektor::property::kLoadFromHost, kolektor::property::kSendToHost})
    instructions_.push_back(gui::CrLf(h::WideFromCp1250(h::Property(plugin_.api, number))));
  BuildSettings();
  return true;
}

// The trace belongs to the loaded plug-in's folder, and to nothing when
// none is loaded.
std::string FormWindow::TracePath() const {
  return loaded_ ? TracePathOf(plugin_.path) : std::string();
}

void FormWindow::ToggleTrace() {
  const std::string path = TracePath();
  if (path.empty()) return;
  const bool want = SendMessageW(Item(kTrace), BM_GETCHECK, 0, 0) == BST_CHECKED;
  std::string said;
  if (!SwitchTrace(path, want, said))
    SendMessageW(Item(kTrace), BM_SETCHECK, TraceOn(path) ? BST_CHECKED : BST_UNCHECKED, 0);
  Log(said);
}

void FormWindow::ShowTrace() {
  for (const std::string& line : TraceTail(TracePath())) Log(line);
}

void FormWindow::CopyLog() {
  const std::wstring text = gui::ControlText(Item(kLog));
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

void FormWindow::ClearSimulator() {
  std::string failure;
  if (RunSimulator(simulator_, L"clear", failure) == 0)
    Log(u::kLogSimulatorCleared);
  else if (!failure.empty())
    Log(failure);
}

void FormWindow::Scan() {
  const std::wstring code = ScanField(gui::ControlText(Item(kScanCode)));
  const std::wstring quantity = ScanField(gui::ControlText(Item(kScanQuantity)));
  if (code.empty() || quantity.empty()) {
    Log(u::kLogScanEmpty);
    return;
  }
  std::string failure;
  const int result =
      RunSimulator(simulator_, L"scan \"" + code + L"\" \"" + quantity + L"\"", failure);
  if (!failure.empty()) Log(failure);
  const std::string said = ScanSaid(result, h::Utf8FromWide(code), h::Utf8FromWide(quantity));
  if (!said.empty()) Log(said);
  if (result == terminal::kExitDone) {
    SetWindowTextW(Item(kScanCode), L"");
    SetFocus(Item(kScanCode));
  }
}

}  // namespace kolektor::form
