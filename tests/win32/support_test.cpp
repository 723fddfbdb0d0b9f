// Where the host's registry value really is, as the installation check and
// zrbhost name it, and the support file zrbhost writes for a till's
// folders (C:\ZRB, C:\DANE). In a prefix of their own, whose registry they
// change; on 64-bit Windows (the win64 build) the two registry views differ.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "host/install_check.h"
#include "host/registry_view.h"
#include "tests/win32/plugin_loader.h"
#include "tests/win32/program_run.h"
#include "tests/win32/standin_env.h"

namespace kolektor::wintest {
namespace {

const char* kHostKey = "Software\\Orvisk\\ZRBWin\\Instalacja";

bool TwoViews() {
  BOOL wow64 = FALSE;
  IsWow64Process(GetCurrentProcess(), &wow64);
  return sizeof(void*) == 8 || wow64;
}

// The key as regedit shows the view ZRB reads, and the other one.
std::string ReadKey() {
  return TwoViews() ? "HKLM\\Software\\WOW6432Node\\Orvisk\\ZRBWin\\Instalacja"
                    : "HKLM\\Software\\Orvisk\\ZRBWin\\Instalacja";
}
const std::string kOtherKey = "HKLM\\Software\\Orvisk\\ZRBWin\\Instalacja";

void NoHostKey() {
  DeleteHklmKey(kHostKey, KEY_WOW64_32KEY);
  DeleteHklmKey(kHostKey, KEY_WOW64_64KEY);
}

// The installation check's registry lines, one a finding: "OK: ...",
// "UWAGA: ...", "BŁĄD: ...", each with its fix.
std::string RegistryFindings() {
  std::string found;
  for (const host::InstallCheckItem& item : host::CheckInstallation({})) {
    if (item.what.rfind("Rejestr", 0) != 0) continue;
    found += (item.level == host::InstallCheckItem::kOk        ? "OK: "
              : item.level == host::InstallCheckItem::kWarning ? "UWAGA: "
                                                               : "BŁĄD: ") +
             item.what + " / " + item.fix + "\n";
  }
  return found;
}

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(WinRegistry, TextsNameTheViewZrbReadsAndTheWrongPlace) {
  const std::string folder = FullPath(FreshDir("registry_zrb"));
  const std::string other = FullPath(FreshDir("registry_other"));
  EXPECT_EQ(host::HostKeyShown(), ReadKey());
  struct Case {
    const char* name;
    std::string in_read_view, in_other_view;  // "": none
    std::string found;
    bool only_on_64_bit;
  } cases[] = {
      {"no key", "", "",
       "BŁĄD: Rejestr: brak klucza " + ReadKey() +
           ", w którym ZRB i wtyczka szukają wartości Binaria. / Zainstaluj ZRB",
       false},
      {"where ZRB reads it", folder, "", "OK: Rejestr: " + ReadKey() + ", Binaria = " + folder,
       false},
      {"only where regedit shows the plain path", "", other,
       "BŁĄD: Rejestr: wartość Binaria (" + other +
           ") wpisano w niewłaściwym miejscu: jest w "
           "kluczu " +
           kOtherKey + ", a ZRB i wtyczka czytają klucz " + ReadKey() +
           ". / Zapisz ją "
           "w kluczu " +
           ReadKey(),
       true},
      {"another value in the other view too", folder, other,
       "UWAGA: Rejestr: w kluczu " + kOtherKey + " jest też inna wartość Binaria (" + other +
           "), wpisana w niewłaściwym miejscu",
       true},
  };
  for (const Case& c : cases) {
    if (c.only_on_64_bit && !TwoViews()) continue;
    SCOPED_TRACE(c.name);
    NoHostKey();
    if (!c.in_read_view.empty()) SetBinaria(c.in_read_view);
    if (!c.in_other_view.empty()) SetBinaria(c.in_other_view, REG_SZ, true, KEY_WOW64_64KEY);
    const std::string found = RegistryFindings();
    EXPECT_TRUE(Has(found, c.found)) << found;
    EXPECT_EQ(Has(found, "niewłaściwym miejscu"), !c.in_other_view.empty()) << found;
    // Each way to set it is named wherever the value is missing.
    if (c.in_read_view.empty())
      for (const char* way : {"instalator ZRB", "zrbhost setup --install-dir FOLDER"})
        EXPECT_TRUE(Has(found, way)) << way << "\n" << found;
    const ProgramRun setup = RunProgram("\"" + BinDir() + "zrbhost.exe\" setup");
    EXPECT_TRUE(Has(setup.output, "Klucz ZRB w rejestrze: " + ReadKey())) << setup.output;
  }
  NoHostKey();
}

// Every file under a folder: its bytes and when it was written.
std::map<std::string, std::string> Snapshot(const std::string& folder) {
  namespace fs = std::filesystem;
  std::map<std::string, std::string> files;
  for (const fs::directory_entry& e : fs::recursive_directory_iterator(folder)) {
    WIN32_FILE_ATTRIBUTE_DATA a{};
    GetFileAttributesExA(e.path().string().c_str(), GetFileExInfoStandard, &a);
    files[e.path().string()] =
        (e.is_directory() ? std::string("(folder)") : ReadFileBytes(e.path().string())) + "|" +
        std::to_string(a.ftLastWriteTime.dwLowDateTime) + "|" +
        std::to_string(a.ftLastWriteTime.dwHighDateTime);
  }
  return files;
}

void Fresh(const std::string& folder) {
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
  CreateDirectoryA(folder.c_str(), nullptr);
}

std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder))
    names.push_back(e.path().filename().string());
  return names;
}

// The one file a run added to the folder; "" when it added none or more.
std::string Added(const std::string& folder, const std::vector<std::string>& before) {
  std::vector<std::string> added;
  for (const std::string& name : Names(folder))
    if (std::find(before.begin(), before.end(), name) == before.end()) added.push_back(name);
  return added.size() == 1 ? added[0] : std::string();
}

// zrbhost support, run from the program folder as installed, on a till
// whose journal has a block of counts and an empty one, a kept a.dat and a
// trace of 600 lines: the file has every section, no goods data unless
// asked, no path of the build machine, and the till's folders are exactly
// as they were.
TEST(WinSupport, FileHasEverySectionAndChangesNothing) {
  const std::string zrb = "C:\\ZRB\\", data = "C:\\DANE\\", program = "C:\\KOLEKTOR\\",
                    out = "C:\\SERWIS\\";
  for (const std::string& f : {zrb, data, program, out}) Fresh(f);
  CreateDirectoryA((data + "INW").c_str(), nullptr);
  for (const char* p : {"zrbhost.exe", "kolektor-test.exe"})
    ASSERT_TRUE(CopyFileA((BinDir() + p).c_str(), (program + p).c_str(), FALSE)) << p;
  ASSERT_TRUE(
      CopyFileA((BinDir() + "kolektor.dll").c_str(), (zrb + "kolektor.dll").c_str(), FALSE));
  ASSERT_TRUE(
      CopyFileA((InstallDir() + "DLOOKUP2.EXE").c_str(), (zrb + "DLOOKUP2.EXE").c_str(), FALSE));
  std::string trace;
  for (int i = 1; i <= 600; ++i)
    trace += "2026-12-07 09:05:03.000 pid 7 wiersz " + std::to_string(i) + "\n";
  WriteFileBytes(zrb + "kolektor.log", trace);
  const std::string header = "\r\n------------ [IMPORT WYKONANY DNIA: 2026-12-07 09:0";
  WriteFileBytes(data + "Inwent.bak", header + "5:03] ------------\r\n" + header +
                                          "6:00] ------------\r\nINW;5901234123457;57500\r\n");
  WriteFileBytes(data + "INW\\imp.txt", "INW;5901234123457;57500\r\n");
  WriteFileBytes(data + "exp.txt", "TOW;5901234123457;Chleb;100;150;2000;5\r\n");
  WriteFileBytes(data + "a.dat.20261207-231000", "1,2\r\n");
  WriteFileBytes(data + "a.imp.20261207-232000", "5901234123457,57.5\r\n");
  SetBinaria("C:\\ZRB");
  const auto before = std::make_pair(Snapshot(zrb), Snapshot(data));

  const std::string command = "\"" + program + "zrbhost.exe\" support " + out + " --counts " +
                              data + "INW\\imp.txt --goods " + data + "exp.txt --set port=3";
  const ProgramRun r = RunProgram(command);
  EXPECT_EQ(r.exit_code, 0u) << r.output;
  const std::string name = Added(out, {});
  ASSERT_FALSE(name.empty());
  EXPECT_EQ(name.size(), std::string("kolektor-serwis-20261207-090503.txt").size()) << name;
  EXPECT_EQ(name.rfind("kolektor-serwis-20", 0), 0u) << name;
  EXPECT_TRUE(Has(r.output, "Zapisano plik dla serwisu: " + out + name)) << r.output;
  const std::string file = ReadFileBytes(out + name);
  ASSERT_EQ(file.substr(0, 3), "\xEF\xBB\xBF") << "UTF-8 with a byte-order mark";
  for (std::size_t at = 0; (at = file.find('\n', at)) != std::string::npos; ++at)
    ASSERT_EQ(file[at - 1], '\r') << "CR LF, at byte " << at;

  const std::string flat = Flat(file);
  for (const std::string& part : std::vector<std::string>{
           std::string("kolektor - dane dla serwisu"),
           "== Wersje i system ==",
           "kolektor.dll: C:\\ZRB\\kolektor.dll, wersja 1.0.0",
           "zrbhost.exe: C:\\KOLEKTOR\\zrbhost.exe, 1.0.0",
           "kolektor-test.exe: C:\\KOLEKTOR\\kolektor-test.exe, 1.0.0",
           "Windows: ",
           "Strona kodowa: ANSI ",
           "DPI ekranu: ",
           "== Sprawdzenie instalacji ==",
           "OK: Rejestr: " + ReadKey() + ", Binaria = C:\\ZRB",
           "OK: DLOOKUP2.EXE jest w folderze ZRB.",
           "OK: Folder pliku towarów i folder inwentaryzacji C:\\DANE (plik wymiany \"a\"; "
           "a.dat, Inwent.bak, kolektor.lock) istnieje (zapisu nie sprawdzano).",
           "Port COM3 ",
           "UWAGA: Ślad diagnostyczny jest włączony: C:\\ZRB\\kolektor.log.",
           "Sprawdzenie zakończone: błędów ",
           "== Rejestr: wartość Binaria w obu widokach ==",
           "Binaria = C:\\ZRB",
           "== Ustawienia ==",
           "Port RS232 COM: (port) = \"3\"",
           "Prędkość (baud) = \"9600\"",
           "Plik towarów: C:\\DANE\\exp.txt",
           "C:\\DANE\\INW\\imp.txt: Odczytano 1 pozycję, łącznie 57,5",
           "== Dziennik ==",
           "Dziennik C:\\DANE\\Inwent.bak",
           "<- pusty: odczyt nie przyniósł żadnej pozycji",
           "Bloków: 2,",
           "== Pliki a.dat w folderze inwentaryzacji C:\\DANE ==",
           "a.dat.20261207-231000 5 B ",
           "a.imp.20261207-232000 20 B ",
           "(jego ilości są już w dzienniku; nie przeliczaj go drugi raz)",
           "== Ślad diagnostyczny ==",
           "Ostatnie wiersze śladu (C:\\ZRB\\kolektor.log): 500",
           "pid 7 wiersz 101",
           "pid 7 wiersz 600"})
    EXPECT_TRUE(Has(flat, part)) << part << "\n" << file;
  EXPECT_FALSE(Has(file, "pid 7 wiersz 100\r\n")) << "only the last 500 lines";
  EXPECT_TRUE(Has(file, "pid 7 wiersz 101\r\n")) << "the trace's lines as they are";
  EXPECT_FALSE(Has(file, "INW;5901234123457")) << "no goods data unless asked";
  EXPECT_FALSE(Has(file, "Chleb"));
  // No path of the build machine: not the build tree, not a source file.
  for (const std::string& machine :
       {std::string("Z:\\"), std::string("/work/"), std::string(".cpp"), std::string("\\build\\")})
    EXPECT_FALSE(Has(file, machine)) << machine;
  const auto after = std::make_pair(Snapshot(zrb), Snapshot(data));
  for (const auto* side : {&before.first, &before.second})
    for (const auto& [path, what] : *side)
      if ((side == &before.first ? after.first : after.second).count(path) == 0 ||
          (side == &before.first ? after.first : after.second).at(path) != what)
        ADD_FAILURE() << "changed: " << path;

  // Asked for, the last block's codes and quantities; a file of its own.
  const ProgramRun again = RunProgram(command + " --records");
  EXPECT_EQ(again.exit_code, 0u) << again.output;
  const std::string second = Added(out, {name});
  ASSERT_FALSE(second.empty());
  const std::string with_records = ReadFileBytes(out + second);
  EXPECT_TRUE(Has(with_records, "Ilości z ostatniego bloku (2):\r\nINW;5901234123457;57500\r\n"))
      << with_records;
  EXPECT_EQ(ReadFileBytes(out + name), file) << "the first file stays as written";
  EXPECT_TRUE(before == std::make_pair(Snapshot(zrb), Snapshot(data)));

  // Without a plug-in to load, the file is still written and says so.
  NoHostKey();
  DeleteFileA((program + "kolektor.dll").c_str());
  const ProgramRun bare = RunProgram("\"" + program + "zrbhost.exe\" support " + out);
  EXPECT_EQ(bare.exit_code, 0u) << bare.output;
  const std::string third = Added(out, {name, second});
  ASSERT_FALSE(third.empty());
  const std::string without = Flat(ReadFileBytes(out + third));
  EXPECT_TRUE(Has(without, "kolektor.dll: nie załadowano (")) << without;
  EXPECT_TRUE(Has(without, "BŁĄD: Rejestr: brak klucza " + ReadKey())) << without;
}

}  // namespace
}  // namespace kolektor::wintest
