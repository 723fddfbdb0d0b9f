// The test form's controls: the fixed ones, made once in the order of Tab,
// and one row per setting the plug-in describes, made again for each
// plug-in loaded; the settings' values as the host would pass them.
#include <set>

#include "base/host_interface.h"
#include "host/form_ids.h"
#include "host/form_rehearsal.h"
#include "host/form_settings.h"
#include "host/form_window.h"
#include "host/gui_measure.h"
#include "host/gui_text.h"
#include "host/install_check.h"
#include "host/program_texts.h"

namespace kolektor::form {
namespace {

namespace u = kolektor::ui;
namespace h = kolektor::host;
using kolektor::ui::Fill;

std::wstring W(std::string_view utf8) { return h::WideFromUtf8(std::string(utf8)); }

}  // namespace

HWND FormWindow::Add(const wchar_t* kind, const std::wstring& text, DWORD style, int control,
                     DWORD ex_style) {
  HWND child = CreateWindowExW(
      ex_style, kind, text.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10, window_,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(control)), GetModuleHandleW(nullptr), nullptr);
  SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  return child;
}

HWND FormWindow::Label(std::string_view text, int control) {
  return Add(L"STATIC", W(text), SS_LEFT, control);
}

HWND FormWindow::Button(std::string_view text, int control, DWORD style) {
  return Add(L"BUTTON", W(text), style | WS_TABSTOP, control);
}

HWND FormWindow::Edit(const std::wstring& text, int control, DWORD style) {
  return Add(L"EDIT", text, style | WS_TABSTOP, control, WS_EX_CLIENTEDGE);
}

// Read-only text that can be selected and copied: paths, explanations.
HWND FormWindow::Reading(int control, DWORD style, DWORD ex_style) {
  return Add(L"EDIT", L"", ES_READONLY | style, control, ex_style);
}

void FormWindow::Build() {
  font_ = gui::CreateMessageFont();
  {
    const gui::TextMeasure measure(window_, font_);
    units_ = UnitsFor(measure.LineHeight(), measure.AverageWidth(), gui::CheckBoxWidth(),
                      gui::ScrollBarWidth());
  }
  simulator_ = SimulatorFolder();
  has_simulator_ = HasSimulator(simulator_);
  BuildFixed();
  LoadFirstPlugin();
  EnableControls();
  SizeOnStart();
}

// Made in the order of Tab; a label just before what it names, so that
// its Alt letter reaches that control.
void FormWindow::BuildFixed() {
  // Several lines when the reason a plug-in is missing needs them.
  Reading(kPluginLine, ES_MULTILINE, 0);
  Button(u::kFormChoosePlugin, kChoosePlugin);
  Reading(kModelLine, ES_AUTOHSCROLL, 0);
  Add(L"BUTTON", W(u::kFormSettings), BS_GROUPBOX, kSettingsGroup);
  Label(u::kFormGoodsFile, kGoodsLabel);
  Edit(KeptGoodsPath(ini_), kGoodsPath);
  Button(u::kFormBrowse, kGoodsBrowse);
  Label(u::kFormCountsFile, kCountsLabel);
  Edit(KeptCountsPath(ini_), kCountsPath);
  Button(u::kFormBrowse, kCountsBrowse);
  Button(u::kFormExport, kExport);
  Button(u::kFormImport, kImport);
  Button(u::kFormClear, kClear);
  Add(L"STATIC", W(u::kFormClearAbout), SS_LEFT | SS_NOPREFIX, kClearAbout);
  Button(u::kFormCheck, kCheck);
  Button(u::kFormTrace, kTrace, BS_AUTOCHECKBOX);
  Button(u::kFormShowTrace, kShowTrace);
  Label(u::kFormLog, kLogLabel);
  HWND log =
      Reading(kLog, ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE);
  SendMessageW(log, EM_SETLIMITTEXT, 8 << 20, 0);
  Button(u::kFormCopyLog, kCopyLog);
  Button(u::kFormClearLog, kClearLog);
  Label(u::kFormInstruction, kInstructionLabel);
  Reading(kInstruction, ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE);
  Label(u::kFormExplanation, kExplanationLabel);
  Reading(kExplanation, ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE);
  Add(L"BUTTON", W(u::kFormRehearsalGroup), BS_GROUPBOX, kRehearsalGroup);
  Button(u::kFormRehearsal, kRehearsal, BS_AUTOCHECKBOX);
  Label(u::kFormScanCode, kScanCodeLabel);
  Edit(L"", kScanCode);
  Label(u::kFormScanQuantity, kScanQuantityLabel);
  Edit(L"1", kScanQuantity);
  Button(u::kFormScan, kScan);
  Button(u::kFormSimulatorClear, kSimulatorClear);
}

// The plug-in named on the command line, else the installed one; when
// there is none, why, once.
void FormWindow::LoadFirstPlugin() {
  std::string path = dll_named_;
  std::string missing;
  if (path.empty()) {
    const h::DefaultPlugin found = h::FindDefaultPlugin();
    path = found.path;
    missing = found.missing;
  }
  if (!path.empty() && UsePlugin(path)) return;
  const std::wstring why =
      WithReasons(W(Fill(u::kFormPluginMissing, {path.empty() ? missing : load_error_})));
  SetWindowTextW(Item(kPluginLine), why.c_str());
  Log(why);
  Log(u::kLogChooseHint);
  BuildSettings();
}

// One row per parameter the plug-in describes, placed in Tab order right
// after the settings group.
void FormWindow::BuildSettings() {
  for (std::size_t i = 0; i < parameters_.size(); ++i)
    for (int base : {kParamLabel, kParamValue, kParamRange})
      if (HWND old = Item(base + static_cast<int>(i))) DestroyWindow(old);
  parameters_.clear();
  if (loaded_) parameters_ = h::DescribeParameters(plugin_.api);

  // The Alt letters the fixed labels and buttons claim; the plug-in's
  // labels get free ones.
  std::set<wchar_t> taken;
  for (int control = kPluginLine; control <= kLastFixed; ++control) {
    wchar_t kind[16] = {};
    HWND item = Item(control);
    if (item == nullptr || GetClassNameW(item, kind, 16) == 0 || lstrcmpiW(kind, L"Edit") == 0)
      continue;
    if (const wchar_t letter = gui::MnemonicOf(gui::ControlText(item))) taken.insert(letter);
  }
  HWND after = Item(kSettingsGroup);
  for (std::size_t i = 0; i < parameters_.size(); ++i)
    AddSettingRow(parameters_[i], static_cast<int>(i), taken, after);
  Layout();
}

// A label, and a combo box with the choices or an edit with its range,
// each placed in Tab order after `after`, which then names the last.
void FormWindow::AddSettingRow(const h::Parameter& p, int n, std::set<wchar_t>& taken,
                               HWND& after) {
  auto keep_order = [&after](HWND control) {
    SetWindowPos(control, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    after = control;
  };
  keep_order(Add(L"STATIC", gui::WithMnemonic(h::WideFromCp1250(p.label), taken), SS_LEFT,
                 kParamLabel + n));
  const std::string value = KeptSetting(ini_, p);
  if (p.kind != kolektor::kParameterChoice) {
    keep_order(Edit(h::WideFromCp1250(value), kParamValue + n));
    keep_order(Label(Fill(u::kFormRange, {p.low, p.high}), kParamRange + n));
    return;
  }
  HWND combo = Add(L"COMBOBOX", L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, kParamValue + n);
  keep_order(combo);
  for (const std::string& choice : p.choices)
    SendMessageW(combo, CB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(h::WideFromCp1250(choice).c_str()));
  LRESULT selected = 0;
  for (std::size_t c = 0; c < p.choices.size(); ++c)
    if (p.choices[c] == value) selected = static_cast<LRESULT>(c);
  SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

// The values as the host would pass them. A port typed as Device Manager
// shows it ("COM5") is taken as its number, and shown so.
std::map<std::string, std::string> FormWindow::Settings() {
  std::map<std::string, std::string> values;
  for (std::size_t i = 0; i < parameters_.size(); ++i) {
    HWND control = Item(kParamValue + static_cast<int>(i));
    std::string value = h::Cp1250FromWide(gui::ControlText(control));
    if (parameters_[i].name == kolektor::kParamPort) {
      const std::string number = h::PortNumberOf(value);
      if (number != value) SetWindowTextW(control, h::WideFromCp1250(number).c_str());
      value = number;
    }
    values[parameters_[i].name] = value;
  }
  return values;
}

void FormWindow::KeepSettings() {
  form::KeepSettings(ini_, Settings(), gui::ControlText(Item(kGoodsPath)),
                     gui::ControlText(Item(kCountsPath)));
}

}  // namespace kolektor::form
