// zrbhost and the terminal simulator, run as a person runs them.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/win32/held_file.h"
#include "tests/win32/plugin_loader.h"
#include "tests/win32/program_run.h"
#include "tests/win32/standin_env.h"

namespace kolektor::wintest {
namespace {

// Standard error into a file of its own, apart from the output.
ProgramRun RunWithErrorsApart(const std::string& command_line, const std::string& errors_file) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  const HANDLE errors = CreateFileA(errors_file.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                    CREATE_ALWAYS, 0, nullptr);
  const ProgramRun run = RunProgram(command_line, "", errors);
  CloseHandle(errors);
  return run;
}

std::string Zrbhost(const std::string& args) { return "\"" + BinDir() + "zrbhost.exe\" " + args; }

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(Zrbhost, DescribeShowsTheFormInUtf8) {
  const ProgramRun r = RunProgram(Zrbhost("describe"));
  EXPECT_EQ(r.exit_code, 0u);
  EXPECT_TRUE(Has(r.output, "Typ biblioteki: 3")) << r.output;
  EXPECT_TRUE(Has(r.output, "Wtyczka: " + BinDir() + "kolektor.dll, wersja 1.0.0")) << r.output;
  EXPECT_TRUE(Has(r.output,
                  "Prędkość (baud), domyślnie \"9600\", do wyboru: 9600 | 19200 | 38400 | "
                  "57600 | 115200"))
      << r.output;
  EXPECT_TRUE(Has(r.output, "Max. długość kodu kreskowego (maxKod)")) << r.output;
  EXPECT_TRUE(Has(r.output, "Port RS232 COM: (port), domyślnie \"1\", liczba od 1 do 999"));
  EXPECT_TRUE(Has(r.output, "302: Włącz zasilanie doku")) << r.output;
  EXPECT_TRUE(Has(r.output, "1: CipherLab 8x00"));
}

// On a console (any code page) the Polish letters arrive as characters,
// not as UTF-8 bytes read in the console's code page.
TEST(Zrbhost, PolishOnAConsole) {
  FreeConsole();
  ASSERT_TRUE(AllocConsole());
  const HANDLE screen =
      CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(screen, INVALID_HANDLE_VALUE);
  SetConsoleOutputCP(852);  // the Polish console's own code page
  PROCESS_INFORMATION info = StartProgram(Zrbhost("describe"));
  ASSERT_EQ(Finish(info, 60000), 0u);
  CONSOLE_SCREEN_BUFFER_INFO buffer;
  ASSERT_TRUE(GetConsoleScreenBufferInfo(screen, &buffer));
  std::wstring shown(static_cast<std::size_t>(buffer.dwSize.X) * buffer.dwSize.Y, L' ');
  DWORD read = 0;
  ReadConsoleOutputCharacterW(screen, &shown[0], static_cast<DWORD>(shown.size()), COORD{0, 0},
                              &read);
  CloseHandle(screen);
  EXPECT_NE(shown.find(L"Prędkość (baud)"), std::wstring::npos);
  EXPECT_NE(shown.find(L"Max. długość kodu kreskowego"), std::wstring::npos);
  // No line reaches the console's edge, where it would break inside a word
  // (the choices of "Timeout" make the longest line).
  EXPECT_NE(shown.find(L"600 min"), std::wstring::npos);
  for (SHORT row = 0; row < buffer.dwSize.Y; ++row)
    EXPECT_EQ(shown[static_cast<std::size_t>(row + 1) * buffer.dwSize.X - 1], L' ')
        << "row " << row;
}

TEST(Zrbhost, SettingsOutsideTheFormAreRefusedBeforeThePlugin) {
  const std::string dir = FreshDir("zrbhost_refused");
  struct Case {
    const char* set;
    const char* message;
  } cases[] = {{"baud=4800", "baud=\"4800\" nie jest żadną z wartości: \"9600\""},
               {"port=1000", "port=\"1000\" nie jest liczbą od 1 do 999"},
               {"port=COM5", "port=\"COM5\" nie jest liczbą od 1 do 999"},
               {"cena=cena det", "cena=\"cena det\" nie jest żadną z wartości"},
               {"speed=1", "wtyczka nie ma ustawienia \"speed\""}};
  for (const Case& c : cases) {
    const ProgramRun r =
        RunProgram(Zrbhost(std::string("--set \"") + c.set + "\" export " + dir + "exp.txt"));
    EXPECT_EQ(r.exit_code, 2u) << c.set;
    EXPECT_TRUE(Has(r.output, c.message)) << r.output;
    EXPECT_FALSE(Has(r.output, "stan:")) << "the plug-in was not called";
  }
  EXPECT_EQ(RunProgram(Zrbhost("--set port=COM2 --set cena=\"Cena zak\" describe")).exit_code, 0u);
}

TEST(Zrbhost, ExportAndImportExitCodes) {
  const std::string dir = FreshDir("zrbhost_ops");
  StandinEnv env(dir);
  CreateDirectoryA((dir + "INW").c_str(), nullptr);
  WriteFileBytes(dir + "exp.txt", "TOW;111;Chleb;100;150;2000;5\r\n");
  ProgramRun r = RunProgram(Zrbhost("--set port=3 export " + dir + "exp.txt"));
  EXPECT_EQ(r.exit_code, 0u) << r.output;
  // Into a pipe the notice's line feed arrives as CR LF (text mode).
  EXPECT_TRUE(Has(r.output, "stan: \r\nTransakcja w toku...")) << r.output;
  EXPECT_TRUE(Has(r.output, "wynik: 1"));

  r = RunProgram(Zrbhost("export " + dir + "missing.txt"));
  EXPECT_EQ(r.exit_code, 1u);
  EXPECT_TRUE(Has(r.output, "błąd: Błąd otwarcia pliku \"exp\".")) << r.output;
  EXPECT_TRUE(Has(r.output, "    Przyczyna: Nie można otworzyć albo odczytać pliku towarów"))
      << "the explanation under the error";

  StandinEnv::Set("KOLEKTOR_STANDIN_DATA", "none");
  r = RunProgram(Zrbhost("--yes import " + dir + "INW\\imp.txt"));
  EXPECT_EQ(r.exit_code, 1u) << r.output;
  EXPECT_TRUE(Has(r.output, "błąd: Brak pliku wynikowego.")) << r.output;

  WriteFileBytes(dir + "download.dat", "111,2.5\r\n");
  StandinEnv::Set("KOLEKTOR_STANDIN_DATA", dir + "download.dat");
  r = RunProgram(Zrbhost("--yes import " + dir + "INW\\imp.txt"));
  EXPECT_EQ(r.exit_code, 0u) << r.output;
  EXPECT_TRUE(Has(r.output, "okno komunikatu [download]: IR_READ2.EXE a.dat,1,5,1,1,1,1,0"))
      << r.output;
  EXPECT_TRUE(Has(r.output, "okno komunikatu [sciezka]: " + dir + "INW\\imp.txt")) << r.output;
  EXPECT_FALSE(Has(r.output, "pięć okien")) << "--yes closes them";
  EXPECT_EQ(ReadFileBytes(dir + "INW\\imp.txt"), "INW;111;02500\r\n");
}

TEST(Zrbhost, CheckListsEveryFaultAndWarningWithItsLine) {
  const std::string dir = FreshDir("zrbhost_check");
  WriteFileBytes(dir + "exp.txt",
                 "TOW;1;a;1;1;1;1\r\n"     // 1 fine
                 "TOW;2;b;1;1;x;1\r\n"     // 2 quantity
                 "TOW;3;c;1;5,49;1;1\r\n"  // 3 a decimal comma: a warning
                 "TOX;4;d;1;1;1;1\r\n"     // 4 record type
                 "TOW;5;e;1;1;1;1000\r\n"  // 5 VAT
                 "TOW;6;f;1;1;1;1\r\n");   // 6 fine
  ProgramRun r = RunProgram(Zrbhost("check " + dir + "exp.txt"));
  EXPECT_EQ(r.exit_code, 1u);
  for (const char* part :
       {"wiersz 2, bajt 30: błąd: [8] Błąd składni pliku \"exp\". - [2] błąd pola ILOŚĆ",
        "wiersz 4, bajt 57: błąd: [1] Błąd składni pliku \"exp\" - błąd pola TOW.",
        "wiersz 5, bajt 89: błąd: [9] Błąd składni pliku \"exp\". - [5] błąd pola VAT",
        "wiersz 3: ostrzeżenie: cena sprzedaży \"5,49\" ma przecinek",
        "Wierszy: 6, błędów: 3, ostrzeżeń: 1.",
        "Eksport zatrzyma się na pierwszym błędzie: do terminala nie trafi nic."})
    EXPECT_TRUE(Has(r.output, part)) << part << "\n" << r.output;
  WriteFileBytes(dir + "ok.txt", "TOW;1;a;1;1;1;1\r\n");
  r = RunProgram(Zrbhost("check " + dir + "ok.txt"));
  EXPECT_EQ(r.exit_code, 0u);
  EXPECT_TRUE(Has(r.output, "Do terminala trafi towarów: 1.")) << r.output;
  WriteFileBytes(dir + "warn.txt", "TOW;1;a;1;1;1;1\r\nTOW;1;a;1;1;1;1\r\n");
  EXPECT_EQ(RunProgram(Zrbhost("check " + dir + "warn.txt")).exit_code, 3u) << "warnings only";
}

// The support commands on files, and setup, which never replaces the
// host's own registry value without --force.
TEST(Zrbhost, FileCommandsAndSetup) {
  const std::string dir = FreshDir("zrbhost_files");
  WriteFileBytes(dir + "Inwent.bak",
                 "\r\n------------ [IMPORT WYKONANY DNIA: 2026-12-07 09:05:03] ------------\r\n"
                 "INW;1;02000\r\n"
                 "\r\n------------ [IMPORT WYKONANY DNIA: 2026-12-07 09:06:00] ------------\r\n"
                 "INW;1;02000\r\n");
  WriteFileBytes(dir + "a.dat", "1,2\r\n5,1\r\n");
  WriteFileBytes(dir + "exp.txt", "TOW;1;Chleb;100;150;2000;5\r\nTOW;2;Mleko;1;1;1000;5\r\n");
  struct Case {
    std::string args;
    DWORD exit_code;
    std::string output;
  } cases[] = {
      {"journal " + dir + "Inwent.bak", 0, "<- te same ilości co blok 1: prawdopodobnie podwójny"},
      {"journal " + dir + "Inwent.bak --extract 2 " + dir + "imp2.txt", 0,
       "Blok 2 (pozycji: 1) zapisany do " + dir + "imp2.txt."},
      {"journal " + dir + "Inwent.bak --extract 3 " + dir + "imp3.txt", 1,
       "dziennik nie ma bloku 3"},
      {"convert " + dir + "a.dat " + dir + "imp.txt", 0, "rekordów 2."},
      {"report " + dir + "exp.txt " + dir + "imp.txt " + dir + "raport.csv", 0,
       "Zgodnych: 1, z różnicą: 0, policzonych spoza pliku towarów: 1, niepoliczonych: 1."},
      {"setup --install-dir " + dir, 1, "wartość Binaria już jest w rejestrze"},
      {"setup --force --install-dir " + dir + "nie-ma", 1, "folder " + dir + "nie-ma nie istnieje"},
      // The host's own folder again, ended as people type it in cmd: the
      // value stays as ZRB's installer writes it.
      {"setup --force --install-dir " + FullPath(InstallDir()), 0, "Zapisano w HKLM"},
      {"setup --force --install-dir \"" + FullPath(InstallDir()) + "\"", 0, "Zapisano w HKLM"},
  };
  for (const Case& c : cases) {
    const ProgramRun r = RunProgram(Zrbhost(c.args));
    EXPECT_EQ(r.exit_code, c.exit_code) << c.args << "\n" << r.output;
    EXPECT_TRUE(Has(r.output, c.output)) << c.args << "\n" << r.output;
  }
  EXPECT_EQ(ReadFileBytes(dir + "imp2.txt"), "INW;1;02000\r\n");
  EXPECT_EQ(ReadFileBytes(dir + "imp.txt"), "INW;1;02000\r\nINW;5;01000\r\n");
  EXPECT_EQ(ReadFileBytes(dir + "raport.csv").substr(0, 3), "\xEF\xBB\xBF");
  EXPECT_EQ(HklmValue("Software\\Orvisk\\ZRBWin\\Instalacja", "Binaria") + "\\",
            FullPath(InstallDir()))
      << "the host's value stays";
}

// Errors go to standard error, the rest to standard output; the usage fits
// a console 80 columns wide and lists the exit codes.
TEST(Zrbhost, ErrorsApartUsageWithinEightyColumnsSetupShowsTheValue) {
  const std::string dir = FullPath(FreshDir("zrbhost_streams"));
  const std::string errors_file = dir + "stderr.txt";
  ASSERT_TRUE(CopyFileA((BinDir() + "zrbhost.exe").c_str(), (dir + "zrbhost.exe").c_str(), FALSE));
  const struct Case {
    std::string line;
    DWORD exit_code;
    std::string output, errors;
  } cases[] = {
      {Zrbhost("help"), 0, "kody wyjścia:\n  0  zrobione", ""},
      {Zrbhost("export " + dir + "missing.txt"), 1,
       "stan: ", "błąd: Błąd otwarcia pliku \"exp\".\n    Przyczyna: "},
      {Zrbhost("convert " + dir + "nie-ma.dat " + dir + "imp.txt"), 2, "",
       "nie można otworzyć pliku " + dir + "nie-ma.dat"},
      {Zrbhost("setup"), 0, "Obecna wartość Binaria: " + NoSlash(FullPath(InstallDir())), ""},
      {Zrbhost("nie-ma-takiego"), 2, "", "użycie: zrbhost [OPCJE] POLECENIE"},
      // No kolektor.dll beside it, and none in the folder Binaria names.
      {"\"" + dir + "zrbhost.exe\" describe", 2, "",
       "zrbhost: nie ma kolektor.dll ani w folderze programu (" + dir + "), ani w folderze ZRB (" +
           NoSlash(FullPath(InstallDir())) + "). Wskaż plik wtyczki opcją --dll PLIK."},
  };
  for (const Case& c : cases) {
    const ProgramRun r = RunWithErrorsApart(c.line, errors_file);
    std::string errors = ReadFileBytes(errors_file);
    for (std::string* text : {&errors, const_cast<std::string*>(&r.output)})
      text->erase(std::remove(text->begin(), text->end(), '\r'), text->end());
    EXPECT_EQ(r.exit_code, c.exit_code) << c.line << "\n" << r.output << errors;
    EXPECT_TRUE(Has(r.output, c.output)) << c.line << "\n" << r.output;
    EXPECT_TRUE(Has(errors, c.errors)) << c.line << "\n" << errors;
    EXPECT_FALSE(Has(r.output, "błąd:")) << c.line << "\n" << r.output;
    EXPECT_FALSE(Has(errors, "Brak pliku wynikowego")) << "the download's text, not the file's";
  }
  const std::wstring usage = host::WideFromUtf8(RunProgram(Zrbhost("help")).output);
  std::size_t start = 0, longest = 0;
  for (std::size_t end; (end = usage.find(L'\n', start)) != std::wstring::npos; start = end + 1)
    longest = std::max(longest, end - start - (end > start && usage[end - 1] == L'\r'));
  EXPECT_LE(longest, 79u) << "characters in the usage's longest line";
}

// journal --repair does what the next import does to a block whose append
// was cut short, and nothing else: a sound journal stays as it is, and so
// does everything while another process holds the folder's import lock.
TEST(Zrbhost, JournalRepairCutsAnUnfinishedBlockBackUnderTheFoldersLock) {
  const std::string sound =
      "\r\n------------ [IMPORT WYKONANY DNIA: 2026-12-07 09:05:03] ------------\r\n"
      "INW;1;02000\r\n"
      "\r\n------------ [IMPORT WYKONANY DNIA: 2026-12-07 09:06:00] ------------\r\n"
      "INW;2;00500\r\n";
  const std::string cut =
      sound +
      "\r\n------------ [IMPORT WYKONANY DNIA: 2026-12-07 09:07:00] ------------\r\nINW;3;01";
  const std::string size = std::to_string(sound.size());
  const struct Case {
    const char* name;
    std::string journal, record;  // record: none when empty
    bool lock_held;
    DWORD exit_code;
    std::string said;
    std::string journal_after;
    bool record_after;
  } cases[] = {
      {"sound", sound, "", false, 0, "jest kompletny: żadne dopisywanie nie zostało przerwane. Nic",
       sound, false},
      {"cut block", cut, size + "\r\n", false, 0,
       "skrócono go z " + std::to_string(cut.size()) + " do " + size + " bajtów", sound, false},
      // Cut while the record itself was written: the journal was untouched.
      {"cut record", sound, size.substr(0, 2), false, 0,
       "Inwent.bak.append: przerwane dopisywanie nie zostawiło", sound, false},
      {"import running", cut, size + "\r\n", true, 1, "trwa właśnie import (plik blokady", cut,
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string dir = FullPath(FreshDir("zrbhost_repair"));
    const std::string journal = dir + "Inwent.bak";
    WriteFileBytes(journal, c.journal);
    if (!c.record.empty()) WriteFileBytes(journal + ".append", c.record);
    PROCESS_INFORMATION holder{};
    if (c.lock_held) {
      WriteFileBytes(dir + "kolektor.lock", "");
      holder = HoldFile(dir + "kolektor.lock", 20000);
      ASSERT_TRUE(HeldElsewhere(dir + "kolektor.lock"));
    }
    const ProgramRun r = RunProgram(Zrbhost("journal " + journal + " --repair"));
    EXPECT_EQ(r.exit_code, c.exit_code) << r.output;
    EXPECT_TRUE(Has(r.output, c.said)) << r.output;
    EXPECT_TRUE(ReadFileBytes(journal) == c.journal_after) << ReadFileBytes(journal);
    EXPECT_EQ(Exists(journal + ".append"), c.record_after);
    if (holder.hProcess != nullptr) {
      TerminateProcess(holder.hProcess, 0);
      Finish(holder);
    } else {
      EXPECT_FALSE(Exists(dir + "kolektor.lock")) << "the lock taken is gone with the tool";
    }
  }
  EXPECT_EQ(
      RunProgram(Zrbhost("journal " + FullPath(FreshDir("zrbhost_repair")) + "nie-ma.bak --repair"))
          .exit_code,
      2u);
}

TEST(Simulator, UploadRefusesABadRecordAndScanKnowsTheTable) {
  const std::string dir = FreshDir("simulator");
  StandinEnv env(dir);
  WriteFileBytes(dir + "a", "111,Chleb,1.50,2.000\r\n1,2,x,0.01,0.001\r\n");
  ProgramRun r = RunProgram("\"" + InstallDir() + "DLOOKUP2.EXE\" a,1,5,1", dir);
  EXPECT_EQ(r.exit_code, 1u);
  EXPECT_TRUE(Has(r.output, "record 2 refused (5 columns where the terminal takes 4)")) << r.output;
  EXPECT_FALSE(Exists(dir + "terminal\\table.txt"));

  WriteFileBytes(dir + "a", "111,Chleb,1.50,2.000\r\n222,Mleko,2.50,1.000\r\n");
  r = RunProgram("\"" + InstallDir() + "DLOOKUP2.EXE\" a,1,5,1", dir);
  EXPECT_EQ(r.exit_code, 0u);
  EXPECT_TRUE(Has(r.output, "2 records loaded")) << r.output;

  const std::string terminal = "\"" + BinDir() + "terminal.exe\" ";
  r = RunProgram(terminal + "scan 333 1");
  EXPECT_EQ(r.exit_code, 4u);
  EXPECT_TRUE(Has(r.output, "unknown code 333")) << r.output;
  EXPECT_EQ(RunProgram(terminal + "scan 222 4.5").exit_code, 0u);
  EXPECT_EQ(RunProgram(terminal + "scan 111 1x").exit_code, 5u);
  RunProgram("\"" + BinDir() + "IR_READ2.EXE\" a.dat,1,5,1,1,1,1,0", dir);
  EXPECT_EQ(ReadFileBytes(dir + "a.dat"), "222,4.5\r\n");
  RunProgram(terminal + "clear");
  EXPECT_TRUE(Has(RunProgram(terminal + "show").output, "2 records"));
}

}  // namespace
}  // namespace kolektor::wintest
