// Every text the plug-in shows the host or writes into a file, in one place.
// Written here in UTF-8, held as Windows-1250 bytes (see cp1250.h).
#pragma once

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
