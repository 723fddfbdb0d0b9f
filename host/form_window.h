// The test form's window: its controls, what each does, and the layout's
// places applied. It keeps to the window's own work and calls the parts
// beside it: the layout pass (form_layout), the operations' worker
// (form_worker), the rehearsal with the simulator (form_rehearsal), the
// ini file (form_settings) and the trace box (form_trace).
//
// Its member functions are defined by role: form_window.cpp (the window,
// its messages and its layout), form_controls.cpp (making the controls,
// the settings' rows and their values), form_actions.cpp (what the buttons
// do).
#pragma once

#include <windows.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "host/form_layout.h"
#include "host/form_worker.h"
#include "host/plugin_host.h"

namespace kolektor::form {

// Paths go to the plug-in as the host gives them: in the ANSI code page.
std::string Ansi(const std::wstring& wide);
// `text` with Windows' reason beside each system error number in it.
std::wstring WithReasons(const std::wstring& text);

class FormWindow {
 public:
  // `dll`: the plug-in named on the command line (ANSI); empty: the
  // installed one.
  FormWindow(std::wstring ini, std::string dll);
  bool Create(HINSTANCE instance);
  HWND window() const { return window_; }

 private:
  // form_window.cpp
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT NextControl(WPARAM wparam, LPARAM lparam);
  void Activate(WPARAM wparam);
  void WorkerDone();
  void Close();
  HWND Item(int control) const { return GetDlgItem(window_, control); }
  Content Measure() const;
  void Layout();
  void Scroll(int bar, int request, int wheel_lines = 0);
  void ScrollIntoView(HWND control);
  SIZE LeastFrame() const;
  void SizeOnStart();
  void GrowToContent();
  void EnableControls();
  bool Rehearsing() const;
  void Log(const std::wstring& line);
  void Log(std::string_view utf8);
  void Explain(const std::wstring& explanation);

  // form_controls.cpp
  HWND Add(const wchar_t* kind, const std::wstring& text, DWORD style, int control,
           DWORD ex_style = 0);
  HWND Label(std::string_view text, int control);
  HWND Button(std::string_view text, int control, DWORD style = BS_PUSHBUTTON);
  HWND Edit(const std::wstring& text, int control, DWORD style = ES_AUTOHSCROLL);
  HWND Reading(int control, DWORD style, DWORD ex_style);
  void Build();
  void BuildFixed();
  void LoadFirstPlugin();
  void BuildSettings();
  void AddSettingRow(const host::Parameter& p, int n, std::set<wchar_t>& taken, HWND& after);
  std::map<std::string, std::string> Settings();
  void KeepSettings();

  // form_actions.cpp
  void Command(int control, int notification);
  std::string ZrbFolder() const;
  void Start(int control);
  bool PrepareFileOperation(int control, Job& job);
  void Browse(bool goods);
  bool Choose(std::string_view filter_text, wchar_t* file, bool save,
              const std::wstring& folder = L"");
  void ChoosePlugin();
  bool UsePlugin(const std::string& path);
  std::string TracePath() const;
  void ToggleTrace();
  void ShowTrace();
  void CopyLog();
  void ClearSimulator();
  void Scan();

  HWND window_ = nullptr;
  HWND focus_ = nullptr;
  HFONT font_ = nullptr;
  Units units_;
  std::wstring ini_;
  std::string dll_named_;  // from the command line; empty: the installed one
  host::Plugin plugin_;
  bool loaded_ = false;
  std::string load_error_;
  std::vector<host::Parameter> parameters_;
  std::vector<std::wstring> instructions_;  // the plug-in's, for the terminal
  std::string simulator_;                   // the installed simulator's folder
  bool has_simulator_ = false;
  // Where the content is scrolled to, when the window is smaller than the
  // least the layout needs (a small screen at large fonts).
  int scroll_x_ = 0, scroll_y_ = 0;
  bool laying_out_ = false;  // a scroll bar shown or hidden resizes the client
  HANDLE worker_ = nullptr;  // the operation's thread while one runs
  bool close_when_done_ = false;
};

}  // namespace kolektor::form
