// The texts of the programs around the plug-in: zrbhost, its commands on
// the files around the plug-in, the host library, the installation check and
// the test form, in Polish (UTF-8). Those of the portable tools they call are
// in tools/tool_texts.h, the plug-in's own in base/texts.h.
#pragma once

#include <cstddef>
#include <iterator>
#include <string_view>

#include "tools/tool_texts.h"

// "{1}", "{2}"... stand for the values Fill puts in.
namespace kolektor::ui {

// zrbhost: the plug-in driven as the host drives it.
// Within 79 columns, so that a console 80 wide never breaks a word.
inline constexpr std::string_view kHostUsage =
    "użycie: zrbhost [OPCJE] POLECENIE\n"
    "opcje:\n"
    "  --dll PLIK           wtyczka; bez tej opcji kolektor.dll obok zrbhost, a gdy\n"
    "                       jej tam nie ma, ta z folderu ZRB (wartość Binaria)\n"
    "  --settings PLIK      ustawienia z pliku: wiersze nazwa=wartość\n"
    "  --set nazwa=wartość  jedno ustawienie (można powtarzać)\n"
    "  --yes                przy odczycie zamyka za ciebie pięć okien wtyczki\n"
    "polecenia:\n"
    "  describe                     ustawienia i właściwości wtyczki\n"
    "  export TOWARY                wysyła plik towarów do terminala\n"
    "  import INWENTARYZACJA        odczytuje ilości z terminala i mówi, ile pozycji\n"
    "                               przyszło; wtyczka pokazuje pięć okien, które\n"
    "                               opcja --yes zamyka sama\n"
    "  clear                        zerowanie (przycisk \"Zeruj\" w ZRB): wtyczka\n"
    "                               tylko czeka sekundę i zgłasza wykonanie, nie\n"
    "                               zmienia terminala, plików ani dziennika; nie\n"
    "                               jest potrzebne (pamięć terminala czyść w samym\n"
    "                               terminalu, po udanym odczycie)\n"
    "  check TOWARY                 błędy i ostrzeżenia pliku towarów\n"
    "  journal DZIENNIK [--extract N INWENTARYZACJA [--unfinished]]\n"
    "                               bloki dziennika Inwent.bak; --extract zapisuje\n"
    "                               blok N jako plik inwentaryzacji (niedokończony\n"
    "                               tylko z --unfinished)\n"
    "  journal DZIENNIK --repair    usuwa niedokończony blok, jak następny odczyt;\n"
    "                               odmawia, gdy do folderu trwa import\n"
    "  convert DANE INWENTARYZACJA  zamienia a.dat (także zachowaną kopię) na plik\n"
    "                               inwentaryzacji\n"
    "  report TOWARY INWENTARYZACJA RAPORT.csv\n"
    "                               stan z pliku towarów obok policzonych ilości\n"
    "  messages                     spis komunikatów wtyczki z objaśnieniami\n"
    "  support [FOLDER] [--goods TOWARY] [--counts INWENTARYZACJA] [--records]\n"
    "                               zapisuje w folderze (bez niego: na pulpicie)\n"
    "                               plik kolektor-serwis-<data>.txt dla serwisu:\n"
    "                               wersje, sprawdzenie instalacji, rejestr,\n"
    "                               ustawienia, dziennik, kopie a.dat i ślad;\n"
    "                               --records dodaje ilości z ostatniego bloku\n"
    "                               dziennika. Niczego nie zmienia w folderach.\n"
    "  setup                        pokazuje wartość Binaria\n"
    "  setup --install-dir FOLDER [--force]\n"
    "                               zapisuje wartość Binaria (komputer do prób)\n"
    "  help                         ten opis\n"
    "kody wyjścia:\n"
    "  0  zrobione (check: plik bez błędów i ostrzeżeń)\n"
    "  1  wtyczka zgłosiła błąd, plik ma błędy, setup albo journal --repair\n"
    "     odmówił zmiany\n"
    "  2  błędne polecenie lub ustawienie, brak pliku albo wtyczki\n"
    "  3  check: plik bez błędów, ale z ostrzeżeniami; import: wtyczka zgłosiła\n"
    "     wykonanie, ale odczyt nie przyniósł żadnej pozycji\n";

// What was wrong with the command line: one line, then one pointing to
// the help.
inline constexpr std::string_view kHostUnknownCommand = "nieznane polecenie \"{1}\"";
inline constexpr std::string_view kHostSeeHelp = "Polecenia i opcje opisuje: zrbhost help";
inline constexpr std::string_view kHostMissingArgument = "{1}: brakuje argumentu {2}";
inline constexpr std::string_view kHostExtraArgument = "{1}: zbędny argument \"{2}\"";
inline constexpr std::string_view kHostCommandUsage = "Użycie: zrbhost {1}";
inline constexpr std::string_view kHostUnknownOption = "nieznana opcja \"{1}\"";
inline constexpr std::string_view kHostOptionValue = "opcja {1}: brakuje wartości {2}";
inline constexpr std::string_view kHostSetNeedsEquals =
    "opcja --set: \"{1}\" nie ma postaci nazwa=wartość";

// Loading a plug-in: each failure said once.
inline constexpr std::string_view kLoadNoFile = "nie ma pliku {1}";
inline constexpr std::string_view kLoadNotPe = "plik {1} nie jest biblioteką DLL systemu Windows";
inline constexpr std::string_view kLoadNot32Bit =
    "{1} nie jest 32-bitową biblioteką DLL: ZRB, formularz i zrbhost ładują tylko "
    "32-bitowe (taka jest kolektor.dll z instalatora)";
// The 64-bit test build of the form and zrbhost (never shipped) loads only
// a DLL of its own kind.
inline constexpr std::string_view kLoadNot64Bit =
    "{1} nie jest 64-bitową biblioteką DLL: ta 64-bitowa wersja próbna formularza i zrbhost "
    "ładuje tylko 64-bitowe (ZRB i kolektor.dll z instalatora są 32-bitowe)";
inline constexpr std::string_view kLoadNotDll = "{1} jest programem, a nie biblioteką DLL";
inline constexpr std::string_view kLoadMissingDependency =
    "nie można załadować {1}: brakuje biblioteki systemowej, której ona potrzebuje (błąd "
    "systemu {2})";
inline constexpr std::string_view kLoadDenied =
    "brak dostępu do pliku {1} (błąd systemu {2}): sprawdź uprawnienia do folderu";
inline constexpr std::string_view kLoadInitFailed =
    "biblioteka {1} zgłosiła błąd przy ładowaniu (błąd systemu {2})";
inline constexpr std::string_view kHostCannotLoad = "nie można załadować {1} (błąd systemu {2})";
inline constexpr std::string_view kHostMissingEntryPoints =
    "{1} nie jest wtyczką ZRB: brak funkcji {2}";
inline constexpr std::string_view kFindNoZrbFolder =
    "nie ma kolektor.dll w folderze programu ({1}), a rejestr nie podaje folderu ZRB "
    "(wartość Binaria w kluczu {2})";
inline constexpr std::string_view kFindNowhere =
    "nie ma kolektor.dll ani w folderze programu ({1}), ani w folderze ZRB ({2})";
inline constexpr std::string_view kHostNameTheDll = "Wskaż plik wtyczki opcją --dll PLIK.";
inline constexpr std::string_view kHostLoadedFromZrb =
    "Wtyczka z folderu ZRB (wartość Binaria): {1}";
// Within 79 columns, so that the command stays on one line.
inline constexpr std::string_view kSetupHowToChange =
    "Inny folder ZRB zapiszesz: zrbhost setup --install-dir FOLDER --force";
inline constexpr std::string_view kSetupHowToWrite =
    "Folder ZRB zapiszesz (jako administrator): zrbhost setup --install-dir FOLDER";
inline constexpr std::string_view kHostNoParameter = "wtyczka nie ma ustawienia \"{1}\"";
inline constexpr std::string_view kHostNotANumber = "{1}=\"{2}\" nie jest liczbą od {3} do {4}";
inline constexpr std::string_view kHostNotAChoice = "{1}=\"{2}\" nie jest żadną z wartości: {3}";
inline constexpr std::string_view kHostSettingsFile =
    "nie można odczytać pliku ustawień {1} (błąd systemu {2})";
inline constexpr std::string_view kHostType = "Typ biblioteki: {1}";
inline constexpr std::string_view kHostPluginFile = "Wtyczka: {1}, wersja {2}";
inline constexpr std::string_view kHostSettings = "Ustawienia:";
inline constexpr std::string_view kHostNumberSetting =
    "  {1} ({2}), domyślnie \"{3}\", liczba od {4} do {5}";
inline constexpr std::string_view kHostChoiceSetting =
    "  {1} ({2}), domyślnie \"{3}\", do wyboru: {4}";
inline constexpr std::string_view kHostNow = "      teraz: \"{1}\"";
inline constexpr std::string_view kHostProperties = "Właściwości:";
inline constexpr std::string_view kHostStatus = "stan: {1}";
inline constexpr std::string_view kHostError = "błąd: {1}";
inline constexpr std::string_view kHostMessageBox = "okno komunikatu [{1}]: {2}";
inline constexpr std::string_view kHostResult = "wynik: {1} ({2})";
// The clear step waits a second and reports success: it clears nothing.
inline constexpr std::string_view kHostClearResult =
    "wynik: {1} (zrobione; zerowanie nie zmienia terminala ani plików)";
inline constexpr std::string_view kHostWarning = "ostrzeżenie: {1}";
inline constexpr std::string_view kHostFiveBoxes =
    "Wtyczka pokaże teraz pięć okien (sciezka_a, sciezka_bak, download, invent_dir, "
    "sciezka) i czeka, aż każde zamkniesz przyciskiem OK. Opcja --yes zamyka je sama.";

// zrbhost setup.
inline constexpr std::string_view kSetupKey = "Klucz ZRB w rejestrze: {1}";
inline constexpr std::string_view kSetupCurrent = "Obecna wartość Binaria: {1}";
inline constexpr std::string_view kSetupNoValue = "W tym kluczu nie ma wartości Binaria.";
inline constexpr std::string_view kSetupWouldReplace =
    "wartość Binaria już jest w rejestrze i ZRB jej używa; zostaje bez zmian. Zmień ją "
    "tylko na komputerze do prób, dodając --force.";
inline constexpr std::string_view kSetupNoFolder = "folder {1} nie istnieje";
inline constexpr std::string_view kSetupTooLong =
    "ścieżka jest za długa (znaków: {1}), a ZRB przyjmuje najwyżej 229";
inline constexpr std::string_view kSetupNoRights =
    "nie można zapisać wartości Binaria w kluczu {1} (błąd systemu {2}): uruchom wiersz "
    "poleceń jako administrator";
inline constexpr std::string_view kSetupWritten = "Zapisano w {1}:\n  Binaria = {2}";

// zrbhost check, journal, convert, report.
// {1} says what the file is to the person, {2} its path; the system's
// error number follows, with Windows' reason beside it where shown.
inline constexpr std::string_view kToolCannotOpen = "nie można otworzyć {1} {2}";
inline constexpr std::string_view kToolCannotWrite = "nie można zapisać {1} {2}";
inline constexpr std::string_view kRoleFile = "pliku";
inline constexpr std::string_view kRoleGoodsFile = "pliku towarów";
inline constexpr std::string_view kRoleCountsFile = "pliku inwentaryzacji";
inline constexpr std::string_view kRoleJournal = "dziennika";
inline constexpr std::string_view kRoleDataFile = "pliku danych z terminala";
inline constexpr std::string_view kRoleReport = "raportu";
inline constexpr std::string_view kRoleSettings = "pliku ustawień";
inline constexpr std::string_view kCheckFault = "wiersz {1}, bajt {2}: ";
inline constexpr std::string_view kCheckWarning = "wiersz {1}: ostrzeżenie: {2}";
inline constexpr std::string_view kCheckWarningNoLine = "ostrzeżenie: {1}";
inline constexpr std::string_view kCheckReadError = "nie można odczytać pliku do końca";
inline constexpr std::string_view kCheckSummary = "Wierszy: {1}, błędów: {2}, ostrzeżeń: {3}.";
inline constexpr std::string_view kCheckToTerminal = "Do terminala trafi towarów: {1}.";
inline constexpr std::string_view kCheckNothingToTerminal =
    "Eksport zatrzyma się na pierwszym błędzie: do terminala nie trafi nic.";
inline constexpr std::string_view kJournalTitle = "Dziennik {1}";
inline constexpr std::string_view kJournalColumns =
    "    nr  rodzaj   data                   pozycji      suma ilości";
inline constexpr std::string_view kJournalImport = "import";
inline constexpr std::string_view kJournalExport = "eksport";
inline constexpr std::string_view kJournalDouble =
    "<- te same ilości co blok {1}: prawdopodobnie podwójny odczyt";
// An import that brought nothing still writes its block: the header alone.
inline constexpr std::string_view kJournalEmpty = "<- pusty: odczyt nie przyniósł żadnej pozycji";
inline constexpr std::string_view kJournalSummary = "Bloków: {1}, prawdopodobnie podwójnych: {2}.";
inline constexpr std::string_view kJournalOutside = "Wierszy przed pierwszym blokiem: {1}.";
inline constexpr std::string_view kJournalNoBlock = "dziennik nie ma bloku {1}";
inline constexpr std::string_view kJournalExtracted = "Blok {1} (pozycji: {2}) zapisany do {3}.";
inline constexpr std::string_view kConvertDone = "Zamieniono {1} na {2}: rekordów {3}.";
inline constexpr std::string_view kConvertStopped =
    "Zamiana {1} na {2} zatrzymana na błędzie; zapisanych rekordów: {3}.";
inline constexpr std::string_view kReportWritten = "Raport zapisany: {1}";

// The support file (zrbhost support, the form's "Zbierz dane dla serwisu"):
// one plain-text file a shop can e-mail to the support person.
inline constexpr std::string_view kSupportFileName = "kolektor-serwis-{1}.txt";
inline constexpr std::string_view kSupportTitle = "kolektor - dane dla serwisu";
inline constexpr std::string_view kSupportMade = "Zapisano: {1}, program {2}.";
inline constexpr std::string_view kSupportNoGoodsData =
    "Plik nie zawiera kodów ani ilości towarów (zrbhost support --records dodaje ilości z "
    "ostatniego bloku dziennika). Zbieranie danych niczego nie zmienia w folderach.";
inline constexpr std::string_view kSupportWithGoodsData =
    "Na życzenie plik zawiera kody i ilości z ostatniego bloku dziennika. Zbieranie danych "
    "niczego nie zmienia w folderach.";
inline constexpr std::string_view kSupportVersions = "Wersje i system";
inline constexpr std::string_view kSupportPlugin = "kolektor.dll: {1}, wersja {2}";
inline constexpr std::string_view kSupportNoPlugin = "kolektor.dll: nie załadowano ({1})";
inline constexpr std::string_view kSupportProgram = "{1}: {2}";
inline constexpr std::string_view kSupportMissingProgram = "brak w folderze {1}";
inline constexpr std::string_view kSupportWindows = "Windows: {1} {2}, {3}";
inline constexpr std::string_view kSupport64 = "64-bitowy";
inline constexpr std::string_view kSupport32 = "32-bitowy";
inline constexpr std::string_view kSupportCodePages = "Strona kodowa: ANSI {1}, konsoli (OEM) {2}";
inline constexpr std::string_view kSupportDpi = "DPI ekranu: {1} ({2}%)";
inline constexpr std::string_view kSupportCheck = "Sprawdzenie instalacji";
inline constexpr std::string_view kSupportRegistry = "Rejestr: wartość Binaria w obu widokach";
inline constexpr std::string_view kSupportViewRead =
    "Widok 32-bitowy, który czytają ZRB i wtyczka ({1}): {2}";
inline constexpr std::string_view kSupportViewOther =
    "Widok 64-bitowy, którego ZRB i wtyczka nie czytają ({1}): {2}";
inline constexpr std::string_view kSupportOneView =
    "Windows 32-bitowy ma jeden widok rejestru ({1}): {2}";
inline constexpr std::string_view kSupportValue = "Binaria = {1}";
inline constexpr std::string_view kSupportNoKey = "brak klucza";
inline constexpr std::string_view kSupportNoValue = "klucz bez wartości Binaria";
inline constexpr std::string_view kSupportBadValue =
    "Binaria nie jest tekstem albo ma ponad 229 znaków";
inline constexpr std::string_view kSupportSettings = "Ustawienia";
inline constexpr std::string_view kSupportSetting = "{1} ({2}) = \"{3}\"";
inline constexpr std::string_view kSupportNoSettings = "(brak: wtyczka nie jest załadowana)";
inline constexpr std::string_view kSupportPaths = "Plik towarów: {1}\nPlik inwentaryzacji: {2}";
inline constexpr std::string_view kSupportNotGiven = "(nie podano)";
inline constexpr std::string_view kSupportCounts = "Plik inwentaryzacji";
inline constexpr std::string_view kSupportJournal = "Dziennik";
inline constexpr std::string_view kSupportNoInventDir =
    "Folder inwentaryzacji nie jest znany: podaj plik inwentaryzacji (zrbhost support "
    "--counts PLIK).";
inline constexpr std::string_view kSupportLastBlock = "Ilości z ostatniego bloku ({1}):";
inline constexpr std::string_view kSupportRecordsCut = "... (pokazano pierwsze {1} wierszy bloku)";
inline constexpr std::string_view kSupportKept = "Pliki a.dat w folderze inwentaryzacji {1}";
inline constexpr std::string_view kSupportKeptFile = "{1}  {2} B  {3}";
inline constexpr std::string_view kSupportImportedFile =
    "{1}  {2} B  {3}  (jego ilości są już w dzienniku; nie przeliczaj go drugi raz)";
inline constexpr std::string_view kSupportNoKept = "(brak)";
inline constexpr std::string_view kSupportTrace = "Ślad diagnostyczny";
inline constexpr std::string_view kSupportTraceOff = "Ślad jest wyłączony (brak pliku {1}).";
inline constexpr std::string_view kSupportTraceLines = "Ostatnie wiersze śladu ({1}): {2}";
inline constexpr std::string_view kSupportTraceUnknown =
    "Ślad: nie wiadomo, której wtyczki (żadna nie jest załadowana).";
inline constexpr std::string_view kSupportWritten =
    "Zapisano plik dla serwisu: {1}\nWyślij go osobie, która pomaga przy instalacji.";
inline constexpr std::string_view kSupportCannotWrite =
    "nie można zapisać pliku dla serwisu w folderze {1} (błąd systemu {2})";

// "Sprawdź instalację" of the test form: one line per check.
// {1} is the key as regedit shows the view that ZRB, its installer, the
// plug-in and our programs read (WOW6432Node on 64-bit Windows).
inline constexpr std::string_view kInstallNoKey =
    "Rejestr: brak klucza {1}, w którym ZRB i wtyczka szukają wartości Binaria.";
inline constexpr std::string_view kInstallNoKeyFix =
    "Zainstaluj ZRB albo napraw jego instalację: instalator ZRB zapisuje ten klucz. Na "
    "komputerze do prób zapisze go (jako administrator): zrbhost setup --install-dir FOLDER.";
inline constexpr std::string_view kInstallNoValue = "Rejestr: klucz {1} nie ma wartości Binaria.";
inline constexpr std::string_view kInstallBadValue =
    "Rejestr: wartość Binaria w kluczu {1} nie jest tekstem albo jest dłuższa niż 229 znaków.";
inline constexpr std::string_view kInstallValueFix =
    "Wartość Binaria (tekst) w kluczu {1} ma wskazywać folder programu ZRB, na przykład "
    "C:\\ZRBWin. Zapisuje ją instalator ZRB; na komputerze do prób (jako administrator): "
    "zrbhost setup --install-dir FOLDER.";
inline constexpr std::string_view kInstallBinaria = "Rejestr: {1}, Binaria = {2}";
// A value in the other (64-bit) view, where regedit shows the plain path:
// ZRB and the plug-in never read it.
inline constexpr std::string_view kInstallWrongPlace =
    "Rejestr: wartość Binaria ({1}) wpisano w niewłaściwym miejscu: jest w kluczu {2}, a ZRB "
    "i wtyczka czytają klucz {3}.";
inline constexpr std::string_view kInstallWrongPlaceFix =
    "Zapisz ją w kluczu {1}: zapisuje ją instalator ZRB (zainstaluj ZRB ponownie), a na "
    "komputerze do prób (jako administrator) zrbhost setup --install-dir FOLDER. Wartość w "
    "kluczu {2} niczego nie zmienia.";
inline constexpr std::string_view kInstallOtherValue =
    "Rejestr: w kluczu {1} jest też inna wartość Binaria ({2}), wpisana w niewłaściwym "
    "miejscu: ZRB i wtyczka jej nie czytają.";
inline constexpr std::string_view kInstallOtherValueFix =
    "Zmieniaj Binaria tylko w kluczu {1} (zrbhost setup --install-dir FOLDER --force); "
    "wartość w kluczu {2} możesz usunąć.";
inline constexpr std::string_view kInstallFolder = "Folder ZRB {1} (z wartości Binaria) istnieje.";
inline constexpr std::string_view kInstallNoFolder =
    "Folder ZRB {1} (z wartości Binaria) nie istnieje.";
inline constexpr std::string_view kInstallNoFolderFix =
    "Popraw wartość Binaria tak, żeby wskazywała folder programu ZRB.";
inline constexpr std::string_view kInstallDlookup = "DLOOKUP2.EXE jest w folderze ZRB.";
inline constexpr std::string_view kInstallNoDlookup = "Brak DLOOKUP2.EXE w folderze ZRB {1}.";
inline constexpr std::string_view kInstallNoDlookupFix =
    "Skopiuj DLOOKUP2.EXE (program producenta terminala, dostarczany z terminalem) do "
    "folderu ZRB.";
inline constexpr std::string_view kInstallZrbPlugin =
    "Wtyczka, którą załaduje ZRB: {1}, wersja {2}.";
inline constexpr std::string_view kInstallNoZrbPlugin =
    "W folderze ZRB {1} nie ma kolektor.dll: ZRB nie zobaczy wtyczki.";
inline constexpr std::string_view kInstallNoZrbPluginFix =
    "Uruchom instalator kolektor i wskaż w nim ten folder ZRB.";
inline constexpr std::string_view kInstallNoPluginLoaded =
    "Formularz nie ma załadowanej wtyczki: nie wykona wysyłania ani odczytu.";
inline constexpr std::string_view kInstallNoPluginLoadedFix =
    "Wskaż plik wtyczki przyciskiem \"Wybierz wtyczkę\" (zwykle kolektor.dll w folderze "
    "ZRB).";
inline constexpr std::string_view kInstallOtherPlugin =
    "Formularz używa wtyczki {1}, a ZRB załaduje {2}.";
inline constexpr std::string_view kInstallOtherPluginFix =
    "Wybierz w formularzu wtyczkę z folderu ZRB (przycisk \"Wybierz wtyczkę\"), żeby próba "
    "sprawdzała to, czego użyje ZRB.";
inline constexpr std::string_view kInstallIrReadBoth =
    "IR_READ2.EXE: ZRB i formularz uruchomią {1}";
inline constexpr std::string_view kInstallNoIrRead =
    "IR_READ2.EXE: ani ZRB, ani formularz go nie znajdą (nie ma go w folderze ZRB, w "
    "folderach systemowych ani w ścieżce PATH).";
inline constexpr std::string_view kInstallNoIrReadFix =
    "Skopiuj IR_READ2.EXE (program producenta terminala) do folderu programu ZRB.";
inline constexpr std::string_view kInstallIrReadOnlyForm =
    "IR_READ2.EXE: ZRB go nie znajdzie, a formularz uruchomi {1}. Odczyt w formularzu się "
    "uda, a w ZRB nie.";
inline constexpr std::string_view kInstallIrReadOnlyFormFix =
    "Przenieś {1} do folderu programu ZRB.";
inline constexpr std::string_view kInstallIrReadDiffer =
    "IR_READ2.EXE: ZRB uruchomi {1}, a formularz {2}.";
inline constexpr std::string_view kInstallIrReadDifferFix =
    "Usuń {1}: formularz ma uruchamiać ten sam program co ZRB.";
inline constexpr std::string_view kInstallRehearsal =
    "Próba z symulatorem: wtyczka dostaje folder {1} zamiast folderu ZRB (tylko w tym "
    "formularzu; wartość Binaria w rejestrze się nie zmienia).";
inline constexpr std::string_view kInstallNoSimulator =
    "W folderze {1} nie ma programów symulatora (DLOOKUP2.EXE, IR_READ2.EXE).";
inline constexpr std::string_view kInstallNoSimulatorFix =
    "Zainstaluj ponownie kolektor ze składnikiem \"Symulator terminala\".";
inline constexpr std::string_view kInstallRehearsalIrRead =
    "IR_READ2.EXE: formularz uruchomi symulator {1}";
inline constexpr std::string_view kInstallRehearsalOther =
    "IR_READ2.EXE: formularz uruchomi {1}, a nie symulator.";
inline constexpr std::string_view kInstallPort = "Port {1} istnieje i daje się otworzyć.";
inline constexpr std::string_view kInstallNoPort = "Port {1} nie istnieje na tym komputerze.";
inline constexpr std::string_view kInstallNoPortFix =
    "Sprawdź numer portu doku w Menedżerze urządzeń (Porty (COM i LPT)) i wpisz go w "
    "ustawieniu \"Port RS232 COM:\"; przejściówka USB musi być podłączona.";
inline constexpr std::string_view kInstallPortBusy = "Port {1} jest zajęty przez inny program.";
inline constexpr std::string_view kInstallPortBusyFix =
    "Zamknij program, który używa portu (inny program terminala, drugi ZRB), i sprawdź "
    "ponownie.";
inline constexpr std::string_view kInstallPortNoDevice =
    "Port {1} jest w systemie, ale nie działa jak port szeregowy (błąd systemu {2}): "
    "urządzenie jest odłączone albo wyłączone.";
inline constexpr std::string_view kInstallPortListed =
    "Port {1} jest w systemie (nie otwierano go: mógłby właśnie przesyłać dane).";
inline constexpr std::string_view kInstallPortNotChecked =
    "Portu nie sprawdzono: bez wtyczki formularz nie zna ustawienia portu.";
inline constexpr std::string_view kInstallPortRehearsal =
    "Port nie jest potrzebny przy próbie z symulatorem; nie sprawdzono go.";
inline constexpr std::string_view kInstallPortError =
    "Portu {1} nie można otworzyć (błąd systemu {2}).";
inline constexpr std::string_view kInstallBadPort =
    "Ustawienie portu \"{1}\" nie jest numerem portu COM.";
inline constexpr std::string_view kInstallBadPortFix = "Wpisz numer portu COM doku, od 1 do 999.";
// {1} the folder's role (one or more of those below), {2} its path, {3}
// what the plug-in keeps there.
inline constexpr std::string_view kInstallWritable = "{1} {2}{3}: zapis możliwy.";
inline constexpr std::string_view kInstallFolderThere =
    "{1} {2}{3} istnieje (zapisu nie sprawdzano).";
inline constexpr std::string_view kInstallNotWritable =
    "{1} {2}{3} nie pozwala na zapis (błąd systemu {4}).";
inline constexpr std::string_view kInstallNotWritableFix =
    "Utwórz folder albo nadaj prawo zapisu użytkownikowi, który pracuje w ZRB.";
struct FolderRole {
  std::string_view name;      // begun with a small letter
  std::string_view contents;  // what the plug-in writes there; may be empty
};
inline constexpr FolderRole kGoodsFolder = {"folder pliku towarów", "plik wymiany \"a\""};
inline constexpr FolderRole kCountsFolder = {"folder pliku inwentaryzacji", ""};
inline constexpr FolderRole kInventFolder = {"folder inwentaryzacji",
                                             "a.dat, Inwent.bak, kolektor.lock"};
inline constexpr std::string_view kRolesJoin = " i ";
inline constexpr std::string_view kZrbFolderRole = "folder ZRB (Binaria)";
inline constexpr std::string_view kInstallNoGoodsPath =
    "Plik towarów nie jest wybrany: folderu towarów nie sprawdzono.";
inline constexpr std::string_view kInstallNoCountsPath =
    "Plik inwentaryzacji nie jest wybrany: folderu inwentaryzacji nie sprawdzono.";
inline constexpr std::string_view kInstallPathFix =
    "Wpisz ścieżkę w formularzu i sprawdź ponownie.";
inline constexpr std::string_view kInstallNoInventDir =
    "Ścieżka pliku inwentaryzacji {1} nie ma dwóch poziomów folderów (folder "
    "inwentaryzacji byłby pusty).";
inline constexpr std::string_view kInstallNoInventDirFix =
    "Plik inwentaryzacji musi leżeć w podfolderze, np. C:\\DANE\\INW\\imp.txt.";
inline constexpr std::string_view kInstallDataFile =
    "W folderze inwentaryzacji leży a.dat z nieudanego odczytu: jego ilości nie dotarły "
    "do ZRB.";
inline constexpr std::string_view kInstallDataFileFix =
    "Następny odczyt przeniesie go pod nazwę a.dat.<czas> (albo a.imp.<czas>, gdy jego ilości "
    "są już ostatnim blokiem dziennika Inwent.bak). Ilości odzyskasz poleceniem zrbhost convert.";
inline constexpr std::string_view kInstallKeptCopies =
    "Zachowane kopie a.dat w folderze inwentaryzacji: {1} (najnowsza: {2}).";
inline constexpr std::string_view kInstallKeptCopiesFix =
    "To ilości nieudanych odczytów. Odzyskasz je poleceniem zrbhost convert KOPIA PLIK.";
inline constexpr std::string_view kInstallImportedCopies =
    "Kopie a.dat, których ilości są już w dzienniku Inwent.bak (a.imp.*): {1} (najnowsza: {2}). "
    "Odczyt zapisał je w dzienniku, ale nie zdążył usunąć a.dat, bo program zamknięto.";
inline constexpr std::string_view kInstallImportedCopiesFix =
    "Nie przeliczaj tych kopii drugi raz. Jeśli ZRB nie przyjął tych ilości (zamknięto go "
    "w trakcie odczytu), weź je z ostatniego bloku dziennika: zrbhost journal Inwent.bak "
    "--extract N PLIK.";
inline constexpr std::string_view kInstallOrphanEnded =
    "Zakończono wstrzymany program IR_READ2.EXE (proces {1}), który został po odczycie "
    "przerwanym zamknięciem ZRB; nie trzymał żadnego pliku.";
inline constexpr std::string_view kInstallJournal = "Dziennik Inwent.bak, wielkość w bajtach: {1}.";
inline constexpr std::string_view kInstallNoJournal =
    "Dziennika Inwent.bak jeszcze nie ma (powstanie przy pierwszym odczycie).";
inline constexpr std::string_view kInstallLocked =
    "W folderze inwentaryzacji trwa właśnie odczyt (plik kolektor.lock jest zajęty).";
inline constexpr std::string_view kInstallLockedFix = "Poczekaj na koniec tamtego odczytu.";
inline constexpr std::string_view kInstallTraceOn = "Ślad diagnostyczny jest włączony: {1}.";
inline constexpr std::string_view kInstallTraceOnFix =
    "Gdy ślad nie jest już potrzebny, wyłącz go w formularzu albo usuń ten plik.";
inline constexpr std::string_view kInstallTraceOff = "Ślad diagnostyczny jest wyłączony.";

// The test form (kolektor-test.exe). "&" marks the letter that Alt with it
// reaches; the letters are all different (the plug-in's labels get the
// free ones).
inline constexpr std::string_view kFormTitle = "kolektor – formularz testowy wtyczki";
inline constexpr std::string_view kFormPlugin = "Wtyczka: {1}   wersja {2}";
inline constexpr std::string_view kFormNoVersion = "nieznana";
inline constexpr std::string_view kFormPluginMissing = "Wtyczka nie jest załadowana: {1}";
inline constexpr std::string_view kFormModel = "Terminal: {1}   Identyfikator wtyczki: {2}";
inline constexpr std::string_view kFormChoosePlugin = "Wy&bierz wtyczkę…";
inline constexpr std::string_view kFormPluginFilter =
    "Wtyczka kolektor (kolektor.dll)|kolektor.dll|Biblioteki DLL (*.dll)|*.dll|Wszystkie "
    "pliki (*.*)|*.*|";
inline constexpr std::string_view kFormSettings = "Ustawienia (z opisu wtyczki)";
inline constexpr std::string_view kFormRange = "od {1} do {2}";
inline constexpr std::string_view kFormGoodsFile = "P&lik towarów:";
inline constexpr std::string_view kFormCountsFile = "Plik inwentaryzac&ji:";
inline constexpr std::string_view kFormBrowse = "...";
inline constexpr std::string_view kFormExport = "&Wyślij towary";
inline constexpr std::string_view kFormImport = "&Odczytaj ilości";
inline constexpr std::string_view kFormClear = "&Zeruj";
// Beside "Zeruj": what the host's clear step does with this plug-in, and
// that it is there only to be tried.
inline constexpr std::string_view kFormClearAbout =
    "Krok zerowania ZRB, do próby: wtyczka tylko czeka sekundę i zgłasza powodzenie. Nie "
    "czyści terminala ani plików.";
inline constexpr std::string_view kFormCheck = "&Sprawdź instalację";
inline constexpr std::string_view kFormSupport = "Zbie&rz dane dla serwisu";
inline constexpr std::string_view kFormTrace = "Ślad dia&gnostyczny";
inline constexpr std::string_view kFormShowTrace = "Pokaż śl&ad";
inline constexpr std::string_view kFormRehearsalGroup = "Próba bez terminala";
inline constexpr std::string_view kFormRehearsal = "Próba z symulatorem termi&nala";
inline constexpr std::string_view kFormSimulatorClear = "W&yczyść pamięć";
inline constexpr std::string_view kFormScanCode = "&Kod:";
inline constexpr std::string_view kFormScanQuantity = "&Ilość:";
inline constexpr std::string_view kFormScan = "Z&eskanuj";
inline constexpr std::string_view kFormLog = "&Dziennik";
inline constexpr std::string_view kFormCopyLog = "Kopi&uj";
inline constexpr std::string_view kFormClearLog = "Wy&czyść dziennik";
inline constexpr std::string_view kFormInstruction = "Co zrobić na terminalu:";
inline constexpr std::string_view kFormExplanation = "Objaśnienie błędów:";
inline constexpr std::string_view kFormFileFilter =
    "Pliki tekstowe (*.txt)|*.txt|Wszystkie pliki (*.*)|*.*|";
inline constexpr std::string_view kFormCloseRunning =
    "Operacja wtyczki jeszcze trwa i formularz nie może jej przerwać. Zamknąć formularz, "
    "gdy się skończy?\r\n\r\nOdczyt kończy się sam po czasie ustawionym w ustawieniach; "
    "wcześniej kończy go zamknięcie okna programu IR_READ2.EXE.";
inline constexpr std::string_view kLogExportStart = "=== Wysyłanie towarów: {1}";
inline constexpr std::string_view kLogImportStart = "=== Odczyt ilości: {1}";
inline constexpr std::string_view kLogClearStart = "=== Zerowanie";
inline constexpr std::string_view kLogOnTerminal = "Na terminalu: {1}";
inline constexpr std::string_view kLogInSimulator = "W symulatorze: {1}";
// What to do in a rehearsal, in place of the plug-in's steps on the
// terminal: the simulator is worked from the form's own fields.
inline constexpr std::string_view kFormSimulatorExport =
    "Próba z symulatorem: terminal i dok nie są potrzebne, towary trafią do pamięci "
    "symulatora. Potem policz towary w ramce \"Próba bez terminala\": wpisz kod w polu "
    "\"Kod\", ilość w polu \"Ilość\" i naciśnij \"Zeskanuj\"; tak każdy towar.";
inline constexpr std::string_view kFormSimulatorImport =
    "Próba z symulatorem: terminal i dok nie są potrzebne. Symulator odda ilości "
    "zeskanowane przyciskiem \"Zeskanuj\"; okna wtyczki zamknij przyciskiem OK jak przy "
    "terminalu. \"Wyczyść pamięć\" usuwa zeskanowane ilości z symulatora.";
inline constexpr std::string_view kLogFolder =
    "Folder bieżący: {1} (folder ZRB), więc programy producenta terminala znajdą się tak "
    "jak w ZRB.";
inline constexpr std::string_view kLogNoZrbFolder =
    "Rejestr nie podaje folderu ZRB (wartość Binaria): formularz zostaje w swoim folderze.";
inline constexpr std::string_view kLogRehearsal =
    "Próba z symulatorem: wtyczka dostaje folder {1} zamiast folderu ZRB; wartość Binaria w "
    "rejestrze się nie zmienia.";
inline constexpr std::string_view kLogRehearsalFailed =
    "Nie można podstawić folderu symulatora w rejestrze tego formularza (błąd systemu {1}); "
    "operacji nie uruchomiono.";
inline constexpr std::string_view kLogParam = "ustawienie \"{1}\" = \"{2}\"";
inline constexpr std::string_view kLogBox = "okno komunikatu [{1}]: {2}";
inline constexpr std::string_view kLogResult = "wynik: {1} ({2}), czas {3} s";
inline constexpr std::string_view kResultDone = "zrobione";
inline constexpr std::string_view kResultFailed = "nie wykonano";
inline constexpr std::string_view kLogCheckStart = "=== Sprawdzenie instalacji";
inline constexpr std::string_view kLogOk = "OK";
inline constexpr std::string_view kLogWarning = "UWAGA";
inline constexpr std::string_view kLogFault = "BŁĄD";
inline constexpr std::string_view kLogFix = "Jak naprawić:";
inline constexpr std::string_view kLogCheckDone = "Sprawdzenie zakończone: błędów {1}, uwag {2}.";
inline constexpr std::string_view kLogBadValue =
    "Wartość \"{1}\" ustawienia \"{2}\" nie jest dozwolona; operacji nie uruchomiono.";
inline constexpr std::string_view kLogNoPath = "Wpisz ścieżkę pliku; operacji nie uruchomiono.";
inline constexpr std::string_view kLogChooseHint =
    "Wskaż plik wtyczki przyciskiem \"Wybierz wtyczkę\"; \"Sprawdź instalację\" działa i bez "
    "niej.";
inline constexpr std::string_view kLogPluginLoaded = "Załadowano wtyczkę {1}, wersja {2}.";
inline constexpr std::string_view kLogCloseWhenDone =
    "Formularz zamknie się po zakończeniu operacji.";
inline constexpr std::string_view kLogTraceOn = "Ślad diagnostyczny włączony: {1}";
inline constexpr std::string_view kLogTraceOff = "Ślad diagnostyczny wyłączony.";
inline constexpr std::string_view kLogTraceCannot =
    "Nie można zmienić pliku {1} (błąd systemu {2}): folder wtyczki bywa chroniony; "
    "uruchom formularz jako administrator.";
inline constexpr std::string_view kLogTraceShow = "--- ostatnie wiersze śladu {1} ---";
inline constexpr std::string_view kLogTraceNone = "Śladu nie ma: włącz go i wykonaj operację.";
inline constexpr std::string_view kLogTraceEmpty = "Ślad {1} jest pusty.";
inline constexpr std::string_view kLogCopied = "Dziennik skopiowany do schowka.";
inline constexpr std::string_view kLogSupportWritten =
    "Dane dla serwisu zapisane w pliku {1}. Wyślij ten plik osobie, która opiekuje się "
    "wtyczką; nie zawiera kodów ani ilości towarów.";
inline constexpr std::string_view kLogSupportFailed = "Nie zapisano danych dla serwisu: {1}";
inline constexpr std::string_view kFormNoExplanation = "(tego tekstu nie ma w tabeli komunikatów)";

// Windows' reasons for the commonest system error codes, for a Windows
// without Polish texts of its own: each "(błąd systemu N)" the programs
// show gets one beside its number.
inline constexpr std::string_view kSystemErrorHead = "(błąd systemu ";
struct SystemErrorReason {
  unsigned long code;
  std::string_view text;
};
inline constexpr SystemErrorReason kSystemErrorReasons[] = {
    {1, "niedozwolona operacja dla tego urządzenia"},
    {2, "nie ma takiego pliku"},
    {3, "nie ma takiej ścieżki"},
    {5, "odmowa dostępu"},
    {15, "nie ma takiego dysku"},
    {19, "nośnik jest zabezpieczony przed zapisem"},
    {21, "urządzenie nie jest gotowe"},
    {31, "urządzenie nie działa"},
    {32, "plik jest używany przez inny program"},
    {33, "część pliku jest zablokowana przez inny program"},
    {53, "nie można odnaleźć ścieżki sieciowej"},
    {64, "połączenie sieciowe zostało przerwane"},
    {67, "nie można odnaleźć udziału sieciowego"},
    {112, "za mało miejsca na dysku"},
    {123, "niepoprawna nazwa pliku lub folderu"},
    {126, "brak biblioteki, której program potrzebuje"},
    {193, "to nie jest program ani biblioteka tego systemu Windows"},
    {206, "nazwa pliku lub ścieżka jest za długa"},
    {1167, "urządzenie nie jest podłączone"},
    {1392, "plik lub folder jest uszkodzony i nie można go odczytać"},
};
constexpr bool SystemErrorCodesAscending() {
  for (std::size_t i = 1; i < std::size(kSystemErrorReasons); ++i)
    if (kSystemErrorReasons[i - 1].code >= kSystemErrorReasons[i].code) return false;
  return true;
}
static_assert(SystemErrorCodesAscending(), "each code once, in order");

// The simulator driven from the form, as a person works the terminal.
inline constexpr std::string_view kLogScanned = "Symulator: zeskanowano kod {1}, ilość {2}.";
inline constexpr std::string_view kLogScanNoTable =
    "Symulator: terminal nie ma listy towarów; najpierw wyślij towary.";
inline constexpr std::string_view kLogScanUnknown =
    "Symulator: kodu {1} nie ma na liście towarów terminala.";
inline constexpr std::string_view kLogScanBadQuantity =
    "Symulator: ilość \"{1}\" odrzucona (najwyżej 8 znaków: cyfry i jeden przecinek albo "
    "kropka).";
inline constexpr std::string_view kLogScanEmpty = "Wpisz kod i ilość.";
inline constexpr std::string_view kLogSimulatorCleared =
    "Symulator: zeskanowane ilości usunięte z pamięci terminala.";
inline constexpr std::string_view kLogSimulatorFailed = "Symulator: {1} zakończył się kodem {2}.";
inline constexpr std::string_view kLogSimulatorCannot =
    "Symulator: nie można uruchomić {1} (błąd systemu {2}).";

// zrbhost journal: a block whose writing was cut short.
inline constexpr std::string_view kJournalUnfinished =
    "<- niedokończony: zapis bloku przerwano (zamknięcie programu, brak zasilania), brakuje "
    "w nim ilości";
inline constexpr std::string_view kJournalRepairPending =
    "Dopisywanie do dziennika przerwano (plik {1}): następny odczyt ilości do tego folderu "
    "usunie niedokończony blok.";
inline constexpr std::string_view kJournalRefuseUnfinished =
    "blok {1} jest niedokończony: jego zapis przerwano i brakuje w nim ilości. Żeby mimo to "
    "zapisać jego pełne wiersze, dodaj --unfinished.";
inline constexpr std::string_view kJournalExtractedUnfinished =
    "Blok {1} jest niedokończony: zapisano tylko jego pełne wiersze (pozycji: {2}) do {3}.";

// zrbhost journal --repair: what the next import does to a block whose
// append was cut short, done by hand, under the folder's import lock.
inline constexpr std::string_view kRepairNothing =
    "Dziennik {1} jest kompletny: żadne dopisywanie nie zostało przerwane. Nic nie zmieniono.";
inline constexpr std::string_view kRepairCut =
    "Usunięto niedokończony blok z końca dziennika {1}: skrócono go z {2} do {3} bajtów, tak "
    "jak zrobiłby to następny odczyt ilości. Usunięto też plik {4}.";
inline constexpr std::string_view kRepairRecordOnly =
    "Usunięto plik {1}: przerwane dopisywanie nie zostawiło w dzienniku {2} żadnych bajtów "
    "ponad rozmiar sprzed dopisywania, więc dziennika nie zmieniono.";
inline constexpr std::string_view kRepairBusy =
    "do folderu {1} trwa właśnie import (plik blokady {2} jest zajęty): dziennika nie "
    "naprawiono. Spróbuj ponownie po zakończeniu importu.";
inline constexpr std::string_view kRepairNoLock =
    "nie można założyć blokady {1} (brak prawa zapisu do folderu, plik tylko do odczytu albo "
    "folder o tej nazwie): dziennika nie naprawiono.";
inline constexpr std::string_view kRepairFailed =
    "nie udało się naprawić dziennika {1} (plik zajęty przez inny program albo brak prawa "
    "zapisu). Spróbuj ponownie; dopóki jest plik {2}, naprawi go też następny odczyt ilości.";

}  // namespace kolektor::ui
