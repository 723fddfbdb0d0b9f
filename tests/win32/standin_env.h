// Steering the vendor-utility stand-in through the environment that the
// plug-in's child inherits from this test process.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace kolektor::wintest {

struct StandinEnv {
  explicit StandinEnv(const std::string& dir) : log(dir + "standin.log") {
    Set("KOLEKTOR_STANDIN_LOG", log.c_str());
    // A terminal of this test's own.
    Set("KOLEKTOR_TERMINAL", dir + "terminal");
  }
  ~StandinEnv() {
    for (const char* name :
         {"KOLEKTOR_STANDIN_LOG", "KOLEKTOR_STANDIN_COPY", "KOLEKTOR_STANDIN_DATA",
          "KOLEKTOR_STANDIN_RUN_MS", "KOLEKTOR_STANDIN_EXIT", "KOLEKTOR_STANDIN_WRITE_AFTER_MS",
          "KOLEKTOR_TERMINAL"})
      SetEnvironmentVariableA(name, nullptr);
  }
  static void Set(const char* name, const std::string& value) {
    SetEnvironmentVariableA(name, value.c_str());
  }
  // The stand-in's starts: name|command line|current directory|lookup.
  std::vector<std::string> Starts() const {
    std::vector<std::string> lines;
    FILE* f = std::fopen(log.c_str(), "rb");
    if (f == nullptr) return lines;
    char line[4096];
    while (std::fgets(line, sizeof line, f)) {
      std::string s(line);
      while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.pop_back();
      lines.push_back(s);
    }
    std::fclose(f);
    return lines;
  }
  std::string log;
};

// The directory without its trailing backslash.
inline std::string NoSlash(std::string dir) {
  if (!dir.empty() && dir.back() == '\\') dir.pop_back();
  return dir;
}

inline std::string FullPath(const std::string& path) {
  char full[MAX_PATH];
  const DWORD got = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
  return std::string(full, got);
}

}  // namespace kolektor::wintest
