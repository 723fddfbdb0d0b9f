// The plug-in's texts: what it shows the host or writes into a file
// (written here in UTF-8, held as Windows-1250 bytes, see cp1250.h), and the
// explanation of each text the host can receive. The texts of the programs
// around it are in host/program_texts.h; the setup program's own are in
// its NSIS script.
#pragma once

#include <string>
#include <string_view>

#include "base/cp1250.h"

namespace kolektor::text {

#define KOLEKTOR_TEXT(name, utf8) inline constexpr auto name = ToCp1250(utf8)

// Progress notice of the export and the import; the host expects the
// leading line feed.
KOLEKTOR_TEXT(kTransactionInProgress, "\nTransakcja w toku...");

// The settings' labels (their names and choices: host_interface.h).
KOLEKTOR_TEXT(kLabelPort, "Port RS232 COM:");
KOLEKTOR_TEXT(kLabelBaud, "Prędkość");
KOLEKTOR_TEXT(kLabelCena, "Poziom cen");
KOLEKTOR_TEXT(kLabelMaxKod, "Max. długość kodu kreskowego");
KOLEKTOR_TEXT(kLabelTimeout, "Timeout");
static_assert(kLabelMaxKod.size == 28, "the maxKod label is 28 bytes in Windows-1250");

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

// ---- Texts the host receives as errors, whole or as the first or last
// part of a compound one. Every one of them has its explanation in
// kExplanations below; the message-reference test reads this block of the
// source to find them.

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
KOLEKTOR_TEXT(kGoodsNoTowTag, "[1] Błąd składni pliku \"exp\" - błąd pola TOW.");
KOLEKTOR_TEXT(kGoodsCodeTooLong, "[2] Błąd składni pliku \"exp\". - [");
KOLEKTOR_TEXT(kGoodsBookPriceTooLong, "[4] Błąd składni pliku \"exp\". - [");
KOLEKTOR_TEXT(kGoodsSalePriceTooLong, "[5] Błąd składni pliku \"exp\". - [");
KOLEKTOR_TEXT(kGoodsFieldCount, "[6] Błąd składni pliku \"exp\". - [");
KOLEKTOR_TEXT(kGoodsQuantityTooLong, "[7] Błąd składni pliku \"exp\". - [");
KOLEKTOR_TEXT(kGoodsQuantityNoNumber, "[8] Błąd składni pliku \"exp\". - [");
KOLEKTOR_TEXT(kGoodsVatTooLong, "[9] Błąd składni pliku \"exp\". - [");
KOLEKTOR_TEXT(kGoodsFieldTooLong, "[10] Błąd składni pliku \"exp\". - [");
KOLEKTOR_TEXT(kGoodsPriceNoNumber, "[11] Błąd składni pliku \"exp\". - [");
KOLEKTOR_TEXT(kGoodsVatNoNumber, "[12] Błąd składni pliku \"exp\". - [");
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
KOLEKTOR_TEXT(kDataCodeTooLong, "[2] Błąd składni pliku roboczego.");
KOLEKTOR_TEXT(kDataQuantityTooLong, "[3] Błąd składni pliku roboczego.");
KOLEKTOR_TEXT(kDataSecondComma, "[4] Błąd składni pliku roboczego.");
KOLEKTOR_TEXT(kDataNoComma, "[6] Błąd składni pliku roboczego.");
KOLEKTOR_TEXT(kDataFieldTooLong, "[7] Błąd składni pliku roboczego.");
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
              " jest za długa: z nazwami plików, które zakłada w nim import, przekracza 259 "
              "znaków, których nie przyjmuje Windows. Wybierz w ZRB krótszą ścieżkę pliku "
              "inwentaryzacji.");
KOLEKTOR_TEXT(kKeepDataNoNameBegin, "Nie można przenieść poprzedniego pliku ");
KOLEKTOR_TEXT(kKeepDataNoNameEnd,
              " pod nową nazwę: wszystkie nazwy a.dat.RRRRMMDD-GGMMSS z tej sekundy (do -99) "
              "są zajęte. Plik pozostał bez zmian; spróbuj ponownie za kilka sekund.");

// A download that ends inside a record although its utility reported no
// error (an exit code 0).
KOLEKTOR_TEXT(kDownloadCutNoError,
              "Odczyt z terminala nie powiódł się: plik a.dat urywa się w połowie rekordu, choć "
              "program IR_READ2.EXE nie zgłosił błędu. Żadne ilości nie zostały przyjęte; powtórz "
              "odczyt.");
// A file that another program holds open past the wait: a first part, the
// file's path, a last part.
KOLEKTOR_TEXT(kDataFileHeldBegin, "Plik danych z terminala ");
KOLEKTOR_TEXT(kDataFileHeldEnd,
              " jest otwarty w innym programie, który nie zwolnił go przez około 2 sekundy. "
              "Zamknij ten program i powtórz odczyt; plik a.dat zostaje w folderze "
              "inwentaryzacji.");
KOLEKTOR_TEXT(kJournalHeldBegin, "Plik dziennika ");
KOLEKTOR_TEXT(kJournalHeldEnd,
              " jest otwarty w innym programie, który nie zwolnił go przez około 2 sekundy, więc "
              "ilości nie zostały dopisane do dziennika. Zamknij ten program i powtórz odczyt; "
              "policzone ilości nie są stracone.");
KOLEKTOR_TEXT(kCountsHeldBegin, "Plik inwentaryzacji ");
KOLEKTOR_TEXT(kCountsHeldEnd,
              " jest otwarty w innym programie, który nie zwolnił go przez około 2 sekundy. "
              "Zamknij ten program i powtórz odczyt; plik a.dat zostaje w folderze "
              "inwentaryzacji.");

// ---- End of the texts the host receives as errors.

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
     "W rejestrze brak klucza, w którym instalator ZRB zapisuje folder programu. ZRB i "
     "wtyczka są programami 32-bitowymi: na 64-bitowym Windows czytają klucz "
     "HKLM\\Software\\WOW6432Node\\Orvisk\\ZRBWin\\Instalacja, na 32-bitowym "
     "HKLM\\Software\\Orvisk\\ZRBWin\\Instalacja. Na 64-bitowym Windows klucz wpisany w "
     "regedit pod tą drugą ścieżką leży w niewłaściwym miejscu i niczego nie zmienia.",
     "Czy ZRB jest zainstalowany na tym komputerze: klucz zapisuje instalator ZRB, a na "
     "komputerze do prób polecenie zrbhost setup --install-dir FOLDER (jako administrator). "
     "\"Sprawdź instalację\" w programie kolektor-test pokazuje, co jest w rejestrze, także "
     "wartość wpisaną w niewłaściwym miejscu."},
    {kRegistryReadFailed, "", "",
     "Wartość Binaria w kluczu ZRB nie istnieje, nie jest tekstem albo jest dłuższa niż 229 "
     "znaków. ZRB i wtyczka czytają ją na 64-bitowym Windows z klucza "
     "HKLM\\Software\\WOW6432Node\\Orvisk\\ZRBWin\\Instalacja, na 32-bitowym z "
     "HKLM\\Software\\Orvisk\\ZRBWin\\Instalacja; wartość wpisana gdzie indziej niczego nie "
     "zmienia.",
     "Wartość Binaria: ma wskazywać folder programu ZRB, w którym leży DLOOKUP2.EXE. Zapisuje "
     "ją instalator ZRB, a na komputerze do prób zrbhost setup --install-dir FOLDER (jako "
     "administrator). \"Sprawdź instalację\" w programie kolektor-test pokazuje jej treść i "
     "wartość wpisaną w niewłaściwym miejscu."},
    {kRegistryCloseFailed, "", "",
     "System nie zamknął klucza rejestru ZRB z wartością Binaria (rzadki błąd systemu).",
     "Uruchom komputer ponownie i powtórz wysyłanie."},
    {kDriverStartFailedBegin, "program i jego parametry", kDriverStartFailedEnd,
     "Nie można uruchomić programu producenta terminala: DLOOKUP2.EXE przy wysyłaniu "
     "towarów, IR_READ2.EXE przy odczycie ilości.",
     "DLOOKUP2.EXE ma leżeć w folderze wskazanym przez wartość Binaria w rejestrze. "
     "IR_READ2.EXE Windows szuka w folderze programu ZRB, w bieżącym folderze ZRB, w "
     "folderach systemowych i w ścieżce PATH; folder inwentaryzacji musi istnieć. "
     "\"Sprawdź instalację\" w programie kolektor-test sprawdza oba programy."},
    {kGoodsNoTowTag, "", "",
     "Wiersz pliku towarów nie zaczyna się od \"TOW\": pusty wiersz, plik zapisany jako "
     "UTF-8 ze znacznikiem BOM albo plik w innym formacie.",
     "Plik towarów poleceniem \"zrbhost check PLIK\": pokaże numer wiersza."},
    {kGoodsCodeTooLong, "kod", kFieldKod,
     "Kod towaru (pole KOD) ma więcej niż 20 znaków. W nawiasie jest kod z poprzedniego "
     "wiersza (pusty w pierwszym wierszu).",
     "Kod w wierszu po wskazanym kodzie; \"zrbhost check PLIK\" podaje numer wiersza."},
    {kGoodsBookPriceTooLong, "kod", kFieldBookPrice, "Cena ewidencyjna ma więcej niż 19 znaków.",
     "Cenę ewidencyjną towaru o podanym kodzie."},
    {kGoodsSalePriceTooLong, "kod", kFieldSalePrice, "Cena sprzedaży ma więcej niż 19 znaków.",
     "Cenę sprzedaży towaru o podanym kodzie."},
    {kGoodsFieldCount, "kod", kCloseBracket,
     "Wiersz towaru ma inną liczbę pól niż siedem (na przykład średnik na końcu wiersza "
     "albo brak pola VAT).",
     "Wiersz towaru o podanym kodzie: TOW;KOD;NAZWA;CENA_EWIDENCYJNA;CENA_SPRZEDAŻY;ILOŚĆ;VAT."},
    {kGoodsQuantityTooLong, "kod", kFieldQuantity, "Pole ILOŚĆ ma więcej niż 9 znaków.",
     "Ilość towaru o podanym kodzie (w tysięcznych częściach jednostki)."},
    {kGoodsQuantityNoNumber, "kod", kFieldQuantity, "Pole ILOŚĆ nie zawiera liczby.",
     "Ilość towaru o podanym kodzie: liczba całkowita tysięcznych części jednostki."},
    {kGoodsVatTooLong, "kod", kFieldVat,
     "Pole VAT ma więcej niż 3 znaki. Tak kończą się też pliki, których wiersze kończą się "
     "samym znakiem LF: następny wiersz wpada wtedy w pole VAT.",
     "Stawkę VAT towaru o podanym kodzie i końce wierszy pliku (CR LF)."},
    {kGoodsFieldTooLong, "kod", kLineTooLong,
     "Pole wiersza towaru ma więcej niż 200 znaków, zwykle gdy w pliku brak średników lub "
     "końców wierszy.",
     "Plik towarów poleceniem \"zrbhost check PLIK\"."},
    {kGoodsPriceNoNumber, "kod", kFieldSalePrice,
     "Cena sprzedaży nie jest liczbą całkowitą groszy (pusta, ujemna lub za duża).",
     "Cenę sprzedaży towaru o podanym kodzie: liczba groszy bez przecinka."},
    {kGoodsPriceNoNumber, "kod", kFieldBookPrice,
     "Cena ewidencyjna nie jest liczbą całkowitą groszy (pusta, ujemna lub za duża).",
     "Cenę ewidencyjną towaru o podanym kodzie: liczba groszy bez przecinka."},
    {kGoodsVatNoNumber, "kod", kFieldVat, "Pole VAT nie zawiera liczby.",
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
     "C:\\DANE\\INW\\imp.txt daje C:\\DANE), albo wskazuje ona, inaczej zapisana, sam plik "
     "a.dat lub dziennik Inwent.bak w folderze inwentaryzacji (wtedy odczyt nie nadpisuje "
     "żadnego z nich, a a.dat zostaje).",
     "Ścieżkę pliku inwentaryzacji w ZRB i prawo zapisu do jej folderu."},
    {kDataCodeTooLong, "", "",
     "Plik a.dat z terminala jest uszkodzony: kod towaru dłuższy niż 20 znaków.",
     "Powtórz odczyt. Plik a.dat zostaje w folderze inwentaryzacji; \"zrbhost convert\" "
     "pokaże, który rekord jest zły."},
    {kDataQuantityTooLong, "", "",
     "Plik a.dat z terminala jest uszkodzony: ilość dłuższa niż 8 znaków albo poza "
     "zakresem.",
     "Powtórz odczyt. Plik a.dat zostaje w folderze inwentaryzacji."},
    {kDataSecondComma, "", "",
     "Plik a.dat z terminala jest uszkodzony: dwa przecinki w jednym rekordzie.",
     "Powtórz odczyt. Plik a.dat zostaje w folderze inwentaryzacji."},
    {kDataNoComma, "", "",
     "Plik a.dat z terminala jest uszkodzony: rekord bez przecinka (na przykład pusty "
     "wiersz).",
     "Powtórz odczyt. Plik a.dat zostaje w folderze inwentaryzacji."},
    {kDataFieldTooLong, "", "",
     "Plik a.dat z terminala jest uszkodzony: pole dłuższe niż 200 znaków.",
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
     "zostaje w folderze inwentaryzacji (następny odczyt przeniesie go pod nazwę "
     "a.dat.RRRRMMDD-GGMMSS)."},
    {kLockBlockedBegin, "ścieżka pliku kolektor.lock", kLockBlockedEnd,
     "W folderze inwentaryzacji leży plik kolektor.lock, którego wtyczka nie może otworzyć "
     "(atrybut tylko do odczytu albo brak prawa dostępu dla tego użytkownika), albo folder o "
     "tej nazwie. Bez tego pliku odczyt nie może zablokować folderu przed drugim odczytem, "
     "więc się nie zaczyna.",
     "Usuń wskazany plik lub folder kolektor.lock (albo zdejmij z pliku atrybut tylko do "
     "odczytu): wtyczka tworzy ten plik sama na czas odczytu i sama go usuwa."},
    {kFolderTooLongBegin, "folder inwentaryzacji", kFolderTooLongEnd,
     "Ścieżka folderu inwentaryzacji razem z najdłuższą nazwą pliku, który zakłada w nim "
     "import (kopia a.dat.RRRRMMDD-GGMMSS-99; także Inwent.bak.append i kolektor.lock), ma "
     "ponad 259 znaków, a tak długich ścieżek nie przyjmują funkcje Windows, których używają "
     "wtyczka i programy producenta terminala.",
     "Ustaw w ZRB plik inwentaryzacji w folderze o krótszej ścieżce (bliżej głównego folderu "
     "dysku)."},
    {kKeepDataNoNameBegin, "ścieżka pliku a.dat", kKeepDataNoNameEnd,
     "W folderze inwentaryzacji leży a.dat z nieudanego odczytu, a wszystkie nazwy, pod które "
     "odczyt mógłby go przenieść w tej sekundzie (a.dat.RRRRMMDD-GGMMSS oraz -2 do -99), są już "
     "zajęte: zwykle przez pliki skopiowane tam przez inny program.",
     "Powtórz odczyt za kilka sekund. Przejrzyj kopie a.dat w folderze inwentaryzacji: ich "
     "ilości odzyskasz poleceniem zrbhost convert, niepotrzebne usuń."},
    {kDownloadCutNoError, "", "",
     "Plik a.dat, który zostawił program IR_READ2.EXE, kończy się niepełnym rekordem, choć "
     "program zakończył pracę bez kodu błędu: zapis przerwał się w trakcie odczytu (zwykle "
     "pełny dysk, zerwane połączenie z dyskiem sieciowym lub z terminalem albo program "
     "przerwany w trakcie pracy). Ilości spoza zapisanej części nie dotarły, więc wtyczka nie "
     "przyjmuje żadnych.",
     "Wolne miejsce na dysku i połączenia, potem powtórz odczyt: ilości są nadal w "
     "terminalu. Plik inwentaryzacji i dziennik Inwent.bak zostały bez zmian; niepełny a.dat "
     "zostaje w folderze inwentaryzacji (następny odczyt przeniesie go pod nazwę "
     "a.dat.RRRRMMDD-GGMMSS)."},
    {kDataFileHeldBegin, "ścieżka pliku a.dat", kDataFileHeldEnd,
     "Inny program (podgląd, edytor, antywirus, kopia zapasowa, indeksowanie) trzyma plik "
     "a.dat otwarty bez udostępniania dłużej, niż wtyczka czeka (około 2 sekundy), więc "
     "wtyczka nie może odczytać ilości, które program IR_READ2.EXE właśnie zapisał.",
     "Który program otworzył a.dat (zwykle antywirus sprawdzający nowe pliki: dodaj folder "
     "inwentaryzacji do jego wyjątków), zamknij go i powtórz odczyt. Plik a.dat zostaje; "
     "następny odczyt przeniesie go pod nazwę a.dat.RRRRMMDD-GGMMSS."},
    {kJournalHeldBegin, "ścieżka dziennika Inwent.bak lub jego zapisu Inwent.bak.append",
     kJournalHeldEnd,
     "Inny program (podgląd, edytor, antywirus, kopia zapasowa) trzyma dziennik Inwent.bak "
     "albo zapis dopisywania Inwent.bak.append otwarty bez udostępniania dłużej, niż wtyczka "
     "czeka (około 2 sekundy). Odczyt nie dopisał niczego do dziennika i zakończył się bez "
     "przekazania ilości do ZRB.",
     "Zamknij program, który otworzył dziennik (na przykład Notatnik z Inwent.bak), i powtórz "
     "odczyt. Plik a.dat, jeśli już powstał, zostaje w folderze inwentaryzacji; ilości są też "
     "nadal w terminalu."},
    {kCountsHeldBegin, "ścieżka pliku inwentaryzacji", kCountsHeldEnd,
     "Inny program trzyma plik inwentaryzacji (ten, który ZRB wskazał do zapisu ilości) "
     "otwarty bez udostępniania dłużej, niż wtyczka czeka (około 2 sekundy), więc wtyczka "
     "nie może go zapisać albo odczytać do dziennika.",
     "Czy plik inwentaryzacji nie jest otwarty w innym programie (Excel, Notatnik, drugie "
     "okno ZRB), zamknij go i powtórz odczyt. Plik a.dat zostaje w folderze "
     "inwentaryzacji."},
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
