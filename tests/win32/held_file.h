// Another program holding a file open without sharing it, as a virus
// scanner, an indexer, a backup or a running import does: file_holder.exe
// beside the tests.
#pragma once

#include <windows.h>

#include <string>

#include "tests/win32/plugin_loader.h"
#include "tests/win32/program_run.h"

namespace kolektor::wintest {

// Whether some process holds `path` open without sharing it.
inline bool HeldElsewhere(const std::string& path) {
  const HANDLE probe = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   nullptr, OPEN_EXISTING, 0, nullptr);
  if (probe != INVALID_HANDLE_VALUE) {
    CloseHandle(probe);
    return false;
  }
  return GetLastError() == ERROR_SHARING_VIOLATION;
}

// Starts file_holder on `path` for `ms` from the moment it has the file;
// with `wait`, returns once it holds it (at most 4 s). The caller waits
// for and closes the process.
inline PROCESS_INFORMATION HoldFile(const std::string& path, DWORD ms, bool wait = true) {
  PROCESS_INFORMATION info =
      StartProgram("\"" + BinDir() + "file_holder.exe\" \"" + path + "\" " + std::to_string(ms),
                   {"", CREATE_NO_WINDOW});
  for (int i = 0; wait && info.hProcess != nullptr && i < 400 && !HeldElsewhere(path); ++i)
    Sleep(10);
  return info;
}

}  // namespace kolektor::wintest
