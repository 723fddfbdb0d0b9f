// Stand-in for the terminal vendor's utilities DLOOKUP2.EXE (upload) and
// IR_READ2.EXE (download), built once and started under either name.
// Tests steer it through the environment, which the plug-in's child
// inherits from the host:
//   KOLEKTOR_STANDIN_LOG     file to which one line per start is appended:
//                            name|command line|current directory|lookup file
//   KOLEKTOR_STANDIN_COPY    (upload) copy the lookup file "a" here
//   KOLEKTOR_STANDIN_DATA    (download) file whose bytes become a.dat
//   KOLEKTOR_STANDIN_RUN_MS  how long to run before ending; "forever"
//   KOLEKTOR_STANDIN_EXIT    exit code (default 0)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string Env(const char* name) {
  char value[2048];
  const DWORD got = GetEnvironmentVariableA(name, value, sizeof value);
  if (got == 0 || got >= sizeof value) return std::string();
  return std::string(value, got);
}

std::string ProgramName() {
  char path[MAX_PATH];
  const DWORD got = GetModuleFileNameA(nullptr, path, sizeof path);
  std::string name(path, got);
  const std::size_t slash = name.find_last_of("\\/");
  if (slash != std::string::npos) name.erase(0, slash + 1);
  for (char& c : name) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  return name;
}

bool CopyBytes(const std::string& from, const std::string& to) {
  return CopyFileA(from.c_str(), to.c_str(), FALSE) != 0;
}

}  // namespace

int main() {
  const std::string name = ProgramName();
  const bool upload = name.rfind("DLOOKUP2", 0) == 0;
  char cwd[MAX_PATH] = {};
  GetCurrentDirectoryA(sizeof cwd, cwd);
  const bool lookup_present = GetFileAttributesA("a") != INVALID_FILE_ATTRIBUTES;

  const std::string log = Env("KOLEKTOR_STANDIN_LOG");
  if (!log.empty()) {
    if (FILE* f = std::fopen(log.c_str(), "ab")) {
      std::fprintf(f, "%s|%s|%s|%s\n", name.c_str(), GetCommandLineA(), cwd,
                   upload ? (lookup_present ? "a=present" : "a=missing") : "-");
      std::fclose(f);
    }
  }
  if (upload) {
    const std::string copy = Env("KOLEKTOR_STANDIN_COPY");
    if (!copy.empty() && lookup_present) CopyBytes("a", copy);
  } else {
    const std::string data = Env("KOLEKTOR_STANDIN_DATA");
    if (!data.empty()) CopyBytes(data, "a.dat");
  }

  const std::string run = Env("KOLEKTOR_STANDIN_RUN_MS");
  if (run == "forever") {
    for (;;) Sleep(1000);
  }
  if (!run.empty()) Sleep(static_cast<DWORD>(std::strtoul(run.c_str(), nullptr, 10)));
  const std::string code = Env("KOLEKTOR_STANDIN_EXIT");
  return code.empty() ? 0 : static_cast<int>(std::strtoul(code.c_str(), nullptr, 10));
}
