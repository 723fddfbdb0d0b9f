// The texts of the portable tools that zrbhost and the message reference
// use, in Polish (UTF-8): what a goods file check warns of, the stock
// report, and the headings of a message's explanation. The programs' own
// texts are in host/program_texts.h, the plug-in's in base/texts.h.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

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

// The form of a Polish noun after the number `n`: one (1 pozycję), few (2-4,
// 22-24... pozycje, but 12-14 pozycji) or many (0, 5-21, 25... pozycji).
inline std::string_view PluralForm(std::uint64_t n, std::string_view one, std::string_view few,
                                   std::string_view many) {
  if (n == 1) return one;
  const std::uint64_t units = n % 10, tens = n % 100;
  return units >= 2 && units <= 4 && (tens < 12 || tens > 14) ? few : many;
}

// What a read brought, after every import of zrbhost and the test form.
inline constexpr std::string_view kReadSummary = "Odczytano {1} {2}, łącznie {3}";
inline constexpr std::string_view kPositionOne = "pozycję";
inline constexpr std::string_view kPositionFew = "pozycje";
inline constexpr std::string_view kPositionMany = "pozycji";
inline constexpr std::string_view kReadNothing =
    "Odczyt nie przyniósł żadnej pozycji: plik inwentaryzacji jest pusty, a do dziennika "
    "Inwent.bak dopisano pusty blok. Sprawdź, czy w terminalu są zeskanowane pozycje i czy "
    "terminal wysłał dane (menu 2.WYSLIJ DO ZRB, potem DATA FILE), i powtórz odczyt.";

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
    "kod {1} ma więcej niż {3} znaków (długość: {2}), a do terminala trafi tylko pierwszych "
    "{3}: zeskanowany kod nie zostanie rozpoznany. Ustaw \"Max. długość kodu kreskowego\" na 20 "
    "albo skróć kod.";
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
// Lines within 80 columns.
inline constexpr std::string_view kReportSummary =
    "Towarów w pliku towarów: {1}, policzonych kodów: {2}.\n"
    "Zgodnych: {3}, z różnicą: {4}, niepoliczonych: {6}.\n"
    "Policzonych spoza pliku towarów: {5}.\n";

// The explanation of a message: why it came, and what to check.
inline constexpr std::string_view kCause = "Przyczyna:";
inline constexpr std::string_view kCheck = "Co sprawdzić:";

}  // namespace kolektor::ui
