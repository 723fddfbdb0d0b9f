// A simulated CipherLab 8x00 terminal in its dock, with stand-ins for the
// vendor's utilities. One program, started under three names:
//   DLOOKUP2.EXE a,PORT,SPEED,1       upload: checks the lookup file "a" in
//                                      the current directory and loads it
//   IR_READ2.EXE a.dat,PORT,SPEED,... download: writes the collected
//                                      records as a.dat in the current directory
//   terminal scan CODE QTY | show | clear
//                                      what a person does on the terminal;
//                                      scan ends 0 when collected, 3 with no
//                                      goods table, 4 for a code not in it, 5
//                                      for a quantity the terminal refuses
//                                      (the test form says each in Polish);
//                                      QTY with a decimal comma or a point
// The terminal's memory is a folder: KOLEKTOR_TERMINAL, or
// %APPDATA%\kolektor\terminal. It holds table.txt (the loaded lookup file)
// and collected.txt (the counted records, "code,quantity" CR LF).
//
// Tests steer the utilities through the environment the plug-in's child
// inherits from the host:
//   KOLEKTOR_STANDIN_LOG     append name|command line|current dir|lookup
//   KOLEKTOR_STANDIN_COPY    (upload) copy the lookup file here
//   KOLEKTOR_STANDIN_DATA    (download) file to write as a.dat instead of the
//                            terminal's records; "none" writes no a.dat
//   kolektor-standin.dat     (download) when in the current directory and no
//                            KOLEKTOR_STANDIN_DATA is set: written as a.dat
//   KOLEKTOR_STANDIN_WRITE_AFTER_MS
//                            (download) how long to wait before writing a.dat
//   KOLEKTOR_STANDIN_RUN_MS  how long to run before ending; "forever"
//   KOLEKTOR_STANDIN_EXIT    exit code (default 0, or 1 for a refused upload);
//                            a write that failed always ends with 1
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "base/file_names.h"
#include "tools/terminal/exit_codes.h"
#include "tools/terminal/lookup_check.h"

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

std::string MemoryDir() {
  std::string dir = Env("KOLEKTOR_TERMINAL");
  if (dir.empty()) {
    const std::string appdata = Env("APPDATA");
    const std::string base = (appdata.empty() ? std::string(".") : appdata) + "\\kolektor";
    CreateDirectoryA(base.c_str(), nullptr);
    dir = base + "\\terminal";
  }
  CreateDirectoryA(dir.c_str(), nullptr);
  return dir + "\\";
}

bool ReadAll(const std::string& path, std::string& bytes) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) return false;
  char buffer[65536];
  std::size_t got;
  bytes.clear();
  while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, got);
  std::fclose(f);
  return true;
}

bool WriteAll(const std::string& path, const std::string& bytes, const char* mode = "wb") {
  FILE* f = std::fopen(path.c_str(), mode);
  if (f == nullptr) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

// The file named first on the utility's command line ("a" or "a.dat").
std::string FileArgument() {
  std::string line = GetCommandLineA();
  std::size_t at = 0;
  if (!line.empty() && line[0] == '"') {
    at = line.find('"', 1);
    at = at == std::string::npos ? line.size() : at + 1;
  } else {
    at = line.find(' ');
    if (at == std::string::npos) at = line.size();
  }
  while (at < line.size() && line[at] == ' ') ++at;
  const std::string args = line.substr(at);
  return args.substr(0, args.find(','));
}

void LogStart(const std::string& name, bool upload, const std::string& file) {
  const std::string log = Env("KOLEKTOR_STANDIN_LOG");
  if (log.empty()) return;
  char cwd[MAX_PATH] = {};
  GetCurrentDirectoryA(sizeof cwd, cwd);
  const bool present = GetFileAttributesA(file.c_str()) != INVALID_FILE_ATTRIBUTES;
  const std::string line = name + "|" + GetCommandLineA() + "|" + cwd + "|" +
                           (upload ? (present ? "a=present" : "a=missing") : "-") + "\n";
  WriteAll(log, line, "ab");
}

int Finish(int code) {
  const std::string run = Env("KOLEKTOR_STANDIN_RUN_MS");
  if (run == "forever")
    for (;;) Sleep(1000);
  if (!run.empty()) Sleep(static_cast<DWORD>(std::strtoul(run.c_str(), nullptr, 10)));
  const std::string exit_code = Env("KOLEKTOR_STANDIN_EXIT");
  return exit_code.empty() ? code : static_cast<int>(std::strtoul(exit_code.c_str(), nullptr, 10));
}

int Upload(const std::string& name) {
  const std::string file = FileArgument();
  LogStart(name, true, file);
  std::string table;
  if (!ReadAll(file, table)) {
    std::printf("%s: no lookup file \"%s\" in the current directory\n", name.c_str(), file.c_str());
    return Finish(1);
  }
  const std::string copy = Env("KOLEKTOR_STANDIN_COPY");
  if (!copy.empty()) WriteAll(copy, table);
  const kolektor::terminal::LookupCheck check = kolektor::terminal::CheckLookupTable(table);
  if (!check.ok) {
    std::printf("%s: record %zu refused (%s); nothing loaded\n", name.c_str(), check.bad_record,
                check.reason.c_str());
    WriteAll(MemoryDir() + "upload.txt",
             "refused: record " + std::to_string(check.bad_record) + ": " + check.reason + "\r\n");
    return Finish(1);
  }
  const std::string memory = MemoryDir();
  if (!WriteAll(memory + "table.txt", table) ||
      !WriteAll(memory + "upload.txt",
                "loaded " + std::to_string(check.records) + " records\r\n")) {
    std::printf("%s: writing the terminal's memory failed; nothing loaded\n", name.c_str());
    Finish(1);
    return 1;
  }
  std::printf("%s: %zu records loaded into the terminal\n", name.c_str(), check.records);
  return Finish(0);
}

int Download(const std::string& name) {
  const std::string file = FileArgument();
  LogStart(name, false, file);
  const std::string data = Env("KOLEKTOR_STANDIN_DATA");
  std::string records;
  if (data == "none") return Finish(0);
  const std::string write_after = Env("KOLEKTOR_STANDIN_WRITE_AFTER_MS");
  if (!write_after.empty())
    Sleep(static_cast<DWORD>(std::strtoul(write_after.c_str(), nullptr, 10)));
  if (!data.empty()) {
    ReadAll(data, records);
  } else if (!ReadAll("kolektor-standin.dat", records)) {
    ReadAll(MemoryDir() + "collected.txt", records);
  }
  // A write that failed ends with a failure whatever a test asked for: a
  // download cut short must not look like a whole one.
  if (!WriteAll(file, records)) {
    std::printf("%s: writing %s failed\n", name.c_str(), file.c_str());
    Finish(1);
    return 1;
  }
  return Finish(0);
}

int Scan(const std::string& code, const std::string& typed) {
  std::string table;
  if (!ReadAll(MemoryDir() + "table.txt", table)) {
    std::printf("no goods table loaded: send the goods list from the host first\n");
    return kolektor::terminal::kExitNoGoodsTable;
  }
  std::string name;
  if (!kolektor::terminal::FindCode(table, code, name)) {
    std::printf("unknown code %s: not in the goods table\n", code.c_str());
    return kolektor::terminal::kExitUnknownCode;
  }
  const std::string recorded = kolektor::terminal::QuantityAsRecorded(typed);
  if (recorded.empty()) {
    std::printf(
        "quantity \"%s\" refused: up to 8 characters, digits and one decimal comma or point\n",
        typed.c_str());
    return kolektor::terminal::kExitBadQuantity;
  }
  const std::string path = MemoryDir() + "collected.txt";
  if (!WriteAll(path, code + "," + recorded + "\r\n", "ab")) return 1;
  std::string collected;
  ReadAll(path, collected);
  std::size_t count = 0;
  for (char c : collected) count += c == '\n';
  std::printf("%s  %s  x %s   (%zu collected)\n", code.c_str(), name.c_str(), recorded.c_str(),
              count);
  return 0;
}

int Show() {
  const std::string memory = MemoryDir();
  std::string upload, collected;
  ReadAll(memory + "upload.txt", upload);
  ReadAll(memory + "collected.txt", collected);
  std::printf("terminal memory: %s\nlast upload: %s", memory.c_str(),
              upload.empty() ? "none\r\n" : upload.c_str());
  std::printf("collected records:\n%s", collected.c_str());
  return 0;
}

int Clear() {
  WriteAll(MemoryDir() + "collected.txt", "");
  std::printf("collected records cleared\n");
  return 0;
}

// Started under a vendor utility's name (with or without its extension),
// it is that utility.
bool StartedAs(const std::string& name, std::string_view utility) {
  const std::string_view stem = utility.substr(0, utility.find('.'));
  return name.compare(0, stem.size(), stem) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string name = ProgramName();
  if (StartedAs(name, kolektor::kUploadUtility)) return Upload(name);
  if (StartedAs(name, kolektor::kDownloadUtility)) return Download(name);
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "scan" && argc == 4) return Scan(argv[2], argv[3]);
  if (command == "show") return Show();
  if (command == "clear") return Clear();
  std::fprintf(stderr, "usage: terminal scan CODE QUANTITY | show | clear\n");
  return kolektor::terminal::kExitUsage;
}
