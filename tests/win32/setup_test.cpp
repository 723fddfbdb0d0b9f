// The setup program under wine, silent as in a deployment: it finds ZRB's
// folder from the registry (or /ZRB=), installs the plug-in there keeping
// the one it replaces, the form and documents into their own folder, the
// uninstall entry; the uninstaller puts everything back. In a prefix of
// its own, since it changes the registry and Program Files.
#include <gtest/gtest.h>

#include "tests/win32/plugin_loader.h"
#include "tests/win32/standin_env.h"

namespace kolektor::wintest {
namespace {

const char* kHostKey = "Software\\Orvisk\\ZRBWin\\Instalacja";
const char* kUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\kolektor";
const std::string kProgram = "C:\\Program Files\\kolektor\\";

DWORD RunProgram(std::string line) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &info))
    return 9999;
  WaitForSingleObject(info.hProcess, 120000);
  DWORD code = 9998;
  GetExitCodeProcess(info.hProcess, &code);
  CloseHandle(info.hProcess);
  CloseHandle(info.hThread);
  return code;
}

std::string SetupLine(const std::string& options) {
  return "\"" + WinePath(KOLEKTOR_SETUP) + "\" /S" + options;
}

// The uninstaller run in place (_?=), so that waiting for it waits for the
// work; it leaves itself behind then, to be deleted once its process has
// let go of the file.
DWORD Uninstall() {
  const DWORD code = RunProgram("\"" + kProgram +
                                "uninstall.exe\" /S _?=" + kProgram.substr(0, kProgram.size() - 1));
  for (int i = 0; i < 100 && Exists(kProgram + "uninstall.exe"); ++i) {
    DeleteFileA((kProgram + "uninstall.exe").c_str());
    Sleep(50);
  }
  RemoveDirectoryA(kProgram.c_str());
  return code;
}

std::string UninstallValue(const char* name) {
  char value[512] = {};
  DWORD size = sizeof value;
  if (RegGetValueA(HKEY_LOCAL_MACHINE, kUninstallKey, name, RRF_RT_REG_SZ, nullptr, value, &size) !=
      ERROR_SUCCESS)
    return "(none)";
  return value;
}

TEST(WinSetup, SilentInstallKeepsTheOldPluginAndUninstallPutsItBack) {
  if (Exists(kProgram + "uninstall.exe")) Uninstall();
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, kHostKey);
  const std::string built = ReadFileBytes(WinePath(KOLEKTOR_PACKAGE_DIR) + "\\kolektor.dll");
  ASSERT_GT(built.size(), 10000u);

  // No ZRB folder known: nothing installed, a non-zero exit code.
  EXPECT_EQ(RunProgram(SetupLine("")), 2u);
  EXPECT_FALSE(Exists(kProgram));
  EXPECT_EQ(UninstallValue("DisplayName"), "(none)");

  const std::string zrb = NoSlash(FullPath(FreshDir("setup_zrb")));
  const std::string older = "an older kolektor.dll";
  WriteFileBytes(zrb + "\\kolektor.dll", older);
  SetBinaria(zrb);
  EXPECT_EQ(RunProgram(SetupLine("")), 0u);
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
  // one to put back.
  EXPECT_EQ(RunProgram(SetupLine("")), 0u);
  EXPECT_EQ(Uninstall(), 0u);
  EXPECT_EQ(ReadFileBytes(zrb + "\\kolektor.dll"), older);
  EXPECT_FALSE(Exists(zrb + "\\kolektor.dll.bez-wersji.bak"));
  EXPECT_FALSE(Exists(kProgram));
  EXPECT_EQ(UninstallValue("DisplayName"), "(none)");

  // The folder given on the command line, with no registry value.
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, kHostKey);
  const std::string other = NoSlash(FullPath(FreshDir("setup_zrb_other")));
  EXPECT_EQ(RunProgram(SetupLine(" /ZRB=" + other)), 0u);
  EXPECT_EQ(ReadFileBytes(other + "\\kolektor.dll"), built);
  EXPECT_EQ(Uninstall(), 0u);
  EXPECT_FALSE(Exists(other + "\\kolektor.dll"));
}

}  // namespace
}  // namespace kolektor::wintest
