#include "tools/docs/reference_docs.h"

#include "tools/docs/message_reference.h"

namespace kolektor::docs {

namespace {

const char* kHeader =
    "kolektor - komunikaty wtyczki\n"
    "=============================\n"
    "\n"
    "Każdy tekst, który wtyczka kolektor może pokazać w ZRB, z przyczyną i tym,\n"
    "co sprawdzić. W miejscu <...> ZRB pokazuje kod towaru, folder albo ścieżkę.\n"
    "Ten sam opis pokazuje program kolektor-test pod każdym błędem. Teksty\n"
    "wtyczki są przytoczone dokładnie tak, jak pokazuje je ZRB, także z ich\n"
    "dawnymi literówkami (\"nawiązac\", \"poczym\"): tak łatwo je odnaleźć.\n"
    "\n"
    "Zerowanie (przycisk \"Zeruj\" w ZRB, zrbhost clear) nie daje żadnego\n"
    "komunikatu: wtyczka tylko czeka sekundę i zgłasza wykonanie. Nie czyści\n"
    "pamięci terminala, nie usuwa plików ani dziennika Inwent.bak. Nie jest\n"
    "potrzebne; zeskanowane ilości usuń w samym terminalu, dopiero po udanym\n"
    "odczycie.\n"
    "\n"
    "Odczyt, który nie przyniósł żadnej pozycji, nie jest dla ZRB błędem: ZRB\n"
    "dostaje pusty plik inwentaryzacji, a dziennik Inwent.bak pusty blok.\n"
    "kolektor-test i zrbhost ostrzegają o nim (\"Odczyt nie przyniósł żadnej\n"
    "pozycji\"), a zrbhost journal oznacza taki blok jako pusty.\n"
    "\n";

}  // namespace

std::string Crlf(const std::string& lf_text) {
  std::string out;
  for (char c : lf_text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

// UTF-8 with a byte-order mark, so that Notepad shows the Polish letters on
// any Windows, XP included.
const char* kBom = "\xEF\xBB\xBF";

std::string MessagesFile() { return kBom + Crlf(kHeader + MessageReference()); }

std::string WithMessageSection(const std::string& install_txt) {
  const std::size_t at = install_txt.find(kMessageSectionMarker);
  const std::string before = at == std::string::npos ? install_txt : install_txt.substr(0, at);
  const std::string title = kMessageSectionMarker;
  std::string underline;
  for (std::size_t i = 0, n = 0; i < title.size(); ++i)
    if ((static_cast<unsigned char>(title[i]) & 0xC0) != 0x80) underline += '-', ++n;
  return before + Crlf(title + "\n" + underline + "\n\n" + MessageReference());
}

}  // namespace kolektor::docs
