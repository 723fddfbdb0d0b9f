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
  return Flat(text).find(Flat(part)) != std::string::npos;
}

// What a program said, one message each: a line, with the lines under it
// that begin with a blank (a long line broken to fit 80 columns).
std::vector<std::string> Messages(const std::string& text) {
  std::vector<std::string> messages;
  std::string line;
  for (std::size_t at = 0, end; at < text.size(); at = end + 1) {
    end = std::min(text.find('\n', at), text.size());
    line = text.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line[0] == ' ' && !messages.empty())
      messages.back() += Flat(line);
    else
      messages.push_back(line);
  }
  return messages;
}

// The longest line, in characters.
std::size_t Widest(const std::string& utf8) {
  const std::wstring text = host::WideFromUtf8(utf8);
  std::size_t start = 0, widest = 0;
  for (std::size_t end;; start = end + 1) {
    end = std::min(text.find(L'\n', start), text.size());
    widest = std::max(widest, end - start - (end > start && text[end - 1] == L'\r'));
    if (end == text.size()) return widest;
  }
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
  EXPECT_TRUE(Has(r.output, "wynik: 1 (zrobione)\nOdczytano 1 pozycję, łącznie 2,5\n")) << r.output;
}

// Every read says what it brought; a read of nothing is a warning (exit
// code 3, on standard error) while the host's result stays 1, and the
// journal marks its empty block.
TEST(Zrbhost, ImportSaysWhatTheReadBrought) {
  const std::string dir = FreshDir("zrbhost_read");
  StandinEnv env(dir);
  CreateDirectoryA((dir + "INW").c_str(), nullptr);
  const std::string errors_file = dir + "stderr.txt";
  const struct Case {
    std::string data;
    DWORD exit_code;
    std::string output, errors;
  } cases[] = {
      {"111,2.5\r\n222,55\r\n333,0.001\r\n444,-0.5\r\n555,1\r\n", 0,
       "wynik: 1 (zrobione)\nOdczytano 5 pozycji, łącznie 58,001", ""},
      {"", 3, "wynik: 1 (zrobione)",
       "ostrzeżenie: Odczyt nie przyniósł żadnej pozycji: plik inwentaryzacji jest pusty"},
  };
  for (const Case& c : cases) {
    WriteFileBytes(dir + "download.dat", c.data);
    StandinEnv::Set("KOLEKTOR_STANDIN_DATA", dir + "download.dat");
    const ProgramRun r =
        RunWithErrorsApart(Zrbhost("--yes import " + dir + "INW\\imp.txt"), errors_file);
    const std::string errors = ReadFileBytes(errors_file);
    EXPECT_EQ(r.exit_code, c.exit_code) << r.output << errors;
    EXPECT_TRUE(Has(r.output, c.output)) << r.output;
    EXPECT_TRUE(Has(errors, c.errors)) << errors;
    EXPECT_EQ(c.errors.empty(), errors.empty()) << errors;
  }
  const ProgramRun journal = RunProgram(Zrbhost("journal " + dir + "Inwent.bak"));
  EXPECT_TRUE(Has(journal.output, "0 0,000 <- pusty: odczyt nie przyniósł żadnej pozycji"))
      << journal.output;
  EXPECT_EQ(Flat(journal.output).find("<- pusty"), Flat(journal.output).rfind("<- pusty"))
      << "only the empty block";
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
       "Zgodnych: 1, z różnicą: 0, niepoliczonych: 1.\nPoliczonych spoza pliku towarów: 1."},
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
       "nie można otworzyć pliku danych z terminala " + dir + "nie-ma.dat ("},
      {Zrbhost("setup"), 0, "Obecna wartość Binaria: " + NoSlash(FullPath(InstallDir())), ""},
      {Zrbhost(""), 2, "", "użycie: zrbhost [OPCJE] POLECENIE"},
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

// Each wrong command line, and each file zrbhost cannot open, is told in
// one line saying what was wrong (and, for the command line, one pointing
// to the help), a file's with Windows' reason in words beside the system's
// number (a missing file, a folder where a file should be); nothing goes to
// standard output, and every line fits 80 columns.
TEST(Zrbhost, ErrorsSayWhatWasWrongInOneLine) {
  const std::string kSeeHelp = "Polecenia i opcje opisuje: zrbhost help";
  const std::string kJournalUsage =
      "Użycie: zrbhost journal DZIENNIK [--extract N INWENTARYZACJA [--unfinished]] zrbhost "
      "journal DZIENNIK --repair";
  const std::string dir = FullPath(FreshDir("zrbhost_wrong"));
  const std::string errors_file = dir + "stderr.txt";
  WriteFileBytes(dir + "Inwent.bak", "");
  CreateDirectoryA((dir + "folder").c_str(), nullptr);
  const struct Case {
    std::string args;
    DWORD exit_code;
    std::string said;  // in the first message
    std::string next;  // the line after it; "" when there is none
  } cases[] = {
      {"frobnicate", 2, "nieznane polecenie \"frobnicate\"", kSeeHelp},
      {"check", 2, "check: brakuje argumentu TOWARY", "Użycie: zrbhost check TOWARY"},
      {"convert a.dat", 2, "convert: brakuje argumentu INWENTARYZACJA",
       "Użycie: zrbhost convert DANE INWENTARYZACJA"},
      {"journal Inwent.bak --extract 3", 2, "journal: brakuje argumentu INWENTARYZACJA",
       kJournalUsage},
      {"journal Inwent.bak 3", 2, "journal: zbędny argument \"3\"", kJournalUsage},
      {"describe teraz", 2, "describe: zbędny argument \"teraz\"", "Użycie: zrbhost describe"},
      {"--frob describe", 2, "nieznana opcja \"--frob\"", kSeeHelp},
      {"describe --dll", 2, "opcja --dll: brakuje wartości PLIK", kSeeHelp},
      {"--set port describe", 2, "opcja --set: \"port\" nie ma postaci nazwa=wartość", kSeeHelp},
      {"--settings " + dir + "nie_ma.ini describe", 2,
       "nie można odczytać pliku ustawień " + dir + "nie_ma.ini (błąd systemu 2: ", ""},
      {"check " + dir + "nie_ma.txt", 2,
       "nie można otworzyć pliku towarów " + dir + "nie_ma.txt (błąd systemu 2: ", ""},
      {"journal " + dir + "folder", 2,
       "nie można otworzyć dziennika " + dir + "folder (błąd systemu 5: ", ""},
      {"report " + dir + "nie_ma.txt " + dir + "Inwent.bak " + dir + "r.csv", 2,
       "nie można otworzyć pliku towarów " + dir + "nie_ma.txt (błąd systemu 2: ", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    const ProgramRun r = RunWithErrorsApart(Zrbhost(c.args), errors_file);
    const std::string errors = ReadFileBytes(errors_file);
    EXPECT_EQ(r.exit_code, c.exit_code) << errors;
    EXPECT_EQ(r.output, "");
    const std::vector<std::string> said = Messages(errors);
    ASSERT_EQ(said.size(), c.next.empty() ? 1u : 2u) << errors;
    EXPECT_TRUE(Has(said[0], c.said)) << errors;
    // Windows' reason in words stands beside the system's number.
    if (c.said.back() == ' ') {
      const std::size_t reason = Flat(said[0]).find(Flat(c.said)) + Flat(c.said).size();
      EXPECT_GT(Flat(said[0]).find(')', reason), reason + 5) << errors;
    }
    if (!c.next.empty()) EXPECT_EQ(said[1], c.next);
    EXPECT_LE(Widest(errors), 80u) << errors;
  }
}

// With output redirected every line fits 80 columns (the help is measured
// by the test above).
TEST(Zrbhost, RedirectedOutputFitsEightyColumns) {
  const std::string dir = FullPath(FreshDir("zrbhost_width"));
  StandinEnv env(dir);
  CreateDirectoryA((dir + "INW").c_str(), nullptr);
  WriteFileBytes(dir + "exp.txt", "TOW;1;Chleb;100;150;2000;5\r\nTOW;2;b;1;5,49;x;1\r\n");
  WriteFileBytes(dir + "download.dat", "1,2\r\n9,1\r\n");
  StandinEnv::Set("KOLEKTOR_STANDIN_DATA", dir + "download.dat");
  for (const std::string& args : std::vector<std::string>{
           std::string("describe"), std::string("messages"), std::string("setup"),
           "check " + dir + "exp.txt", "--set port=3 export " + dir + "exp.txt",
           "import " + dir + "INW\\imp.txt", "journal " + dir + "Inwent.bak",
           "report " + dir + "exp.txt " + dir + "INW\\imp.txt " + dir + "r.csv", "clear"}) {
    const ProgramRun r = RunProgram(Zrbhost("--yes " + args));
    EXPECT_LE(Widest(r.output), 80u) << args << "\n" << r.output;
  }
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
  EXPECT_EQ(RunProgram(terminal + "scan 111 57,5").exit_code, 0u) << "a decimal comma";
  EXPECT_EQ(RunProgram(terminal + "scan 111 1x").exit_code, 5u);
  EXPECT_EQ(RunProgram(terminal + "scan 111 1,2,3").exit_code, 5u);
  RunProgram("\"" + BinDir() + "IR_READ2.EXE\" a.dat,1,5,1,1,1,1,0", dir);
  EXPECT_EQ(ReadFileBytes(dir + "a.dat"), "222,4.5\r\n111,57.5\r\n");
  RunProgram(terminal + "clear");
  EXPECT_TRUE(Has(RunProgram(terminal + "show").output, "2 records"));
}

}  // namespace
}  // namespace kolektor::wintest
