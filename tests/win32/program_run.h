// How the Windows tests start programs (zrbhost, the form, the setup, the
// stand-ins, a test program of their own): one CreateProcessA, with the few
// things a test chooses.
#pragma once

#include <windows.h>

#include <algorithm>
#include <string>

namespace kolektor::wintest {

struct StartOptions {
  std::string directory;  // its current folder; empty: the test's
  DWORD flags = 0;        // creation flags: CREATE_NO_WINDOW, CREATE_SUSPENDED
  // Its standard output and error, inherited; none: the test's own. With
  // `errors` too, standard error goes there apart.
  HANDLE output = nullptr;
  HANDLE errors = nullptr;
  // Its environment block; none: the test's own.
  const char* environment = nullptr;
};

// The started program's handles, for the caller to close (Finish); a null
// process handle when it could not be started.
inline PROCESS_INFORMATION StartProgram(std::string command_line,
                                        const StartOptions& options = {}) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  const bool redirected = options.output != nullptr;
  if (redirected) {
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = options.output;
    startup.hStdError = options.errors != nullptr ? options.errors : options.output;
  }
  PROCESS_INFORMATION info{};
  // CreateProcessA may write into its command line. wine64 on a busy
  // machine now and then fails a start with ERROR_INTERNAL_ERROR (1359)
  // that succeeds the next moment; nothing ran, so it is tried again.
  for (int tries = 0; tries < 6; ++tries) {
    if (CreateProcessA(
            nullptr, &command_line[0], nullptr, nullptr, redirected ? TRUE : FALSE, options.flags,
            const_cast<void*>(static_cast<const void*>(options.environment)),
            options.directory.empty() ? nullptr : options.directory.c_str(), &startup, &info))
      return info;
    if (GetLastError() != ERROR_INTERNAL_ERROR) break;
    Sleep(500);
  }
  return PROCESS_INFORMATION{};
}

// Waits up to `wait_ms` for the program to end and closes its handles: its
// exit code, 9998 when it was still running, 9999 when it never started.
inline DWORD Finish(PROCESS_INFORMATION& info, DWORD wait_ms = 120000) {
  if (info.hProcess == nullptr) return 9999;
  DWORD code = 9998;
  if (WaitForSingleObject(info.hProcess, wait_ms) == WAIT_OBJECT_0)
    GetExitCodeProcess(info.hProcess, &code);
  CloseHandle(info.hProcess);
  CloseHandle(info.hThread);
  info = PROCESS_INFORMATION{};
  return code;
}

struct ProgramRun {
  DWORD exit_code = 9999;  // as Finish gives it
  std::string output;      // standard output, and error unless it went apart
};

// Runs a program to its end with its output collected through a pipe;
// standard error goes to `errors` when given. The pipe is read while the
// program runs and drained once it has ended, never read to its end: under
// wine a process the program starts (services.exe, when the program is the
// one that wakes the prefix's services) can keep the write end open for
// good, and a read to the end would then wait forever.
inline ProgramRun RunProgram(const std::string& command_line, const std::string& directory = "",
                             HANDLE errors = nullptr, DWORD wait_ms = 180000) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE read_end = nullptr, write_end = nullptr;
  ProgramRun run;
  if (!CreatePipe(&read_end, &write_end, &inherit, 0)) return run;
  SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);
  PROCESS_INFORMATION info = StartProgram(command_line, {directory, 0, write_end, errors});
  CloseHandle(write_end);
  const DWORD start = GetTickCount();
  bool ended = info.hProcess == nullptr;
  for (;;) {
    DWORD waiting = 0;
    if (!PeekNamedPipe(read_end, nullptr, 0, nullptr, &waiting, nullptr)) break;  // all closed
    if (waiting > 0) {
      char buffer[4096];
      DWORD got = 0;
      if (!ReadFile(read_end, buffer, std::min<DWORD>(waiting, sizeof buffer), &got, nullptr))
        break;
      run.output.append(buffer, got);
      continue;
    }
    // Nothing waiting: once the program has ended (and what it wrote
    // before has been read), or its time is up, the output is complete.
    if (ended || GetTickCount() - start > wait_ms) break;
    ended = WaitForSingleObject(info.hProcess, 20) == WAIT_OBJECT_0;
  }
  CloseHandle(read_end);
  run.exit_code = Finish(info, 0);
  return run;
}

// What a program said with every run of blanks and line ends as one blank:
// zrbhost and the support file break their lines to fit 80 columns,
// wherever a path makes them long.
inline std::string Flat(const std::string& text) {
  std::string flat;
  for (char c : text) {
    const bool blank = c == ' ' || c == '\r' || c == '\n';
    if (!blank || flat.empty() || flat.back() != ' ') flat += blank ? ' ' : c;
  }
  return flat;
}

}  // namespace kolektor::wintest
