// The administrator's path as a till meets it: the setup installs into a
// ZRB folder that holds the vendor's two utilities (stand-ins here), the
// form and zrbhost run from the program folder the setup made, find the
// plug-in through ZRB's registry value and run export and import; then the
// simulator component rehearses the whole round from the form without a
// terminal or the vendor's utilities, and ZRB's value stays as it was. In a
// prefix of its own, with a till's folders: C:\ZRB, C:\DANE.
//
// With KOLEKTOR_FORM_HOLD=FILE set, the form stays open at 800x600 after a
// failed export, from FILE.ready on until FILE exists: scripts/screenshot.sh
// takes the README's picture meanwhile.
#include <filesystem>

#include "tests/win32/form_driver.h"
#include "tests/win32/standin_env.h"

namespace kolektor::wintest {
namespace {

namespace id = kolektor::form;
const std::string kZrb = "C:\\ZRB";
const std::string kData = "C:\\DANE\\";
const std::string kProgram = "C:\\Program Files\\kolektor\\";
const char* kHostKey = "Software\\Orvisk\\ZRBWin\\Instalacja";

DWORD InstallSetup(const std::string& options) {
  return RunProgram("\"" + WinePath(KOLEKTOR_SETUP) + "\" /S" + options).exit_code;
}

// The uninstaller run in place (_?=), so that waiting for it waits for the
// work; it leaves itself behind then.
void Uninstall() {
  if (!Exists(kProgram + "uninstall.exe")) return;
  RunProgram("\"" + kProgram + "uninstall.exe\" /S _?=" + kProgram.substr(0, kProgram.size() - 1));
  for (int i = 0; i < 100 && Exists(kProgram + "uninstall.exe"); ++i) {
    DeleteFileA((kProgram + "uninstall.exe").c_str());
    Sleep(50);
  }
  RemoveDirectoryA(kProgram.c_str());
}

// ZRB's value exactly: its type and bytes.
std::string Binaria() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kHostKey, 0, KEY_READ | kHostView, &key) != ERROR_SUCCESS)
    return "(no key)";
  char value[512] = {};
  DWORD size = sizeof value, type = 0;
  RegQueryValueExA(key, "Binaria", nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
  RegCloseKey(key);
  return std::to_string(type) + ":" + std::string(value, size);
}

void Fresh(const std::string& folder) {
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
  CreateDirectoryA(folder.c_str(), nullptr);
}

TEST(WinFormInstalled, FromTheSetupToTheRehearsal) {
  Uninstall();
  Fresh(kZrb);
  Fresh(kData);
  CreateDirectoryA((kData + "INW").c_str(), nullptr);
  const std::string empty_zrb = "C:\\ZRB-PUSTY";
  Fresh(empty_zrb);
  for (const char* utility : {"DLOOKUP2.EXE", "IR_READ2.EXE"})
    ASSERT_TRUE(CopyFileA((BinDir() + utility).c_str(), (kZrb + "\\" + utility).c_str(), FALSE));
  const std::string dir = FreshDir("form_installed");
  StandinEnv env(dir);
  WriteFileBytes(dir + "download.src", "5901234123457,12\r\n");
  StandinEnv::Set("KOLEKTOR_STANDIN_DATA", dir + "download.src");
  WriteFileBytes(kData + "exp.txt", Cp1250("TOW;5901234123457;Mąka;189;249;12000;5\r\n"));
  WriteFileBytes(kData + "bad.txt", "TOW;77;x;1;1;x;1\r\n");
  SetBinaria(kZrb);

  ASSERT_EQ(InstallSetup(""), 0u);
  ASSERT_TRUE(Exists(kZrb + "\\kolektor.dll"));
  ASSERT_TRUE(Exists(kProgram + "kolektor-test.exe"));
  ASSERT_FALSE(Exists(kProgram + "kolektor.dll")) << "the plug-in lives in ZRB's folder only";

  // zrbhost from the program folder, without --dll.
  const ProgramRun described = RunProgram("\"" + kProgram + "zrbhost.exe\" describe");
  EXPECT_EQ(described.exit_code, 0u) << described.output;
  EXPECT_NE(described.output.find("Wtyczka z folderu ZRB (wartość Binaria): C:\\ZRB\\kolektor.dll"),
            std::string::npos)
      << described.output;
  EXPECT_NE(described.output.find("Wtyczka: C:\\ZRB\\kolektor.dll, wersja 1.0.0"),
            std::string::npos);

  // The installed form, started as from its shortcut's folder: it finds the
  // plug-in in ZRB's folder and starts the utilities there.
  const std::string ini = dir + "kolektor-test.ini";
  {
    FormProcess form(ini, {kProgram + "kolektor-test.exe", "", kProgram});
    EXPECT_HAS(form.Text(id::kPluginLine), W("Wtyczka: C:\\ZRB\\kolektor.dll"));
    form.Type(id::kGoodsPath, kData + "exp.txt");
    form.Type(id::kCountsPath, kData + "INW\\imp.txt");
    // Not the default port 1: wine maps this machine's own console as COM1,
    // and the check opens the port of the settings. COM3 is mapped to
    // nothing here, so the check finds no port and touches no device.
    form.Type(id::kParamValue + 0, "3");
    std::wstring log = form.Press(id::kCheck, W("Sprawdzenie zakończone"));
    EXPECT_HAS(log, W("OK: Wtyczka, którą załaduje ZRB: C:\\ZRB\\kolektor.dll, wersja 1.0.0."));
    EXPECT_HAS(log, W("OK: IR_READ2.EXE: ZRB i formularz uruchomią C:\\ZRB\\IR_READ2.EXE"));
    log = form.Press(id::kExport, W("wynik: "));
    EXPECT_HAS(log, W("wynik: 1 (zrobione)"));
    log = form.Press(id::kImport, W("wynik: "));
    EXPECT_HAS(log, W("Folder bieżący: C:\\ZRB (folder ZRB"));
    EXPECT_HAS(log, W("wynik: 1 (zrobione)"));
    EXPECT_EQ(ReadFileBytes(kData + "INW\\imp.txt"), "INW;5901234123457;12000\r\n");

    form.Type(id::kGoodsPath, kData + "bad.txt");
    EXPECT_HAS(form.Press(id::kExport, W("wynik: ")), W("wynik: 0 (nie wykonano)"));
    if (const char* hold = std::getenv("KOLEKTOR_FORM_HOLD")) {
      SetWindowPos(form.window(), nullptr, 0, 0, 800, 600, SWP_NOZORDER);
      Sleep(500);
      WriteFileBytes(std::string(hold) + ".ready", "");
      for (int i = 0; i < 600 && !Exists(hold); ++i) Sleep(100);
    }
    form.Type(id::kGoodsPath, kData + "exp.txt");
  }

  // No kolektor.dll beside the form nor in ZRB's folder: it says why once,
  // the check still runs, and no trace file appears anywhere.
  SetBinaria(empty_zrb);
  {
    FormProcess form(ini, {kProgram + "kolektor-test.exe", "", kProgram});
    EXPECT_HAS(form.Text(id::kPluginLine),
               W("Wtyczka nie jest załadowana: nie ma kolektor.dll ani w folderze programu (" +
                 kProgram + "), ani w folderze ZRB (" + empty_zrb + ")"));
    EXPECT_TRUE(ShowsWhole(form.Item(id::kPluginLine))) << "the reason, not cut";
    const std::wstring log = form.Press(id::kCheck, W("Sprawdzenie zakończone"));
    EXPECT_HAS(log, W("BŁĄD: W folderze ZRB " + empty_zrb + " nie ma kolektor.dll"));
    form.Tick(id::kTrace, true);
    ASSERT_TRUE(form.Close());
  }
  for (const std::string& folder : {kProgram, empty_zrb + "\\", kZrb + "\\", dir})
    EXPECT_FALSE(Exists(folder + "kolektor.log")) << folder;
  SetBinaria(kZrb);

  // The rehearsal computer: the simulator component, no vendor utilities in
  // ZRB's folder; the whole round from the form.
  ASSERT_EQ(InstallSetup(" /SIMULATOR"), 0u);
  ASSERT_TRUE(Exists(kProgram + "simulator\\terminal.exe"));
  for (const char* utility : {"DLOOKUP2.EXE", "IR_READ2.EXE"})
    DeleteFileA((kZrb + "\\" + utility).c_str());
  SetEnvironmentVariableA("KOLEKTOR_STANDIN_DATA", nullptr);
  DeleteFileA((kData + "INW\\imp.txt").c_str());
  const std::string host_value = Binaria();
  {
    FormProcess form(ini, {kProgram + "kolektor-test.exe", "", kProgram});
    ASSERT_TRUE(form.Enabled(id::kRehearsal));
    EXPECT_FALSE(form.Enabled(id::kScan)) << "until the rehearsal is chosen";
    form.Tick(id::kRehearsal, true);
    const std::string simulator = kProgram + "simulator";
    std::wstring log = form.Press(id::kCheck, W("Sprawdzenie zakończone"));
    EXPECT_HAS(log, W("OK: Próba z symulatorem: wtyczka dostaje folder " + simulator));
    EXPECT_HAS(log,
               W("OK: IR_READ2.EXE: formularz uruchomi symulator " + simulator + "\\IR_READ2.EXE"));
    EXPECT_HAS(log, W("OK: Port nie jest potrzebny przy próbie z symulatorem"));
    EXPECT_HAS(form.Press(id::kExport, W("wynik: ")), W("wynik: 1 (zrobione)"));

    const struct Scan {
      const char *code, *quantity, *said;
    } scans[] = {
        {"5901234123457", "12", "Symulator: zeskanowano kod 5901234123457, ilość 12."},
        {"999", "1", "Symulator: kodu 999 nie ma na liście towarów terminala."},
        // A decimal comma, as Polish users type it.
        {"5901234123457", "1,5", "Symulator: zeskanowano kod 5901234123457, ilość 1,5."},
        {"5901234123457", "1x", "Symulator: ilość \"1x\" odrzucona"},
        {"5901234123457", "0.5", "Symulator: zeskanowano kod 5901234123457, ilość 0.5."},
    };
    for (const Scan& scan : scans) {
      form.Type(id::kScanCode, scan.code);
      form.Type(id::kScanQuantity, scan.quantity);
      EXPECT_HAS(form.Press(id::kScan, W("Symulator: ")), W(scan.said));
    }
    log = form.Press(id::kImport, W("wynik: "));
    EXPECT_HAS(log, W("wynik: 1 (zrobione)"));
    EXPECT_EQ(ReadFileBytes(kData + "INW\\imp.txt"),
              "INW;5901234123457;12000\r\nINW;5901234123457;01500\r\n"
              "INW;5901234123457;00500\r\n");
    EXPECT_HAS(form.Press(id::kSimulatorClear, W("Symulator: ")),
               W("Symulator: zeskanowane ilości usunięte"));
  }
  EXPECT_EQ(Binaria(), host_value) << "ZRB's own value, untouched";
  HKEY left = nullptr;
  EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\kolektor\\proba", 0, KEY_READ, &left),
            ERROR_SUCCESS)
      << "the rehearsal's key is gone";
  Uninstall();
}

}  // namespace
}  // namespace kolektor::wintest
