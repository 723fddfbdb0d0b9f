// The real test form driven through its controls only, as a person would:
// find the window, read its labels and lists, choose values, press buttons,
// close the plug-in's message boxes and its file dialog, read the log. In a
// prefix of its own, since it changes the host's registry value.
//
// With KOLEKTOR_FORM_HOLD=FILE set, the form stays open after the failed
// export, from FILE.ready on until FILE exists: scripts/screenshot.sh takes
// its picture meanwhile.
#include <gtest/gtest.h>

#include <algorithm>

#include "host/program_texts.h"
#include "host/registry_view.h"
#include "host/system_error_text.h"
#include "tests/win32/form_driver.h"
#include "tests/win32/standin_env.h"

namespace kolektor::wintest {
namespace {

namespace id = kolektor::form;
const char* kKey = "Software\\Orvisk\\ZRBWin\\Instalacja";

// The label as shown: without the "&" of its Alt letter.
std::wstring Shown(std::wstring text) {
  text.erase(std::remove(text.begin(), text.end(), L'&'), text.end());
  return text;
}

TEST(WinForm, SettingsFromThePluginOperationsAndInstallationCheck) {
  DeleteHklmKey(kKey);
  const std::string dir = FreshDir("form");
  StandinEnv env(dir);
  CreateDirectoryA((dir + "INW").c_str(), nullptr);
  WriteFileBytes(dir + "download.src", "5901234123457,12\r\n111,2.5\r\n");
  StandinEnv::Set("KOLEKTOR_STANDIN_DATA", dir + "download.src");
  WriteFileBytes(dir + "exp.txt", Cp1250("TOW;5901234123457;Mąka;189;249;12000;5\r\n"));
  WriteFileBytes(dir + "bad.txt", "TOW;77;x;1;1;x;1\r\n");
  const std::string ini = dir + "kolektor-test.ini";
  FormProcess form(ini);

  // The settings are the plug-in's own descriptions, converted from
  // Windows-1250, the defaults chosen.
  EXPECT_HAS(form.Text(id::kPluginLine), W(("Wtyczka: " + BinDir() + "kolektor.dll").c_str()));
  EXPECT_HAS(form.Text(id::kModelLine), W("CipherLab 8x00"));
  const std::vector<host::Parameter> parameters = host::DescribeParameters(LoadPlugin());
  ASSERT_EQ(parameters.size(), 5u);
  for (std::size_t i = 0; i < parameters.size(); ++i) {
    const host::Parameter& p = parameters[i];
    const int n = static_cast<int>(i);
    SCOPED_TRACE(p.name);
    EXPECT_EQ(Shown(form.Text(id::kParamLabel + n)), host::WideFromCp1250(p.label));
    EXPECT_EQ(form.Text(id::kParamValue + n), host::WideFromCp1250(p.default_value));
    HWND value = form.Item(id::kParamValue + n);
    if (p.kind == 4) {
      EXPECT_EQ(form.Text(id::kParamRange + n), W(("od " + p.low + " do " + p.high).c_str()));
      continue;
    }
    ASSERT_EQ(SendMessageW(value, CB_GETCOUNT, 0, 0), static_cast<LRESULT>(p.choices.size()));
    for (std::size_t c = 0; c < p.choices.size(); ++c) {
      wchar_t item[64] = {};
      SendMessageW(value, CB_GETLBTEXT, c, reinterpret_cast<LPARAM>(item));
      EXPECT_EQ(std::wstring(item), host::WideFromCp1250(p.choices[c]));
    }
  }
  EXPECT_EQ(Shown(form.Text(id::kParamLabel + 1)), W("Prędkość"));
  form.Type(id::kParamValue + 0, "COM3");                            // as Device Manager names it
  SendMessageW(form.Item(id::kParamValue + 1), CB_SETCURSEL, 1, 0);  // 19200
  form.Type(id::kGoodsPath, dir + "exp.txt");
  form.Type(id::kCountsPath, dir + "INW\\imp.txt");

  // The installation check names what is missing and how to fix it.
  std::wstring log = form.Press(id::kCheck, W("Sprawdzenie zakończone"));
  EXPECT_HAS(log, W(("BŁĄD: Rejestr: brak klucza " + host::HostKeyShown()).c_str()));
  EXPECT_HAS(log, W("    Jak naprawić: Zainstaluj ZRB"));
  const std::string empty = NoSlash(FullPath(FreshDir("form_empty_zrb")));
  SetBinaria(empty);
  log = form.Press(id::kCheck, W("Sprawdzenie zakończone"));
  EXPECT_HAS(log, W(("BŁĄD: Brak DLOOKUP2.EXE w folderze ZRB " + empty).c_str()));
  EXPECT_HAS(log, W("    Jak naprawić: Skopiuj DLOOKUP2.EXE"));
  EXPECT_HAS(log, W("BŁĄD: W folderze ZRB " + empty + " nie ma kolektor.dll"));
  // The form finds the utility beside itself, ZRB would not.
  EXPECT_HAS(log, W("BŁĄD: IR_READ2.EXE: ZRB go nie znajdzie, a formularz uruchomi " + BinDir() +
                    "IR_READ2.EXE"));
  EXPECT_HAS(log, W("    Jak naprawić: Przenieś " + BinDir() + "IR_READ2.EXE do folderu"));
  EXPECT_HAS(log, W(("OK: Folder pliku towarów i folder inwentaryzacji " + NoSlash(dir) +
                     " (plik wymiany \"a\"; a.dat, Inwent.bak, kolektor.lock): zapis możliwy.")
                        .c_str()));
  // Every fault of the run is explained in the pane, each with its fix,
  // not only the last; nothing that is right.
  const std::wstring explained = form.Text(id::kExplanation);
  EXPECT_HAS(explained, W("BŁĄD: Brak DLOOKUP2.EXE w folderze ZRB " + empty +
                          ".\r\nJak naprawić: Skopiuj DLOOKUP2.EXE"));
  EXPECT_HAS(explained, W("BŁĄD: W folderze ZRB " + empty + " nie ma kolektor.dll"));
  EXPECT_HAS(explained, W("Jak naprawić: Uruchom instalator kolektor"));
  EXPECT_HAS(explained, W("BŁĄD: IR_READ2.EXE: ZRB go nie znajdzie"));
  EXPECT_HAS(explained, W("Jak naprawić: Przenieś " + BinDir() + "IR_READ2.EXE do folderu"));
  EXPECT_EQ(CountOf(explained, W("BŁĄD: ")), CountOf(log, W("BŁĄD: ")));
  EXPECT_FALSE(Has(explained, W("OK: "))) << host::Utf8FromWide(explained);
  // A system error number gets Windows' reason beside it, in Polish.
  const std::string reason = host::SystemErrorText(ERROR_PATH_NOT_FOUND);
  ASSERT_FALSE(reason.empty());
  form.Type(id::kCountsPath, dir + "nie-ma\\INW\\imp.txt");
  log = form.Press(id::kCheck, W("Sprawdzenie zakończone"));
  EXPECT_HAS(log, W("nie pozwala na zapis (błąd systemu 3: " + reason + ")."));
  form.Type(id::kCountsPath, dir + "INW\\imp.txt");
  SetBinaria(NoSlash(FullPath(InstallDir())));
  log = form.Press(id::kCheck, W("Sprawdzenie zakończone"));
  EXPECT_HAS(log, W("OK: DLOOKUP2.EXE jest w folderze ZRB."));

  // An export and an import with the stand-ins: every callback logged.
  log = form.Press(id::kExport, W("wynik: "));
  EXPECT_HAS(log, W("Na terminalu: Włącz zasilanie doku"));
  // The settings by the names the person sees on the form.
  EXPECT_HAS(log, W("] ustawienie \"Poziom cen\" = \"Cena det\""));
  EXPECT_HAS(log, W("] stan: Transakcja w toku..."));
  EXPECT_HAS(log, W("] ustawienie \"Port RS232 COM\" = \"3\""));
  EXPECT_EQ(form.Text(id::kParamValue + 0), L"3") << "shown as it is used";
  EXPECT_HAS(log, W("Folder bieżący: " + NoSlash(FullPath(InstallDir())) + " (folder ZRB"));
  EXPECT_HAS(log, W("] ustawienie \"Prędkość\" = \"19200\""));
  EXPECT_HAS(log, W("] ustawienie \"Max. długość kodu kreskowego\" = \"13\""));
  for (const char* name : {"port", "baud", "cena", "maxKod", "timeout"})
    EXPECT_FALSE(Has(log, W(std::string("ustawienie ") + name))) << name;
  EXPECT_FALSE(Has(log, L"stan: \r\n")) << "no empty status line";
  EXPECT_HAS(log, W("wynik: 1 (zrobione), czas 4,"));
  EXPECT_HAS(form.Text(id::kInstruction), W("3.KONFIGURACJA poczym 8.POBR. DANYCH Z ZRB."));
  EXPECT_EQ(ReadFileBytes(dir + "a"), "5901234123457,Maka,2.49,12.000\r\n");
  ASSERT_EQ(env.Starts().size(), 1u);
  EXPECT_NE(env.Starts()[0].find("DLOOKUP2.EXE a,3,4,1|"), std::string::npos) << env.Starts()[0];

  log = form.Press(id::kImport, W("Odczytano"));
  EXPECT_EQ(form.boxes_closed, 5) << "five boxes, closed like a person closes them";
  // What the read brought, under its result: what reached the counts file.
  EXPECT_HAS(log, W("wynik: 1 (zrobione)"));
  EXPECT_HAS(log, W("Odczytano 2 pozycje, łącznie 14,5"));
  for (const char* caption : {"sciezka_a", "sciezka_bak", "download", "invent_dir", "sciezka"})
    EXPECT_HAS(log, W((std::string("] okno komunikatu [") + caption + "]: ").c_str()));
  EXPECT_HAS(log, W("] okno komunikatu [download]: IR_READ2.EXE a.dat,3,4,1,1,1,1,0"));
  EXPECT_HAS(log, W("wynik: 1 (zrobione)"));
  EXPECT_EQ(ReadFileBytes(dir + "INW\\imp.txt"), "INW;5901234123457;12000\r\nINW;111;02500\r\n");

  // A read that brought nothing succeeds for the host, and the person is
  // warned, in the log and in the explanations' pane. (The form's utility
  // inherited the form's environment: the data it hands out is emptied in
  // place.)
  WriteFileBytes(dir + "download.src", "");
  log = form.Press(id::kImport, W("żadnej pozycji"));
  EXPECT_HAS(log, W("wynik: 1 (zrobione)"));
  EXPECT_HAS(log, W("UWAGA: Odczyt nie przyniósł żadnej pozycji"));
  EXPECT_HAS(form.Text(id::kExplanation), W("UWAGA: Odczyt nie przyniósł żadnej pozycji"));
  WriteFileBytes(dir + "download.src", "5901234123457,12\r\n111,2.5\r\n");

  // One file for the support person: written where the log says, with the
  // plug-in and the settings by their labels, and no goods data (the
  // journal now holds a code).
  log = form.Press(id::kSupport, W("Dane dla serwisu zapisane w pliku"));
  const std::wstring said = W("Dane dla serwisu zapisane w pliku ");
  const std::size_t at = log.rfind(said);
  ASSERT_NE(at, std::wstring::npos);
  const std::size_t end = log.find(L". Wyślij", at);
  ASSERT_NE(end, std::wstring::npos);
  const std::string support =
      ReadFileBytes(host::AnsiFromWide(log.substr(at + said.size(), end - at - said.size())));
  EXPECT_EQ(support.substr(0, 3), "\xEF\xBB\xBF") << "UTF-8 for Notepad";
  EXPECT_HAS(host::WideFromUtf8(support), W(BinDir() + "kolektor.dll"));
  EXPECT_HAS(host::WideFromUtf8(support), W("Prędkość"));
  EXPECT_EQ(support.find("5901234123457"), std::string::npos) << "no goods data";

  // An error, with its explanation under it.
  form.Type(id::kGoodsPath, dir + "bad.txt");
  log = form.Press(id::kExport, W("wynik: "));
  EXPECT_HAS(log, W("] błąd: [8] Błąd składni pliku \"exp\". - [77] błąd pola ILOŚĆ"));
  EXPECT_HAS(log, W("        Przyczyna: Pole ILOŚĆ nie zawiera liczby."));
  EXPECT_HAS(log, W("wynik: 0 (nie wykonano)"));
  EXPECT_HAS(form.Text(id::kExplanation),
             W("błąd: [8] Błąd składni pliku \"exp\". - [77] błąd pola ILOŚĆ"));
  EXPECT_HAS(form.Text(id::kExplanation), W("Co sprawdzić: Ilość towaru o podanym kodzie"));
  EXPECT_FALSE(Has(form.Text(id::kExplanation), W("DLOOKUP2"))) << "only this run's errors";
  // Cleared when the next run starts.
  form.Type(id::kGoodsPath, "");
  form.Press(id::kExport, W("Wpisz ścieżkę pliku"));
  EXPECT_EQ(form.Text(id::kExplanation), L"");
  form.Type(id::kGoodsPath, dir + "exp.txt");

  // Alt with a button's letter presses it; with a label's, it selects the
  // whole text of the field it names, so that typing replaces it.
  const std::size_t before = form.Log().size();
  PostMessageW(form.window(), WM_SYSCHAR, L's', 1 << 29);
  EXPECT_HAS(form.WaitForLog(before, W("Sprawdzenie zakończone")), W("=== Sprawdzenie instalacji"));
  HWND goods = form.Item(id::kGoodsPath);
  SendMessageW(goods, EM_SETSEL, 0, 0);
  PostMessageW(form.window(), WM_SYSCHAR, L'l', 1 << 29);
  const DWORD whole = MAKELONG(0, form.Text(id::kGoodsPath).size());
  for (int i = 0; i < 50 && static_cast<DWORD>(SendMessageW(goods, EM_GETSEL, 0, 0)) != whole; ++i)
    Sleep(100);
  EXPECT_EQ(static_cast<DWORD>(SendMessageW(goods, EM_GETSEL, 0, 0)), whole) << "Alt+L selects";

  // The values chosen are there again in the next run.
  ASSERT_TRUE(form.Close());
  FormProcess again(ini);
  EXPECT_EQ(again.Text(id::kParamValue + 0), L"3");
  EXPECT_EQ(again.Text(id::kParamValue + 1), L"19200");
  EXPECT_EQ(again.Text(id::kGoodsPath), W((dir + "exp.txt").c_str()));
  DeleteHklmKey(kKey);
}

// In a rehearsal, what to do is said for the simulator (the form's own
// scan fields), not the terminal's docking steps; the round runs on it.
TEST(WinForm, RehearsalSaysWhatToDoInTheSimulator) {
  const std::string dir = FullPath(FreshDir("form_rehearsal"));
  StandinEnv env(dir);  // the simulated terminal's memory in this test's folder
  const std::string program = dir + "prog\\";
  CreateDirectoryA(program.c_str(), nullptr);
  CreateDirectoryA((program + "simulator").c_str(), nullptr);
  ASSERT_TRUE(CopyFileA((BinDir() + "kolektor-test.exe").c_str(),
                        (program + "kolektor-test.exe").c_str(), FALSE));
  for (const char* part : {"terminal.exe", "DLOOKUP2.EXE", "IR_READ2.EXE"})
    ASSERT_TRUE(
        CopyFileA((BinDir() + part).c_str(), (program + "simulator\\" + part).c_str(), FALSE));
  CreateDirectoryA((dir + "INW").c_str(), nullptr);
  WriteFileBytes(dir + "exp.txt", Cp1250("TOW;5901234123457;Mąka;189;249;12000;5\r\n"));
  FormProcess form(dir + "kolektor-test.ini",
                   {program + "kolektor-test.exe", BinDir() + "kolektor.dll", dir});
  form.Type(id::kGoodsPath, dir + "exp.txt");
  form.Type(id::kCountsPath, dir + "INW\\imp.txt");
  ASSERT_TRUE(form.Enabled(id::kRehearsal));
  form.Tick(id::kRehearsal, true);
  EXPECT_HAS(form.Text(id::kInstruction),
             W("Próba z symulatorem: terminal i dok nie są potrzebne"));

  std::wstring log = form.Press(id::kExport, W("wynik: "));
  EXPECT_HAS(log, W("wynik: 1 (zrobione)"));
  EXPECT_HAS(log, W("W symulatorze: Próba z symulatorem: terminal i dok nie są potrzebne, towary"));
  const std::wstring steps = form.Text(id::kInstruction);
  EXPECT_HAS(steps, W("wpisz kod w polu \"Kod\", ilość w polu \"Ilość\" i naciśnij \"Zeskanuj\""));
  const std::wstring docking =
      host::WideFromCp1250(host::Property(LoadPlugin(), property::kLoadFromHost)).substr(0, 20);
  for (const std::wstring& shown : {log, steps}) {
    EXPECT_FALSE(Has(shown, docking)) << host::Utf8FromWide(shown);
    EXPECT_FALSE(Has(shown, W("Na terminalu:")));
  }
  form.Type(id::kScanCode, "5901234123457");
  form.Type(id::kScanQuantity, "3");
  EXPECT_HAS(form.Press(id::kScan, W("Symulator: ")),
             W("Symulator: zeskanowano kod 5901234123457"));
  log = form.Press(id::kImport, W("wynik: "));
  EXPECT_HAS(log,
             W("W symulatorze: Próba z symulatorem: terminal i dok nie są potrzebne. Symulator"));
  EXPECT_HAS(form.Text(id::kInstruction), W("\"Wyczyść pamięć\" usuwa zeskanowane ilości"));
  EXPECT_HAS(log, W("wynik: 1 (zrobione)"));
  EXPECT_EQ(ReadFileBytes(dir + "INW\\imp.txt"), "INW;5901234123457;03000\r\n");
  form.Tick(id::kRehearsal, false);
  EXPECT_EQ(form.Text(id::kInstruction), L"") << "the simulator's steps go with the rehearsal";
}

// Without its plug-in the form says why once, still checks the
// installation, touches no trace file, and takes the DLL the person
// chooses in its file dialog.
TEST(WinForm, WithoutItsPluginItExplainsOnceChecksAndLetsTheDllBeChosen) {
  const std::string dir = FreshDir("form_no_plugin");
  FormProcess form(dir + "kolektor-test.ini", {"", dir + "kolektor.dll", dir});
  EXPECT_HAS(form.Text(id::kPluginLine),
             W("Wtyczka nie jest załadowana: nie ma pliku " + dir + "kolektor.dll"));
  EXPECT_EQ(CountOf(form.Log(), W("nie ma pliku")), 1) << host::Utf8FromWide(form.Log());
  EXPECT_FALSE(form.Enabled(id::kExport));
  EXPECT_FALSE(form.Enabled(id::kTrace));
  ASSERT_TRUE(form.Enabled(id::kCheck));
  const std::wstring log = form.Press(id::kCheck, W("Sprawdzenie zakończone"));
  EXPECT_HAS(log, W("UWAGA: Formularz nie ma załadowanej wtyczki"));
  EXPECT_HAS(log, W("    Jak naprawić: Wskaż plik wtyczki przyciskiem \"Wybierz wtyczkę\""));
  EXPECT_HAS(log, W("UWAGA: Portu nie sprawdzono"));
  form.Tick(id::kTrace, true);  // disabled: nothing happens
  for (const std::string& stray : {dir + "kolektor.log", BinDir() + "kolektor.log"})
    EXPECT_FALSE(Exists(stray)) << stray;

  const std::size_t before = form.Log().size();
  form.Click(id::kChoosePlugin);
  ASSERT_TRUE(form.ChooseInDialog(BinDir() + "kolektor.dll"));
  EXPECT_HAS(form.WaitForLog(before, W("Załadowano wtyczkę")),
             W("Załadowano wtyczkę " + BinDir() + "kolektor.dll, wersja 1.0.0."));
  EXPECT_HAS(form.Text(id::kPluginLine), W("Wtyczka: " + BinDir() + "kolektor.dll"));
  EXPECT_EQ(Shown(form.Text(id::kParamLabel + 4)), L"Timeout") << "all five settings";
  EXPECT_TRUE(form.Enabled(id::kExport));
  // The window grew to hold the settings the plug-in brought.
  RECT client{}, scan{};
  GetClientRect(form.window(), &client);
  GetWindowRect(form.Item(id::kScan), &scan);
  MapWindowPoints(nullptr, form.window(), reinterpret_cast<POINT*>(&scan), 2);
  EXPECT_LE(scan.bottom, client.bottom) << "the last row is inside the window";
}

// The trace box acts beside the plug-in the form has loaded, and the last
// lines of any file are shown without harm.
TEST(WinForm, TraceBoxActsBesideTheLoadedPluginAndShowsAnyFile) {
  const std::string dir = FullPath(FreshDir("form_trace"));
  const std::string plugin_dir = dir + "plug\\";
  CreateDirectoryA(plugin_dir.c_str(), nullptr);
  ASSERT_TRUE(
      CopyFileA((BinDir() + "kolektor.dll").c_str(), (plugin_dir + "kolektor.dll").c_str(), FALSE));
  FormProcess form(dir + "kolektor-test.ini", {"", plugin_dir + "kolektor.dll", dir});
  const std::string trace = plugin_dir + "kolektor.log";
  form.Tick(id::kTrace, true);
  EXPECT_HAS(form.Log(), W("Ślad diagnostyczny włączony: " + trace));
  EXPECT_TRUE(Exists(trace));

  std::string many;
  for (int i = 0; i < 5000; ++i) many += "line " + std::to_string(i) + "\n";
  const struct Case {
    const char* name;
    std::string bytes;
    std::wstring shown;
  } cases[] = {
      {"empty", "", L"jest pusty"},
      {"only a line end", "\n", L"jest pusty"},
      {"only CR LF", "\r\n\r\n", L"jest pusty"},
      {"zero bytes, broken UTF-8", std::string("a\0b\xff\xfe\n", 6), L"a b\xFFFD"},
      {"one line longer than the tail", std::string(20000, 'x'), std::wstring(16384, L'x')},
      {"the tail of many lines", many, L"---\r\nline "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteFileBytes(trace, c.bytes);
    EXPECT_HAS(form.Press(id::kShowTrace, c.shown), c.shown);
    EXPECT_TRUE(form.Running());
  }
  EXPECT_HAS(form.Log(), L"line 4999\r\n");
  form.Tick(id::kTrace, false);
  EXPECT_FALSE(Exists(trace));
  for (const std::string& stray : {dir + "kolektor.log", BinDir() + "kolektor.log"})
    EXPECT_FALSE(Exists(stray)) << stray;
}

// Closed while an operation runs, the form asks, then waits for the
// operation before it goes: the worker uses the plug-in and the window.
TEST(WinForm, ClosedDuringAnOperationItWaitsForIt) {
  const std::string dir = FullPath(FreshDir("form_close"));
  // The plug-in's trace tells whether its operation ran to its end.
  ASSERT_TRUE(
      CopyFileA((BinDir() + "kolektor.dll").c_str(), (dir + "kolektor.dll").c_str(), FALSE));
  WriteFileBytes(dir + "kolektor.log", "");
  FormProcess form(dir + "kolektor-test.ini", {"", dir + "kolektor.dll", dir});
  form.Type(id::kGoodsPath, dir + "nie-ma.txt");  // fails after the export's 4 s pause
  SendMessageW(form.Item(id::kExport), BM_CLICK, 0, 0);
  PostMessageW(form.window(), WM_CLOSE, 0, 0);
  HWND question = nullptr;
  for (int i = 0; i < 50 && question == nullptr; ++i) {
    Sleep(100);
    for (HWND box : form.Windows(L"#32770"))
      if (IsWindowVisible(box)) question = box;
  }
  ASSERT_NE(question, nullptr) << "the form asks first";
  SendMessageW(GetDlgItem(question, IDYES), BM_CLICK, 0, 0);
  for (int i = 0; i < 300 && form.Running(); ++i) Sleep(50);
  EXPECT_FALSE(form.Running()) << "closed once the operation ended";
  const std::string trace = ReadFileBytes(dir + "kolektor.log");
  EXPECT_NE(trace.find("result 0 after "), std::string::npos)
      << "the operation ended before the form:\n"
      << trace;
  EXPECT_TRUE(Exists(dir + "kolektor-test.ini")) << "and kept its settings as on any close";
}

// Every "(błąd systemu N)" the programs show gets Windows' reason beside
// it, in Polish: Windows' own text where it has one, else the programs'
// for the common codes; a number already explained, or one without a
// known reason, stays as it is.
TEST(WinForm, SystemErrorNumbersGetTheirReasonInPolish) {
  for (const ui::SystemErrorReason& common : ui::kSystemErrorReasons) {
    const std::string reason = host::SystemErrorText(common.code);
    SCOPED_TRACE(std::to_string(common.code) + ": " + reason);
    ASSERT_FALSE(reason.empty());
    EXPECT_NE(reason.back(), '.') << "a phrase beside the number, not a sentence";
    EXPECT_EQ(reason.find('\n'), std::string::npos);
  }
  EXPECT_EQ(host::SystemErrorText(0x20001234), "") << "a code no one knows";
  const std::string denied = host::SystemErrorText(ERROR_ACCESS_DENIED);
  const std::string missing = host::SystemErrorText(ERROR_FILE_NOT_FOUND);
  const struct Case {
    std::string text, shown;
  } cases[] = {
      {"(błąd systemu 5)", "(błąd systemu 5: " + denied + ")"},
      {"a (błąd systemu 2) b (błąd systemu 5).",
       "a (błąd systemu 2: " + missing + ") b (błąd systemu 5: " + denied + ")."},
      {"(błąd systemu 5: odmowa dostępu)", "(błąd systemu 5: odmowa dostępu)"},
      {"(błąd systemu )", "(błąd systemu )"},
      {"(błąd systemu 5", "(błąd systemu 5"},
      {"(błąd systemu 536875572)", "(błąd systemu 536875572)"},
      {"(błąd systemu 99999999999999999999999)", "(błąd systemu 99999999999999999999999)"},
      {"bez numeru", "bez numeru"},
  };
  for (const Case& c : cases) EXPECT_EQ(host::WithSystemErrorReasons(c.text), c.shown) << c.text;
}

// Each way a DLL can fail to be a plug-in, said once, in Polish.
TEST(WinForm, EveryLoadFailureIsExplained) {
  const std::string dir = FreshDir("form_load");
  std::string library = ReadFileBytes(BinDir() + "kolektor.dll");
  ASSERT_GT(library.size(), 0x100u);
  WriteFileBytes(dir + "text.dll", "not a library\r\n");
  const std::size_t pe =
      static_cast<unsigned char>(library[0x3C]) | static_cast<unsigned char>(library[0x3D]) << 8;
  // A DLL of the other machine: a 64-bit one for the shipped 32-bit
  // programs, a 32-bit one for the 64-bit test build.
  constexpr bool k64 = sizeof(void*) == 8;
  const WORD other = k64 ? IMAGE_FILE_MACHINE_I386 : IMAGE_FILE_MACHINE_AMD64;
  library[pe + 4] = static_cast<char>(other & 0xFF);
  library[pe + 5] = static_cast<char>(other >> 8);
  WriteFileBytes(dir + "other.dll", library);
  ASSERT_TRUE(CopyFileA((BinDir() + "zrbhost.exe").c_str(), (dir + "program.dll").c_str(), FALSE));
  char system[MAX_PATH] = {};
  GetSystemDirectoryA(system, MAX_PATH);
  const struct Case {
    std::string path, said;
  } cases[] = {
      {dir + "kolektor.dll", "nie ma pliku " + dir + "kolektor.dll"},
      {dir + "text.dll", "plik " + dir + "text.dll nie jest biblioteką DLL systemu Windows"},
      {dir + "other.dll", dir + (k64 ? "other.dll nie jest 64-bitową biblioteką DLL"
                                     : "other.dll nie jest 32-bitową biblioteką DLL")},
      {dir + "program.dll", dir + "program.dll jest programem, a nie biblioteką DLL"},
      {std::string(system) + "\\version.dll",
       "version.dll nie jest wtyczką ZRB: brak funkcji ZRBDLLTypBiblioteki, "
       "ZRBDLLRejestrujBiblioteke"},
  };
  for (const Case& c : cases) {
    host::Plugin plugin;
    std::string error;
    EXPECT_FALSE(host::LoadPlugin(c.path, plugin, error)) << c.path;
    EXPECT_NE(error.find(c.said), std::string::npos) << error;
    EXPECT_EQ(error.find("załadować"), std::string::npos) << "no vague second reason: " << error;
    EXPECT_EQ(plugin.module, nullptr);
  }
}

}  // namespace
}  // namespace kolektor::wintest
