// The test form's operations' worker: a thread that runs an export, an
// import, the clear step or the installation check through the host
// library, and posts what happens to the window, which only shows it. The
// worker owns its copy of what it needs; the plug-in's module stays loaded
// while it runs, since the form changes the plug-in only when idle.
#pragma once

#include <windows.h>

#include <map>
#include <string>

#include "host/install_check.h"
#include "host/plugin_host.h"

namespace kolektor::form {

// Posted to the window, each with a std::wstring* the window takes over
// (TakePosted): a line for the log, the explanation of one error (the
// window keeps every one of the run). kWorkerDone (nothing attached) ends
// the worker's run.
constexpr UINT kWorkerLogLine = WM_APP + 1;
constexpr UINT kWorkerExplanation = WM_APP + 2;
constexpr UINT kWorkerDone = WM_APP + 3;

struct Job {
  enum Kind { kExport, kImport, kClear, kCheck } kind = kCheck;
  HWND window = nullptr;  // where the events go
  host::EntryPoints api;
  std::map<std::string, std::string> settings;  // Windows-1250, as the host passes them
  // Each setting's label on the plug-in's form, by its name (Windows-1250):
  // the log names the settings as the person sees them.
  std::map<std::string, std::string> labels;
  std::string path;  // the goods or counts file, ANSI
  host::InstallCheckInput check;
  // The current folder during the operation: ZRB's folder (or the
  // simulator's), so that Windows finds IR_READ2.EXE there as it does for
  // ZRB. Empty: left as it is.
  std::string folder;
  std::string rehearsal;  // the simulator's folder when rehearsing
};

// Starts the job on a thread of its own, which owns it from then on; the
// thread's handle, or null when none could be started (the job is then
// dropped).
HANDLE StartWorker(Job job);

// The text a kWorkerLogLine or kWorkerExplanation message carries, taken over.
std::wstring TakePosted(LPARAM lparam);

}  // namespace kolektor::form
