// Every text of the product in one place: what the plug-in shows the host
// or writes into a file (written here in UTF-8, held as Windows-1250 bytes,
// see cp1250.h), the explanation of each of them, and the texts of the
// tools around it (zrbhost, the test form; UTF-8). The setup program's own
// texts are in its NSIS script, in Polish and English.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "plugin/cp1250.h"

namespace kolektor::text {

#define KOLEKTOR_TEXT(name, utf8) inline constexpr auto name = ToCp1250(utf8)

// Progress notice of the export and the import; the host expects the
// leading line feed.
KOLEKTOR_TEXT(kTransactionInProgress, "\nTransakcja w toku...");

// Parameter names and their fixed choice texts.
KOLEKTOR_TEXT(kParamPort, "port");
KOLEKTOR_TEXT(kParamBaud, "baud");
KOLEKTOR_TEXT(kParamCena, "cena");
KOLEKTOR_TEXT(kParamMaxKod, "maxKod");
KOLEKTOR_TEXT(kParamTimeout, "timeout");

KOLEKTOR_TEXT(kLabelPort, "Port RS232 COM:");
KOLEKTOR_TEXT(kLabelBaud, "Prędkość");
KOLEKTOR_TEXT(kLabelCena, "Poziom cen");
KOLEKTOR_TEXT(kLabelMaxKod, "Max. długość kodu kreskowego");
KOLEKTOR_TEXT(kLabelTimeout, "Timeout");
static_assert(kLabelMaxKod.size == 28, "the maxKod label is 28 bytes in Windows-1250");

KOLEKTOR_TEXT(kCenaDet, "Cena det");
KOLEKTOR_TEXT(kCenaZak, "Cena zak");

// Property texts: the terminal model, the library identifier and the
// user's instructions for both directions.
KOLEKTOR_TEXT(kPropertyModel, "CipherLab 8x00");
KOLEKTOR_TEXT(kPropertyIdentifier, "RX_Valdor");
KOLEKTOR_TEXT(kPropertySendToHost,
              "Włącz zasilanie doku, sprawdź połączenie RS232 z komputerem,\n"
              "następnie umieść inwentaryzator w doku i załącz go.\n\n"
              "Wybierz z menu głównego: 2.WYSLIJ DO ZRB. poczym DATA FILE");
KOLEKTOR_TEXT(kPropertyLoadFromHost,
              "Włącz zasilanie doku, sprawdź połączenie RS232 z komputerem,\n"
              "następnie umieść inwentaryzator w doku i załącz go.\n\n"
              "Wybierz z menu głównego 3.KONFIGURACJA poczym 8.POBR. DANYCH Z ZRB.");
static_assert(kPropertySendToHost.size == 172);
static_assert(kPropertyLoadFromHost.size == 181);

// Failures of the export command.
KOLEKTOR_TEXT(kGoodsOpenFailed, "Błąd otwarcia pliku \"exp\".");
KOLEKTOR_TEXT(kWorkFileOpenFailed, "Błąd otwarcia pliku roboczego.");
KOLEKTOR_TEXT(kWorkFileWriteFailed, "Błąd zapisu do pliku roboczego.");
KOLEKTOR_TEXT(kRegistryOpenFailed, "Błąd otwarcia rejestru.");
KOLEKTOR_TEXT(kRegistryReadFailed, "Błąd odczytu rejestru.");
KOLEKTOR_TEXT(kRegistryCloseFailed, "Błąd zamknięcia rejestru.");
KOLEKTOR_TEXT(kDriverStartFailedBegin, "Błąd uruchomienia driver'a (");
KOLEKTOR_TEXT(kDriverStartFailedEnd, ").");

// Goods-file faults: a first part, the code store, a last part.
KOLEKTOR_TEXT(kGoods1, "[1] Błąd składni pliku \"exp\" - błąd pola TOW.");
KOLEKTOR_TEXT(kGoods2, "[2] Błąd składni pliku \"exp\". - [");
KOLEKTOR_TEXT(kGoods4, "[4] Błąd składni pliku \"exp\". - [");
KOLEKTOR_TEXT(kGoods5, "[5] Błąd składni pliku \"exp\". - [");
KOLEKTOR_TEXT(kGoods6, "[6] Błąd składni pliku \"exp\". - [");
KOLEKTOR_TEXT(kGoods7, "[7] Błąd składni pliku \"exp\". - [");
KOLEKTOR_TEXT(kGoods8, "[8] Błąd składni pliku \"exp\". - [");
KOLEKTOR_TEXT(kGoods9, "[9] Błąd składni pliku \"exp\". - [");
KOLEKTOR_TEXT(kGoods10, "[10] Błąd składni pliku \"exp\". - [");
KOLEKTOR_TEXT(kGoods11, "[11] Błąd składni pliku \"exp\". - [");
KOLEKTOR_TEXT(kGoods12, "[12] Błąd składni pliku \"exp\". - [");
KOLEKTOR_TEXT(kFieldKod, "] błąd pola KOD");
KOLEKTOR_TEXT(kFieldBookPrice, "] błąd pola CENA_EWIDENCYJNA");
KOLEKTOR_TEXT(kFieldSalePrice, "] błąd pola CENA_SPRZEDAŻY");
KOLEKTOR_TEXT(kFieldQuantity, "] błąd pola ILOŚĆ");
KOLEKTOR_TEXT(kFieldVat, "] błąd pola VAT");
KOLEKTOR_TEXT(kLineTooLong, "] przekroczona długość linii towaru");
KOLEKTOR_TEXT(kCloseBracket, "]");

// Import: data-file faults and the download run.
KOLEKTOR_TEXT(kDataFileMissing, "Brak pliku wynikowego.");
KOLEKTOR_TEXT(kCountsOpenFailed, "Błąd otwarcia pliku \"imp\".");
KOLEKTOR_TEXT(kData2, "[2] Błąd składni pliku roboczego.");
KOLEKTOR_TEXT(kData3, "[3] Błąd składni pliku roboczego.");
KOLEKTOR_TEXT(kData4, "[4] Błąd składni pliku roboczego.");
KOLEKTOR_TEXT(kData6, "[6] Błąd składni pliku roboczego.");
KOLEKTOR_TEXT(kData7, "[7] Błąd składni pliku roboczego.");
KOLEKTOR_TEXT(kNoConnection, "Nie udało się nawiązac połączenia!");

// The import's own safeguards: one import per folder at a time, and an
// earlier a.dat (the counts of a failed import) never lost. Each is a
// first part, a path, a last part.
KOLEKTOR_TEXT(kImportBusyBegin, "Do folderu ");
KOLEKTOR_TEXT(kImportBusyEnd,
              " trwa już inny import (z innego stanowiska lub okna programu). "
              "Poczekaj na jego zakończenie i spróbuj ponownie.");
KOLEKTOR_TEXT(kImportLockFailedBegin, "Nie można utworzyć pliku blokady w folderze ");
KOLEKTOR_TEXT(kImportLockFailedEnd, " (folder nie istnieje lub brak prawa zapisu).");
KOLEKTOR_TEXT(kKeepDataFailedBegin, "Nie można przenieść poprzedniego pliku ");
KOLEKTOR_TEXT(kKeepDataFailedEnd,
              " pod nową nazwę (jest otwarty w innym programie lub zablokowany). "
              "Plik pozostał bez zmian; zamknij ten program i spróbuj ponownie.");

// A download its utility reports as failed, cut off inside a record.
KOLEKTOR_TEXT(kDownloadCut,
              "Odczyt z terminala nie powiódł się: program IR_READ2.EXE zgłosił błąd, a plik "
              "a.dat urywa się w połowie rekordu. Żadne ilości nie zostały przyjęte; powtórz "
              "odczyt.");
// What stands in the way of the folder's lock file (its path), of the
// folder itself (invent_dir), and of a kept name for an earlier a.dat (its
// path).
KOLEKTOR_TEXT(kLockBlockedBegin, "Nie można użyć pliku blokady ");
KOLEKTOR_TEXT(kLockBlockedEnd,
              " (plik tylko do odczytu, bez prawa dostępu albo folder o tej nazwie). Usuń go "
              "i spróbuj ponownie.");
KOLEKTOR_TEXT(kFolderTooLongBegin, "Ścieżka folderu inwentaryzacji ");
KOLEKTOR_TEXT(kFolderTooLongEnd,
              " jest za długa: z nazwą pliku blokady przekracza 259 znaków, których nie "
              "przyjmuje Windows. Wybierz w ZRB krótszą ścieżkę pliku inwentaryzacji.");
KOLEKTOR_TEXT(kKeepDataNoNameBegin, "Nie można przenieść poprzedniego pliku ");
KOLEKTOR_TEXT(kKeepDataNoNameEnd,
              " pod nową nazwę: wszystkie nazwy a.dat.RRRRMMDD-GGMMSS z tej sekundy (do -99) "
              "są zajęte. Plik pozostał bez zmian; spróbuj ponownie za kilka sekund.");

// Captions of the import's five message boxes.
KOLEKTOR_TEXT(kCaptionDataPath, "sciezka_a");
KOLEKTOR_TEXT(kCaptionJournalPath, "sciezka_bak");
KOLEKTOR_TEXT(kCaptionCommandLine, "download");
KOLEKTOR_TEXT(kCaptionInventDir, "invent_dir");
KOLEKTOR_TEXT(kCaptionCountsPath, "sciezka");

// Transfer journal header; both prefixes are 38 characters long.
KOLEKTOR_TEXT(kJournalImportPrefix, "\r\n------------ [IMPORT WYKONANY DNIA: ");
KOLEKTOR_TEXT(kJournalExportPrefix, "\r\n----------- [EKSPORT WYKONANY DNIA: ");
KOLEKTOR_TEXT(kJournalSuffix, "] ------------");
static_assert(kJournalImportPrefix.size == 38 && kJournalExportPrefix.size == 38);

#undef KOLEKTOR_TEXT

// What each text the plug-in can send the host means, for the people who
// install and support it: the test form shows the explanation under an
// error, and the message reference (KOMUNIKATY.txt, INSTALL.txt) is made
// from this table. `first` is the whole text, or the first part of a
// compound one whose middle piece `middle` names and whose last part is
// `last`. Cause and check are UTF-8.
struct Explanation {
  std::string_view first;
  std::string_view middle;
  std::string_view last;
  std::string_view cause;
  std::string_view check;
};

inline constexpr Explanation kExplanations[] = {
    // The export.
    {kGoodsOpenFailed, "", "",
     "Nie można otworzyć albo odczytać pliku towarów, który ZRB przygotował do wysłania.",
     "Czy plik towarów istnieje w podanym folderze, czy folder (także sieciowy) jest "
     "dostępny i czy inny program nie blokuje pliku. Wyślij towary z ZRB jeszcze raz."},
    {kWorkFileOpenFailed, "", "",
     "Nie można utworzyć pliku wymiany \"a\" obok pliku towarów (brak prawa zapisu, plik "
     "\"a\" tylko do odczytu lub otwarty w innym programie) albo plik towarów sam jest "
     "plikiem \"a\": wtedy wysyłanie odmawia, żeby go nie zamazać.",
     "Prawo zapisu do folderu pliku towarów i to, czy nie ma w nim pliku \"a\" tylko do "
     "odczytu. Plik towarów nie może nazywać się \"a\"."},
    {kWorkFileWriteFailed, "", "",
     "Zapis pliku wymiany \"a\" (wysyłanie), pliku inwentaryzacji lub dziennika Inwent.bak "
     "(odczyt) nie powiódł się: zwykle pełny dysk albo zerwane połączenie z dyskiem "
     "sieciowym.",
     "Wolne miejsce na dysku i połączenie z dyskiem sieciowym. Przy odczycie plik a.dat "
     "zostaje w folderze inwentaryzacji: policzone ilości nie są stracone, odczyt można "
     "powtórzyć."},
    {kRegistryOpenFailed, "", "",
     "W rejestrze brak klucza HKLM\\Software\\Orvisk\\ZRBWin\\Instalacja, w którym instalator "
     "ZRB zapisuje folder programu (na 64-bitowym Windows: HKLM\\Software\\WOW6432Node\\"
     "Orvisk\\ZRBWin\\Instalacja).",
     "Czy ZRB jest zainstalowany na tym komputerze. \"Sprawdź instalację\" w programie "
     "kolektor-test pokazuje, co jest w rejestrze."},
    {kRegistryReadFailed, "", "",
     "Wartość Binaria w kluczu HKLM\\Software\\Orvisk\\ZRBWin\\Instalacja nie istnieje, nie "
     "jest tekstem albo jest dłuższa niż 229 znaków.",
     "Wartość Binaria: ma wskazywać folder programu ZRB, w którym leży DLOOKUP2.EXE. "
     "\"Sprawdź instalację\" w programie kolektor-test pokazuje jej treść."},
    {kRegistryCloseFailed, "", "", "System nie zamknął klucza rejestru (rzadki błąd systemu).",
     "Uruchom komputer ponownie i powtórz wysyłanie."},
    {kDriverStartFailedBegin, "program i jego parametry", kDriverStartFailedEnd,
     "Nie można uruchomić programu producenta terminala: DLOOKUP2.EXE przy wysyłaniu "
     "towarów, IR_READ2.EXE przy odczycie ilości.",
     "DLOOKUP2.EXE ma leżeć w folderze wskazanym przez wartość Binaria w rejestrze. "
     "IR_READ2.EXE Windows szuka w folderze programu ZRB, w bieżącym folderze ZRB, w "
     "folderach systemowych i w ścieżce PATH; folder inwentaryzacji musi istnieć. "
     "\"Sprawdź instalację\" w programie kolektor-test sprawdza oba programy."},
    {kGoods1, "", "",
     "Wiersz pliku towarów nie zaczyna się od \"TOW\": pusty wiersz, plik zapisany jako "
     "UTF-8 ze znacznikiem BOM albo plik w innym formacie.",
     "Plik towarów poleceniem \"zrbhost check PLIK\": pokaże numer wiersza."},
    {kGoods2, "kod", kFieldKod,
     "Kod towaru (pole KOD) ma więcej niż 20 znaków. W nawiasie jest kod z poprzedniego "
     "wiersza (pusty w pierwszym wierszu).",
     "Kod w wierszu po wskazanym kodzie; \"zrbhost check PLIK\" podaje numer wiersza."},
    {kGoods4, "kod", kFieldBookPrice, "Cena ewidencyjna ma więcej niż 19 znaków.",
     "Cenę ewidencyjną towaru o podanym kodzie."},
    {kGoods5, "kod", kFieldSalePrice, "Cena sprzedaży ma więcej niż 19 znaków.",
     "Cenę sprzedaży towaru o podanym kodzie."},
    {kGoods6, "kod", kCloseBracket,
     "Wiersz towaru ma inną liczbę pól niż siedem (na przykład średnik na końcu wiersza "
     "albo brak pola VAT).",
     "Wiersz towaru o podanym kodzie: TOW;KOD;NAZWA;CENA_EWIDENCYJNA;CENA_SPRZEDAŻY;ILOŚĆ;VAT."},
    {kGoods7, "kod", kFieldQuantity, "Pole ILOŚĆ ma więcej niż 9 znaków.",
     "Ilość towaru o podanym kodzie (w tysięcznych częściach jednostki)."},
    {kGoods8, "kod", kFieldQuantity, "Pole ILOŚĆ nie zawiera liczby.",
     "Ilość towaru o podanym kodzie: liczba całkowita tysięcznych części jednostki."},
    {kGoods9, "kod", kFieldVat,
     "Pole VAT ma więcej niż 3 znaki. Tak kończą się też pliki, których wiersze kończą się "
     "samym znakiem LF: następny wiersz wpada wtedy w pole VAT.",
     "Stawkę VAT towaru o podanym kodzie i końce wierszy pliku (CR LF)."},
    {kGoods10, "kod", kLineTooLong,
     "Pole wiersza towaru ma więcej niż 200 znaków, zwykle gdy w pliku brak średników lub "
     "końców wierszy.",
     "Plik towarów poleceniem \"zrbhost check PLIK\"."},
    {kGoods11, "kod", kFieldSalePrice,
     "Cena sprzedaży nie jest liczbą całkowitą groszy (pusta, ujemna lub za duża).",
     "Cenę sprzedaży towaru o podanym kodzie: liczba groszy bez przecinka."},
    {kGoods11, "kod", kFieldBookPrice,
     "Cena ewidencyjna nie jest liczbą całkowitą groszy (pusta, ujemna lub za duża).",
     "Cenę ewidencyjną towaru o podanym kodzie: liczba groszy bez przecinka."},
    {kGoods12, "kod", kFieldVat, "Pole VAT nie zawiera liczby.",
     "Stawkę VAT towaru o podanym kodzie."},
    // The import.
    {kDataFileMissing, "", "",
     "Program IR_READ2.EXE nie zostawił pliku a.dat w folderze inwentaryzacji: terminal nie "
     "wysłał danych, port COM lub prędkość się nie zgadzają, albo brak prawa zapisu do "
     "folderu.",
     "Czy terminal stoi w zasilanym doku i wysyła dane (menu 2.WYSLIJ DO ZRB, potem DATA "
     "FILE), port COM i prędkość w ustawieniach oraz prawo zapisu do folderu "
     "inwentaryzacji."},
    {kCountsOpenFailed, "", "",
     "Nie można utworzyć pliku inwentaryzacji pod ścieżką podaną przez ZRB, albo ścieżka nie "
     "ma dwóch poziomów folderów, z których powstaje folder inwentaryzacji (na przykład "
     "C:\\DANE\\INW\\imp.txt daje C:\\DANE).",
     "Ścieżkę pliku inwentaryzacji w ZRB i prawo zapisu do jej folderu."},
    {kData2, "", "", "Plik a.dat z terminala jest uszkodzony: kod towaru dłuższy niż 20 znaków.",
     "Powtórz odczyt. Plik a.dat zostaje w folderze inwentaryzacji; \"zrbhost convert\" "
     "pokaże, który rekord jest zły."},
    {kData3, "", "",
     "Plik a.dat z terminala jest uszkodzony: ilość dłuższa niż 8 znaków albo poza "
     "zakresem.",
     "Powtórz odczyt. Plik a.dat zostaje w folderze inwentaryzacji."},
    {kData4, "", "", "Plik a.dat z terminala jest uszkodzony: dwa przecinki w jednym rekordzie.",
     "Powtórz odczyt. Plik a.dat zostaje w folderze inwentaryzacji."},
    {kData6, "", "",
     "Plik a.dat z terminala jest uszkodzony: rekord bez przecinka (na przykład pusty "
     "wiersz).",
     "Powtórz odczyt. Plik a.dat zostaje w folderze inwentaryzacji."},
    {kData7, "", "", "Plik a.dat z terminala jest uszkodzony: pole dłuższe niż 200 znaków.",
     "Powtórz odczyt. Plik a.dat zostaje w folderze inwentaryzacji."},
    {kNoConnection, "", "",
     "Program IR_READ2.EXE nie skończył pracy w czasie ustawionym jako Timeout: zwykle brak "
     "połączenia z terminalem.",
     "Zasilanie doku, kabel RS232, numer portu COM, prędkość i to, czy terminal jest w "
     "trybie wysyłania. Przy dużej liczbie pozycji zwiększ Timeout."},
    {kImportBusyBegin, "folder inwentaryzacji", kImportBusyEnd,
     "Inny odczyt ilości do tego samego folderu jeszcze trwa (z drugiego stanowiska na "
     "wspólnym folderze albo z drugiego okna ZRB). Dwa odczyty naraz pomieszałyby dane.",
     "Poczekaj na koniec tamtego odczytu. Blokada znika sama, gdy tamten program skończy "
     "lub zostanie zamknięty."},
    {kImportLockFailedBegin, "folder inwentaryzacji", kImportLockFailedEnd,
     "Nie można utworzyć pliku kolektor.lock, który na czas odczytu chroni folder "
     "inwentaryzacji.",
     "Czy folder inwentaryzacji istnieje (dwa poziomy nad plikiem inwentaryzacji) i czy "
     "wolno w nim zapisywać."},
    {kKeepDataFailedBegin, "ścieżka pliku a.dat", kKeepDataFailedEnd,
     "W folderze inwentaryzacji leży plik a.dat z wcześniejszego, nieudanego odczytu. Odczyt "
     "przenosi go pod nazwę a.dat.RRRRMMDD-GGMMSS, ale plik jest otwarty w innym programie "
     "lub zablokowany.",
     "Zamknij program, który otworzył a.dat (podgląd, edytor, antywirus), i powtórz odczyt."},
    {kDownloadCut, "", "",
     "Program IR_READ2.EXE zakończył pracę kodem błędu, a plik a.dat, który zostawił, kończy "
     "się niepełnym rekordem: zapis przerwał się w trakcie odczytu (zwykle pełny dysk albo "
     "zerwane połączenie z dyskiem sieciowym lub z terminalem). Ilości spoza zapisanej części "
     "nie dotarły, więc wtyczka nie przyjmuje żadnych.",
     "Wolne miejsce na dysku i połączenia, potem powtórz odczyt: ilości są nadal w "
     "terminalu. Plik inwentaryzacji i dziennik Inwent.bak zostały bez zmian; niepełny a.dat "
     "zostaje w folderze inwentaryzacji (następny odczyt odłoży go jako "
     "a.dat.RRRRMMDD-GGMMSS)."},
    {kLockBlockedBegin, "ścieżka pliku kolektor.lock", kLockBlockedEnd,
     "W folderze inwentaryzacji leży plik kolektor.lock, którego wtyczka nie może otworzyć "
     "(atrybut tylko do odczytu albo brak prawa dostępu dla tego użytkownika), albo folder o "
     "tej nazwie. Bez tego pliku odczyt nie może zablokować folderu przed drugim odczytem, "
     "więc się nie zaczyna.",
     "Usuń wskazany plik lub folder kolektor.lock (albo zdejmij z pliku atrybut tylko do "
     "odczytu): wtyczka tworzy ten plik sama na czas odczytu i sama go usuwa."},
    {kFolderTooLongBegin, "folder inwentaryzacji", kFolderTooLongEnd,
     "Ścieżka folderu inwentaryzacji razem z nazwą pliku blokady kolektor.lock ma ponad 259 "
     "znaków, a tak długich ścieżek nie przyjmują funkcje Windows, których używają wtyczka i "
     "programy producenta terminala.",
     "Ustaw w ZRB plik inwentaryzacji w folderze o krótszej ścieżce (bliżej głównego folderu "
     "dysku)."},
    {kKeepDataNoNameBegin, "ścieżka pliku a.dat", kKeepDataNoNameEnd,
     "W folderze inwentaryzacji leży a.dat z nieudanego odczytu, a wszystkie nazwy, pod które "
     "odczyt mógłby go odłożyć w tej sekundzie (a.dat.RRRRMMDD-GGMMSS oraz -2 do -99), są już "
     "zajęte: zwykle przez pliki skopiowane tam przez inny program.",
     "Powtórz odczyt za kilka sekund. Przejrzyj kopie a.dat w folderze inwentaryzacji: ich "
     "ilości odzyskasz poleceniem zrbhost convert, niepotrzebne usuń."},
};

// The explanation of a text the host received; nullptr when none fits.
inline const Explanation* Explain(std::string_view cp1250_text) {
  for (const Explanation& e : kExplanations) {
    if (e.middle.empty() && e.last.empty()) {
      if (cp1250_text == e.first) return &e;
      continue;
    }
    if (cp1250_text.size() >= e.first.size() + e.last.size() &&
        cp1250_text.substr(0, e.first.size()) == e.first &&
        cp1250_text.substr(cp1250_text.size() - e.last.size()) == e.last)
      return &e;
  }
  return nullptr;
}

// "Błąd uruchomienia driver'a (" + how the command names the utility + ").",
// the start failure of both vendor utilities.
inline std::string Compound(std::string_view first, std::string_view middle,
                            std::string_view last) {
  std::string message(first);
  message += middle;
  message += last;
  return message;
}

inline std::string DriverStartFailed(std::string_view utility) {
  return Compound(kDriverStartFailedBegin, utility, kDriverStartFailedEnd);
}

}  // namespace kolektor::text

// Texts of the tools around the plug-in (zrbhost, the test form), UTF-8.
// "{1}", "{2}"... stand for the values Fill puts in.
namespace kolektor::ui {

inline std::string Fill(std::string_view pattern, std::initializer_list<std::string> values) {
  std::string out;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '{' && i + 2 < pattern.size() && pattern[i + 2] == '}' &&
        pattern[i + 1] >= '1' && pattern[i + 1] <= '9') {
      const std::size_t n = static_cast<std::size_t>(pattern[i + 1] - '1');
      if (n < values.size()) out += *(values.begin() + n);
      i += 2;
      continue;
    }
    out += pattern[i];
  }
  return out;
}

// zrbhost check: what the export would lose or change without a word.
inline constexpr std::string_view kWarnByteOrderMark =
    "plik zaczyna się znacznikiem BOM (zapis w UTF-8): eksport zgłosi błąd [1]. Zapisz plik "
    "w kodowaniu Windows-1250 (ANSI), bez BOM.";
inline constexpr std::string_view kWarnUtf8 =
    "plik jest zapisany w UTF-8: każda polska litera trafi na ekran terminala jako dwa "
    "obce znaki. Zapisz plik w kodowaniu Windows-1250 (ANSI).";
inline constexpr std::string_view kWarnLfOnly =
    "wiersze kończą się samym znakiem LF (takich końców: {1}): eksport widzi w nich jeden "
    "długi wiersz. Zapisz plik z końcami wierszy Windows (CR LF).";
inline constexpr std::string_view kWarnUnfinishedLastLine =
    "ostatni wiersz nie ma znaku końca wiersza: eksport go pominie i ten towar nie trafi do "
    "terminala. Zakończ plik znakiem końca wiersza.";
inline constexpr std::string_view kWarnCodeCut =
    "kod {1} ma {2} znaków, a do terminala trafi tylko pierwszych {3}: zeskanowany kod nie "
    "zostanie rozpoznany. Ustaw \"Max. długość kodu kreskowego\" na 20 albo skróć kod.";
inline constexpr std::string_view kWarnCommaInCode =
    "kod {1} zawiera przecinek, który w pliku wymiany terminala rozdziela kolumny: wiersz "
    "towaru się rozsypie. Usuń przecinek z kodu.";
inline constexpr std::string_view kWarnCodeTwice =
    "kod {1} był już w wierszu {2}: terminal znajdzie tylko jeden z tych towarów. Usuń "
    "powtórzony wiersz.";
inline constexpr std::string_view kWarnDecimalInPrice =
    "cena {1} \"{2}\" ma przecinek lub kropkę, a wtyczka czyta grosze tylko do pierwszego "
    "znaku, który nie jest cyfrą (\"5,49\" da 0.05). Podaj cenę w groszach, bez przecinka "
    "(549).";
inline constexpr std::string_view kWarnDecimalInQuantity =
    "ilość \"{1}\" ma przecinek lub kropkę, a wtyczka czyta tysięczne części tylko do "
    "pierwszego znaku, który nie jest cyfrą (\"1,5\" da 0.001). Podaj ilość w tysięcznych "
    "częściach, bez przecinka (1500).";
inline constexpr std::string_view kWarnEmptyFile =
    "plik jest pusty: do terminala trafi pusta lista towarów.";
inline constexpr std::string_view kBookPriceWord = "ewidencyjna";
inline constexpr std::string_view kSalePriceWord = "sprzedaży";

// zrbhost report.
inline constexpr std::string_view kReportCsvHeader =
    "\"kod\";\"nazwa\";\"stan w pliku towarów\";\"policzono\";\"różnica\";\"uwagi\"";
inline constexpr std::string_view kReportEqual = "zgodne";
inline constexpr std::string_view kReportDifferent = "różnica";
inline constexpr std::string_view kReportNotListed = "policzony, brak w pliku towarów";
inline constexpr std::string_view kReportNotCounted = "niepoliczony";
inline constexpr std::string_view kReportSummary =
    "Towarów w pliku towarów: {1}, policzonych kodów: {2}.\n"
    "Zgodnych: {3}, z różnicą: {4}, policzonych spoza pliku towarów: {5}, niepoliczonych: "
    "{6}.\n";

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
    "  import INWENTARYZACJA        odczytuje ilości z terminala; wtyczka pokazuje\n"
    "                               pięć okien, które --yes zamyka samo\n"
    "  clear                        krok zerowania\n"
    "  check TOWARY                 błędy i ostrzeżenia pliku towarów\n"
    "  journal DZIENNIK [--extract N INWENTARYZACJA [--unfinished]]\n"
    "                               bloki dziennika Inwent.bak; --extract zapisuje\n"
    "                               blok N jako plik inwentaryzacji (niedokończony\n"
    "                               tylko z --unfinished)\n"
    "  convert DANE INWENTARYZACJA  zamienia a.dat (także zachowaną kopię) na plik\n"
    "                               inwentaryzacji\n"
    "  report TOWARY INWENTARYZACJA RAPORT.csv\n"
    "                               stan z pliku towarów obok policzonych ilości\n"
    "  messages                     spis komunikatów wtyczki z objaśnieniami\n"
    "  setup                        pokazuje wartość Binaria\n"
    "  setup --install-dir FOLDER [--force]\n"
    "                               zapisuje wartość Binaria (komputer do prób)\n"
    "  help                         ten opis\n"
    "kody wyjścia:\n"
    "  0  zrobione (check: plik bez błędów i ostrzeżeń)\n"
    "  1  wtyczka zgłosiła błąd, plik ma błędy albo setup odmówił zmiany\n"
    "  2  błędne polecenie lub ustawienie, brak pliku albo wtyczki\n"
    "  3  check: plik bez błędów, ale z ostrzeżeniami\n";

// Loading a plug-in: each failure said once.
inline constexpr std::string_view kLoadNoFile = "nie ma pliku {1}";
inline constexpr std::string_view kLoadNotPe = "plik {1} nie jest biblioteką DLL systemu Windows";
inline constexpr std::string_view kLoadNot32Bit =
    "{1} nie jest 32-bitową biblioteką DLL: ZRB, formularz i zrbhost ładują tylko "
    "32-bitowe (taka jest kolektor.dll z instalatora)";
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
    "(wartość Binaria)";
inline constexpr std::string_view kFindNowhere =
    "nie ma kolektor.dll ani w folderze programu ({1}), ani w folderze ZRB ({2})";
inline constexpr std::string_view kHostNameTheDll = "Wskaż plik wtyczki opcją --dll PLIK.";
inline constexpr std::string_view kHostLoadedFromZrb =
    "Wtyczka z folderu ZRB (wartość Binaria): {1}";
inline constexpr std::string_view kSetupHowToChange =
    "Inny folder ZRB zapiszesz poleceniem: zrbhost setup --install-dir FOLDER";
inline constexpr std::string_view kHostNoParameter = "wtyczka nie ma ustawienia \"{1}\"";
inline constexpr std::string_view kHostNotANumber = "{1}=\"{2}\" nie jest liczbą od {3} do {4}";
inline constexpr std::string_view kHostNotAChoice = "{1}=\"{2}\" nie jest żadną z wartości: {3}";
inline constexpr std::string_view kHostSettingsFile = "nie można odczytać pliku ustawień {1}";
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
inline constexpr std::string_view kCause = "Przyczyna:";
inline constexpr std::string_view kCheck = "Co sprawdzić:";
inline constexpr std::string_view kHostMessageBox = "okno komunikatu [{1}]: {2}";
inline constexpr std::string_view kHostResult = "wynik: {1}";
inline constexpr std::string_view kHostFiveBoxes =
    "Wtyczka pokaże teraz pięć okien (sciezka_a, sciezka_bak, download, invent_dir, "
    "sciezka) i czeka, aż każde zamkniesz przyciskiem OK. Opcja --yes zamyka je sama.";

// zrbhost setup.
inline constexpr std::string_view kSetupCurrent = "Obecna wartość Binaria: {1}";
inline constexpr std::string_view kSetupNoValue = "W rejestrze nie ma wartości Binaria.";
inline constexpr std::string_view kSetupWouldReplace =
    "wartość Binaria już jest w rejestrze i ZRB jej używa; zostaje bez zmian. Zmień ją "
    "tylko na komputerze do prób, dodając --force.";
inline constexpr std::string_view kSetupNoFolder = "folder {1} nie istnieje";
inline constexpr std::string_view kSetupTooLong =
    "ścieżka ma {1} znaków, a ZRB przyjmuje najwyżej 229";
inline constexpr std::string_view kSetupNoRights =
    "nie można zapisać rejestru (uruchom jako administrator)";
inline constexpr std::string_view kSetupWritten =
    "Zapisano: HKLM\\Software\\Orvisk\\ZRBWin\\Instalacja  Binaria = {1}";

// zrbhost check, journal, convert, report.
inline constexpr std::string_view kToolCannotOpen = "nie można otworzyć pliku {1}";
inline constexpr std::string_view kToolCannotWrite = "nie można zapisać pliku {1}";
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
inline constexpr std::string_view kJournalSummary = "Bloków: {1}, prawdopodobnie podwójnych: {2}.";
inline constexpr std::string_view kJournalOutside = "Wierszy przed pierwszym blokiem: {1}.";
inline constexpr std::string_view kJournalNoBlock = "dziennik nie ma bloku {1}";
inline constexpr std::string_view kJournalExtracted = "Blok {1} ({2} pozycji) zapisany do {3}.";
inline constexpr std::string_view kConvertDone = "Zamieniono {1} na {2}: rekordów {3}.";
inline constexpr std::string_view kConvertStopped =
    "Zamiana {1} na {2} zatrzymana na błędzie; zapisanych rekordów: {3}.";
inline constexpr std::string_view kReportWritten = "Raport zapisany: {1}";

// "Sprawdź instalację" of the test form: one line per check.
inline constexpr std::string_view kInstallNoKey =
    "Rejestr: brak klucza HKLM\\Software\\Orvisk\\ZRBWin\\Instalacja (32-bitowy widok "
    "rejestru, który czyta ZRB).";
inline constexpr std::string_view kInstallNoKeyFix =
    "Zainstaluj ZRB albo napraw jego instalację. Na komputerze do prób: zrbhost setup "
    "--install-dir FOLDER.";
inline constexpr std::string_view kInstallNoValue =
    "Rejestr: klucz HKLM\\Software\\Orvisk\\ZRBWin\\Instalacja nie ma wartości Binaria.";
inline constexpr std::string_view kInstallBadValue =
    "Rejestr: wartość Binaria nie jest tekstem albo jest dłuższa niż 229 znaków.";
inline constexpr std::string_view kInstallValueFix =
    "Wartość Binaria (tekst) ma wskazywać folder programu ZRB, na przykład C:\\ZRBWin.";
inline constexpr std::string_view kInstallBinaria = "Rejestr: Binaria = {1}";
inline constexpr std::string_view kInstallFolder = "Folder ZRB {1} istnieje.";
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
inline constexpr std::string_view kInstallPortNotChecked =
    "Portu nie sprawdzono: bez wtyczki formularz nie zna ustawienia portu.";
inline constexpr std::string_view kInstallPortRehearsal =
    "Port nie jest potrzebny przy próbie z symulatorem; nie sprawdzono go.";
inline constexpr std::string_view kInstallPortError =
    "Portu {1} nie można otworzyć (błąd systemu {2}).";
inline constexpr std::string_view kInstallBadPort =
    "Ustawienie portu \"{1}\" nie jest numerem portu COM.";
inline constexpr std::string_view kInstallBadPortFix = "Wpisz numer portu COM doku, od 1 do 999.";
inline constexpr std::string_view kInstallWritable = "Do folderu {1} można zapisywać.";
inline constexpr std::string_view kInstallNotWritable =
    "Do folderu {1} nie można zapisywać (błąd systemu {2}).";
inline constexpr std::string_view kInstallNotWritableFix =
    "Utwórz folder albo nadaj prawo zapisu użytkownikowi, który pracuje w ZRB.";
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
    "Następny odczyt odłoży go jako a.dat.<czas>. Ilości odzyskasz poleceniem zrbhost convert.";
inline constexpr std::string_view kInstallKeptCopies =
    "Zachowane kopie a.dat w folderze inwentaryzacji: {1} (najnowsza: {2}).";
inline constexpr std::string_view kInstallKeptCopiesFix =
    "To ilości nieudanych odczytów. Odzyskasz je poleceniem zrbhost convert KOPIA PLIK.";
inline constexpr std::string_view kInstallJournal = "Dziennik Inwent.bak: {1} bajtów.";
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
inline constexpr std::string_view kFormCheck = "&Sprawdź instalację";
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
inline constexpr std::string_view kFormExplanation = "Objaśnienie ostatniego błędu:";
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
inline constexpr std::string_view kLogParam = "ustawienie {1} = \"{2}\"";
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
inline constexpr std::string_view kFormNoExplanation = "(tego tekstu nie ma w tabeli komunikatów)";

// The simulator driven from the form, as a person works the terminal.
inline constexpr std::string_view kLogScanned = "Symulator: zeskanowano kod {1}, ilość {2}.";
inline constexpr std::string_view kLogScanNoTable =
    "Symulator: terminal nie ma listy towarów; najpierw wyślij towary.";
inline constexpr std::string_view kLogScanUnknown =
    "Symulator: kodu {1} nie ma na liście towarów terminala.";
inline constexpr std::string_view kLogScanBadQuantity =
    "Symulator: ilość \"{1}\" odrzucona (najwyżej 8 znaków: cyfry i jedna kropka).";
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
    "Blok {1} jest niedokończony: zapisano tylko jego pełne wiersze ({2} pozycji) do {3}.";

}  // namespace kolektor::ui
