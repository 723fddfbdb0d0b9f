// The support trace of the real DLL: switched on by kolektor.log beside a
// copy of the DLL (so that no other test is traced), in a prefix of its
// own whose registry the export test changes.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "host/plugin_host.h"
#include "tests/win32/plugin_loader.h"
#include "tests/win32/standin_env.h"

namespace kolektor::wintest {
namespace {

const char* kKey = "Software\\Orvisk\\ZRBWin\\Instalacja";

// kolektor.dll copied into a folder of its own, loaded from there.
struct TracedPlugin {
  std::string dir;
  host::Plugin plugin;
  explicit TracedPlugin(const std::string& name) : dir(FreshDir(name)) {
    CopyFileA((BinDir() + "kolektor.dll").c_str(), (dir + "kolektor.dll").c_str(), FALSE);
    std::string error;
    EXPECT_TRUE(host::LoadPlugin(dir + "kolektor.dll", plugin, error)) << error;
  }
  std::string Log() const { return ReadFileBytes(dir + "kolektor.log"); }
};

// What every line of one operation begins with: its entry point, handle and
// this process's id (the plug-in runs in it).
std::string Prefix(const std::string& operation) {
  return "[" + operation + " pid " + std::to_string(GetCurrentProcessId()) + "] ";
}

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(WinTrace, FailedExportLeavesTheRegistryCause) {
  DeleteHklmKey(kKey);
  TracedPlugin t("trace_export");
  WriteFileBytes(t.dir + "exp.txt", "TOW;1;x;1;1;1;1\r\n");
  const std::string goods = t.dir + "exp.txt";
  host::Session session(t.plugin.api, 31);
  const std::string open_error = Cp1250("Błąd otwarcia rejestru.");

  // Without kolektor.log nothing is written.
  EXPECT_EQ(session.Export(1, goods), 0);
  EXPECT_FALSE(Exists(t.dir + "kolektor.log"));

  WriteFileBytes(t.dir + "kolektor.log", "");
  EXPECT_EQ(session.Export(2, goods), 0);
  HKEY key;
  RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_WRITE | kHostView, nullptr, &key,
                  nullptr);
  RegCloseKey(key);
  EXPECT_EQ(session.Export(3, goods), 0);
  DeleteHklmKey(kKey);
  const std::string log = t.Log();
  EXPECT_TRUE(
      Has(log, Prefix("ZRBDLLInwEksportujTowary #2") +
                   "opening the registry key "
                   "HKLM\\Software\\Orvisk\\ZRBWin\\Instalacja (for its value Binaria) failed, "
                   "system error 2\r\n"))
      << log;
  EXPECT_TRUE(
      Has(log, Prefix("ZRBDLLInwEksportujTowary #3") +
                   "reading "
                   "HKLM\\Software\\Orvisk\\ZRBWin\\Instalacja value Binaria failed, system "
                   "error 2\r\n"))
      << log;
  EXPECT_TRUE(Has(log, "error to the host: Błąd odczytu rejestru.")) << "UTF-8";
  EXPECT_TRUE(Has(log, Prefix("ZRBDLLInwEksportujTowary #3") + "result 0 after ")) << log;

  // A read-only trace, or one another program holds, changes nothing (wine
  // run as root may still write the read-only one).
  const std::string path = t.dir + "kolektor.log";
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(session.Export(4, goods), 0);
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  const std::string before_held = t.Log();
  const HANDLE held =
      CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_EQ(session.Export(5, goods), 0);
  CloseHandle(held);
  EXPECT_EQ(session.Errors(),
            (std::vector<std::string>{open_error, open_error, Cp1250("Błąd odczytu rejestru."),
                                      open_error, open_error}));
  EXPECT_EQ(t.Log(), before_held);
}

TEST(WinTrace, SuccessfulImportLeavesCommandLineExitCodeAndCounts) {
  TracedPlugin t("trace_import");
  // A full trace (1 MiB) moves to kolektor.log.1 and a new one begins.
  const std::string full(1 << 20, '.');
  WriteFileBytes(t.dir + "kolektor.log", full);
  const std::string work = FreshDir("trace_import_work");
  CreateDirectoryA((work + "INW").c_str(), nullptr);
  StandinEnv env(work);
  WriteFileBytes(work + "download.src", "1,2\r\n2,3\r\n3,4\r\n");
  StandinEnv::Set("KOLEKTOR_STANDIN_DATA", work + "download.src");
  StandinEnv::Set("KOLEKTOR_STANDIN_EXIT", "5");
  const std::string invent_dir = NoSlash(FullPath(work));
  host::Session session(t.plugin.api, 32);
  session.settings = {{"port", "3"}, {"baud", "19200"}, {"timeout", "1 min"}};
  host::MessageBoxWatch boxes(&session, true);
  EXPECT_EQ(session.Import(7, invent_dir + "\\INW\\imp.txt"), 1);
  const std::string log = t.Log();
  for (const std::string& line : std::vector<std::string>{
           Prefix("ZRBDLLInwImport #7") + "start",
           Prefix("ZRBDLLInwImport #7") + "parameter port: 3",
           Prefix("ZRBDLLInwImport #7") + "invent_dir: " + invent_dir,
           Prefix("ZRBDLLInwImport #7") + "starting: IR_READ2.EXE a.dat,3,4,1,1,1,1,0",
           Prefix("ZRBDLLInwImport #7") + "in the folder: " + invent_dir,
           Prefix("ZRBDLLInwImport #7") + "process id: ",
           Prefix("ZRBDLLInwImport #7") + "the download utility ends with the host (a job)",
           Prefix("ZRBDLLInwImport #7") +
               "the download utility holds the folder's lock while it runs",
           Prefix("ZRBDLLInwImport #7") + "exit code: 5",
           Prefix("ZRBDLLInwImport #7") + "counts records written: 3",
           Prefix("ZRBDLLInwImport #7") + "lines appended to the journal: 3",
           Prefix("ZRBDLLInwImport #7") + "result 1 after ",
       })
    EXPECT_TRUE(Has(log, line)) << line << "\n" << log;
  EXPECT_EQ(log.substr(4, 1) + log.substr(7, 1) + log.substr(19, 1), "--.") << log;
  EXPECT_EQ(ReadFileBytes(t.dir + "kolektor.log.1"), full);
}

// Which file a path names now (volume and index).
std::string FileIdOf(const std::string& path) {
  const HANDLE file =
      CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, 0, nullptr);
  BY_HANDLE_FILE_INFORMATION info{};
  const bool known = file != INVALID_HANDLE_VALUE && GetFileInformationByHandle(file, &info);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  return known ? std::to_string(info.dwVolumeSerialNumber) + ":" +
                     std::to_string(info.nFileIndexHigh) + ":" + std::to_string(info.nFileIndexLow)
               : std::string("none");
}

// A full trace moves its lines to kolektor.log.1 and is emptied in place:
// kolektor.log is never missing, so an operation that starts meanwhile in
// another process is traced too, and a host killed in the middle of the
// move cannot switch the trace off. Another process's clear steps run all
// the while; a watcher finds kolektor.log at every look.
TEST(WinTrace, FullTraceIsEmptiedInPlaceNeverMissing) {
  TracedPlugin t("trace_rotation");
  const std::string path = t.dir + "kolektor.log";
  WriteFileBytes(path, "");
  std::atomic<bool> done{false};
  std::atomic<int> looks{0}, missing{0};
  std::thread watcher([&] {
    while (!done) {
      ++looks;
      if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) ++missing;
    }
  });
  host::Session session(t.plugin.api, 33);
  for (int round = 0; round < 3; ++round) {
    SCOPED_TRACE(round);
    const std::string full = std::string(1 << 20, '0' + round) + "\r\n";
    WriteFileBytes(path, full);
    const std::string before = FileIdOf(path);
    EXPECT_EQ(session.Clear(40 + round), 1);
    EXPECT_EQ(FileIdOf(path), before) << "the same file, emptied";
    EXPECT_EQ(ReadFileBytes(t.dir + "kolektor.log.1"), full);
    const std::string log = t.Log();
    EXPECT_EQ(log.find(Prefix("ZRBDLLInwZeruj #" + std::to_string(40 + round)) + "start"), 24u)
        << log.substr(0, 200);
  }
  done = true;
  watcher.join();
  EXPECT_EQ(missing, 0) << "of " << looks << " looks";
  std::printf("kolektor.log looked for %d times during 3 rotations: missing %d times\n",
              looks.load(), missing.load());
}

}  // namespace
}  // namespace kolektor::wintest
