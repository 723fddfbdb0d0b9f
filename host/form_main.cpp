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
#include <shellapi.h>

#include <string>

#include "host/form_settings.h"
#include "host/form_window.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  // The manifest asks for common controls 6: their classes come from here.
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::wstring ini = kolektor::form::DefaultIniPath();
  std::string dll;
  for (int i = 1; argv != nullptr && i < argc; ++i) {
    const std::wstring a = argv[i];
    if (a == L"--ini" && i + 1 < argc)
      ini = argv[++i];
    else
      dll = kolektor::form::Ansi(a);
  }
  if (argv != nullptr) LocalFree(argv);

  kolektor::form::FormWindow form(ini, dll);
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
