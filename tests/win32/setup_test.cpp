// The setup program under wine, silent as in a deployment: it finds ZRB's
// folder from the registry (or /ZRB=), installs the plug-in there keeping
// the one it replaces, the form and documents into their own folder, the
// uninstall entry; the uninstaller puts everything back. While another
// program holds a file it would replace, both change nothing and say so
// with their exit code. In a prefix of its own, since it changes the
// registry and Program Files; the cases take turns (one lock).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>

#include "tests/win32/plugin_loader.h"
#include "tests/win32/program_run.h"
#include "tests/win32/standin_env.h"

namespace kolektor::wintest {
namespace {

const char* kHostKey = "Software\\Orvisk\\ZRBWin\\Instalacja";
const char* kUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\kolektor";
const std::string kProgram = "C:\\Program Files\\kolektor\\";

// Its exit code; 9999 when it could not be started.
DWORD RunProgram(const std::string& line) {
  PROCESS_INFORMATION info = StartProgram(line);
  return Finish(info, 120000);
}

std::string SetupLine(const std::string& options) {
  return "\"" + WinePath(KOLEKTOR_SETUP) + "\" /S" + options;
}

// The setup's exit codes, as INSTALL.txt lists them.
constexpr DWORD kDone = 0;
constexpr DWORD kNoZrbFolder = 2;
constexpr DWORD kInUse = 3;
constexpr DWORD kNoBinaria = 4;

// The uninstaller run in place (_?=), so that waiting for it waits for the
// work; after a finished uninstall it leaves itself behind, to be deleted
// once its process has let go of the file.
DWORD Uninstall() {
  const DWORD code = RunProgram("\"" + kProgram +
                                "uninstall.exe\" /S _?=" + kProgram.substr(0, kProgram.size() - 1));
  if (code != kDone) return code;
  for (int i = 0; i < 100 && Exists(kProgram); ++i) {
    DeleteFileA((kProgram + "uninstall.exe").c_str());
    RemoveDirectoryA(kProgram.c_str());
    if (Exists(kProgram)) Sleep(50);
  }
  return code;
}

// The setup keeps its uninstall entry in the host's view as well.
std::string UninstallValue(const char* name) { return HklmValue(kUninstallKey, name); }

// A file's bytes as a failure message can show them: small files as they
// are, programs by their size and an FNV-1a hash.
std::string Content(const std::string& path) {
  const std::string bytes = ReadFileBytes(path);
  if (bytes.size() <= 100) return bytes;
  uint32_t hash = 2166136261u;
  for (unsigned char c : bytes) hash = (hash ^ c) * 16777619u;
  char text[64];
  std::snprintf(text, sizeof text, "%zu bytes, hash %08x", bytes.size(), hash);
  return text;
}

// Every file of a folder, subfolders too, with its content.
std::map<std::string, std::string> Files(const std::string& dir) {
  std::map<std::string, std::string> files;
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return files;
  do {
    const std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      for (const auto& [inner, bytes] : Files(dir + "\\" + name))
        files[name + "\\" + inner] = bytes;
    } else {
      files[name] = Content(dir + "\\" + name);
    }
  } while (FindNextFileA(find, &found));
  FindClose(find);
  return files;
}

// What a setup or an uninstall may change: the ZRB folder, the program
// folder, the uninstall entry.
std::map<std::string, std::string> Snapshot(const std::string& zrb) {
  std::map<std::string, std::string> state;
  for (const auto& [name, bytes] : Files(zrb)) state["zrb\\" + name] = bytes;
  for (const auto& [name, bytes] : Files(NoSlash(kProgram))) state["program\\" + name] = bytes;
  for (const char* value : {"DisplayName", "DisplayVersion", "UninstallString", "InstallLocation",
                            "ZrbFolder", "Backup", "InstallerLanguage"})
    state[std::string("entry\\") + value] = UninstallValue(value);
  return state;
}

void StartClean() {
  if (Exists(kProgram + "uninstall.exe")) Uninstall();
  DeleteHklmKey(kHostKey);
  DeleteHklmKey(kUninstallKey);
}

std::string BuiltDll() { return WinePath(KOLEKTOR_PACKAGE_DIR) + "\\kolektor.dll"; }

TEST(WinSetup, SilentInstallKeepsTheOldPluginAndUninstallPutsItBack) {
  StartClean();
  const std::string built = ReadFileBytes(BuiltDll());
  ASSERT_GT(built.size(), 10000u);

  // No ZRB folder known: nothing installed, a non-zero exit code.
  EXPECT_EQ(RunProgram(SetupLine("")), kNoZrbFolder);
  EXPECT_FALSE(Exists(kProgram));
  EXPECT_EQ(UninstallValue("DisplayName"), "(none)");

  const std::string zrb = NoSlash(FullPath(FreshDir("setup_zrb")));
  const std::string older = "an older kolektor.dll";
  WriteFileBytes(zrb + "\\kolektor.dll", older);
  SetBinaria(zrb);
  EXPECT_EQ(RunProgram(SetupLine("")), kDone);
  EXPECT_EQ(ReadFileBytes(zrb + "\\kolektor.dll"), built) << "the built DLL, byte for byte";
  EXPECT_EQ(ReadFileBytes(zrb + "\\kolektor.dll.bez-wersji.bak"), older);
  for (const char* file : {"kolektor-test.exe", "zrbhost.exe", "INSTALL.txt", "KOMUNIKATY.txt",
                           "examples\\towary.txt", "examples\\scans.txt", "uninstall.exe"})
    EXPECT_TRUE(Exists(kProgram + file)) << file;
  EXPECT_FALSE(Exists(kProgram + "simulator")) << "the simulator is not chosen by default";
  EXPECT_FALSE(Exists(zrb + "\\DLOOKUP2.EXE"));
  EXPECT_NE(UninstallValue("DisplayName").find("CipherLab 8x00"), std::string::npos);
  EXPECT_EQ(UninstallValue("DisplayVersion"), "1.0.0");
  EXPECT_EQ(UninstallValue("Publisher"), "kolektor");
  EXPECT_EQ(UninstallValue("UninstallString"), "\"" + kProgram + "uninstall.exe\"");

  // Installed again (an upgrade): what was there before kolektor stays the
  // one to put back, and the simulator of a rehearsal computer is replaced,
  // not left behind in its old version. The trace switched on meanwhile is
  // switched off by the uninstall, its text kept.
  EXPECT_EQ(RunProgram(SetupLine(" /SIMULATOR")), kDone);
  WriteFileBytes(kProgram + "simulator\\terminal.exe", "an older simulator");
  EXPECT_EQ(RunProgram(SetupLine("")), kDone);
  EXPECT_EQ(ReadFileBytes(kProgram + "simulator\\terminal.exe"),
            ReadFileBytes(WinePath(KOLEKTOR_PACKAGE_DIR) + "\\simulator\\terminal.exe"));
  WriteFileBytes(zrb + "\\kolektor.log", "trace lines");
  EXPECT_EQ(Uninstall(), kDone);
  EXPECT_EQ(Files(zrb), (std::map<std::string, std::string>{{"kolektor.dll", older},
                                                            {"kolektor.log.bak", "trace lines"}}));
  EXPECT_EQ(Files(NoSlash(kProgram)).size(), 0u);
  EXPECT_EQ(UninstallValue("DisplayName"), "(none)");

  // The folder given on the command line, with no registry value: installed,
  // with the exit code that says ZRB itself is missing. The language the
  // setup took from Windows is kept for the uninstaller.
  DeleteHklmKey(kHostKey);
  const std::string other = NoSlash(FullPath(FreshDir("setup_zrb_other")));
  EXPECT_EQ(RunProgram(SetupLine(" /ZRB=" + other + "\\")), kNoBinaria);
  EXPECT_EQ(UninstallValue("InstallerLanguage"), std::to_string(GetUserDefaultUILanguage()));
  EXPECT_EQ(ReadFileBytes(other + "\\kolektor.dll"), built);
  EXPECT_EQ(UninstallValue("ZrbFolder"), other) << "kept without the trailing backslash";
  EXPECT_EQ(Uninstall(), kDone);
  EXPECT_EQ(Files(other).size(), 0u);
}

// A running ZRB keeps the plug-in loaded, a running form or zrbhost keeps
// its program open: the setup and the uninstaller change nothing, exit 3,
// and do their work once the file is let go.
TEST(WinSetup, HeldFilesStopSetupAndUninstallWithNothingChanged) {
  struct Case {
    const char* what;
    std::string file;  // in the ZRB folder or the program folder
    bool load;         // loaded as a module, else opened as a running program is
  };
  const std::string zrb = NoSlash(FullPath(FreshDir("setup_zrb_held")));
  const Case cases[] = {{"the plug-in loaded", zrb + "\\kolektor.dll", true},
                        {"zrbhost running", kProgram + "zrbhost.exe", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    StartClean();
    FreshDir("setup_zrb_held");
    const std::string older = "somebody else's kolektor.dll";
    WriteFileBytes(zrb + "\\kolektor.dll", older);
    SetBinaria(zrb);
    ASSERT_EQ(RunProgram(SetupLine("")), kDone);

    HMODULE module = nullptr;
    HANDLE file = INVALID_HANDLE_VALUE;
    if (c.load)
      module = LoadLibraryA(c.file.c_str());
    else
      file = CreateFileA(c.file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                         nullptr);
    ASSERT_TRUE(module != nullptr || file != INVALID_HANDLE_VALUE);
    const auto before = Snapshot(zrb);
    EXPECT_EQ(RunProgram(SetupLine("")), kInUse);
    EXPECT_EQ(Snapshot(zrb), before) << "the setup changed something";
    EXPECT_EQ(Uninstall(), kInUse);
    EXPECT_EQ(Snapshot(zrb), before) << "the uninstall changed something";
    if (module != nullptr) FreeLibrary(module);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);

    EXPECT_EQ(RunProgram(SetupLine("")), kDone);
    EXPECT_EQ(Content(zrb + "\\kolektor.dll"), Content(BuiltDll()));
    EXPECT_EQ(Uninstall(), kDone);
    EXPECT_EQ(Files(zrb), (std::map<std::string, std::string>{{"kolektor.dll", older}}));
    EXPECT_EQ(UninstallValue("DisplayName"), "(none)");
  }
}

// Installed into one ZRB folder, then into another: the plug-in moves, the
// first folder gets back what it had; the uninstall restores the second.
TEST(WinSetup, ASecondZrbFolderTakesThePluginAndBothEndAsBefore) {
  StartClean();
  const std::string first = NoSlash(FullPath(FreshDir("setup_zrb_first")));
  const std::string second = NoSlash(FullPath(FreshDir("setup zrb second")));
  WriteFileBytes(first + "\\kolektor.dll", "the first folder's plug-in");
  WriteFileBytes(second + "\\kolektor.dll", "the second folder's plug-in");
  WriteFileBytes(second + "\\ZRB.EXE", "the host");
  const auto first_before = Files(first);
  const auto second_before = Files(second);
  SetBinaria(first);

  EXPECT_EQ(RunProgram(SetupLine("")), kDone);
  WriteFileBytes(first + "\\kolektor.log", "the first folder's trace");
  // A folder with blanks, the option quoted as a whole as scripts often
  // write it: taken, not passed over for the registry's folder.
  EXPECT_EQ(RunProgram(SetupLine(" \"/ZRB=" + second + "\"")), kDone);
  auto first_now = first_before;
  first_now["kolektor.log.bak"] = "the first folder's trace";
  EXPECT_EQ(Files(first), first_now) << "the first folder as it was, its trace switched off";
  EXPECT_EQ(Content(second + "\\kolektor.dll"), Content(BuiltDll()));
  EXPECT_EQ(UninstallValue("ZrbFolder"), second);

  EXPECT_EQ(Uninstall(), kDone);
  EXPECT_EQ(Files(first), first_now);
  EXPECT_EQ(Files(second), second_before);
  EXPECT_FALSE(Exists(kProgram));
}

}  // namespace
}  // namespace kolektor::wintest
