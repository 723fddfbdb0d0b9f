// What the host must read for every choice list and property number, written out
// independently of the plug-in's own tables. UTF-8 here; the native tests
// compare the Windows-1250 bytes, and the Windows tests hold the real DLL to
// those same tables.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace kolektor::expected {

struct Property {
  int number;
  const char* utf8;
  std::size_t width;        // bytes written, zero-filled after the text
  std::size_t cp1250_size;  // the text's own byte count in Windows-1250
};

inline constexpr const char* kSendToHost =
    "Włącz zasilanie doku, sprawdź połączenie RS232 z komputerem,\n"
    "następnie umieść inwentaryzator w doku i załącz go.\n\n"
    "Wybierz z menu głównego: 2.WYSLIJ DO ZRB. poczym DATA FILE";
inline constexpr const char* kLoadFromHost =
    "Włącz zasilanie doku, sprawdź połączenie RS232 z komputerem,\n"
    "następnie umieść inwentaryzator w doku i załącz go.\n\n"
    "Wybierz z menu głównego 3.KONFIGURACJA poczym 8.POBR. DANYCH Z ZRB.";

inline constexpr Property kProperties[] = {
    {1, "CipherLab 8x00", 20, 14},
    {2, "RX_Valdor", 20, 9},
    {301, "1", 5, 1},
    {302, kSendToHost, 299, 172},
    {303, kLoadFromHost, 299, 181},
    {304, "", 2, 0},
    {305, "0", 5, 1},
    {306, "0", 5, 1},
    {307, "0", 5, 1},
    {308, "0", 5, 1},
    {0, "", 2, 0},
    {3, "", 2, 0},
    {300, "", 2, 0},
    {309, "", 2, 0},
    {-1, "", 2, 0},
};

struct ChoiceList {
  const char* name;
  std::vector<std::string> choices;
  bool padded;  // to 10 bytes; otherwise the text and its zero only
};

inline const ChoiceList kChoiceLists[] = {
    {"baud", {"9600", "19200", "38400", "57600", "115200"}, true},
    {"cena", {"Cena det", "Cena zak"}, true},
    {"maxKod", {"13", "20"}, true},
    {"timeout",
     {"1 min", "2 min", "5 min", "10 min", "15 min", "30 min", "60 min", "120 min", "600 min"},
     false},
};

}  // namespace kolektor::expected
