// The test form's window class and control ids: fixed, so that a test (or
// a support person's tool) can find every control and read its text.
#pragma once

namespace kolektor::form {

inline constexpr const wchar_t* kWindowClass = L"KolektorTestForm";

enum Control : int {
  kPluginLine = 100,  // path and version of the loaded plug-in, or why none is
  kModelLine,         // terminal model and identifier (properties 1, 2)
  kSettingsGroup,
  kGoodsLabel,
  kGoodsPath,  // edit: the goods file
  kGoodsBrowse,
  kCountsLabel,
  kCountsPath,  // edit: the counts file
  kCountsBrowse,
  kExport,  // buttons
  kImport,
  kClear,
  kCheck,
  kTrace,  // check box: kolektor.log beside the loaded plug-in
  kShowTrace,
  kClearLog,
  kLogLabel,
  kLog,  // the log: every callback with its time
  kExplanationLabel,
  kExplanation,  // cause and check of the last error
  kInstructionLabel,
  kInstruction,   // what to do on the terminal (properties 302, 303)
  kChoosePlugin,  // button: choose the plug-in's DLL
  kCopyLog,       // button: the log to the clipboard
  // The rehearsal with the installed terminal simulator instead of a
  // terminal and ZRB's folder.
  kRehearsalGroup,
  kRehearsal,       // check box: operations use the simulator
  kSimulatorClear,  // button: the simulator forgets what was scanned
  kScanCodeLabel,
  kScanCode,  // edit: a code to scan
  kScanQuantityLabel,
  kScanQuantity,  // edit: its quantity
  kScan,          // button: scan on the simulated terminal
  kClearAbout,    // beside "Zeruj": what the host's clear step does here
  // The last fixed control: a control added later comes before this line
  // and moves it.
  kLastFixed = kClearAbout,
  // Settings, one row per parameter in the plug-in's order: label, value
  // (a combo box with the choices, or an edit with its range beside it).
  kParamLabel = 1100,
  kParamValue = 1200,
  kParamRange = 1300,
};

}  // namespace kolektor::form
