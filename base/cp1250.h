// Windows-1250, the code page of every text the host and the terminal see.
// Texts are written in the source as UTF-8 and turned into Windows-1250
// bytes at compile time, so the source stays readable and the bytes exact.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kolektor {

struct Cp1250Pair {
  char32_t code_point;
  unsigned char byte;
};

// Upper half of Windows-1250 (0x81, 0x83, 0x88, 0x90 and 0x98 are unused).
inline constexpr Cp1250Pair kCp1250Upper[] = {
    {0x20AC, 0x80}, {0x201A, 0x82}, {0x201E, 0x84}, {0x2026, 0x85}, {0x2020, 0x86}, {0x2021, 0x87},
    {0x2030, 0x89}, {0x0160, 0x8A}, {0x2039, 0x8B}, {0x015A, 0x8C}, {0x0164, 0x8D}, {0x017D, 0x8E},
    {0x0179, 0x8F}, {0x2018, 0x91}, {0x2019, 0x92}, {0x201C, 0x93}, {0x201D, 0x94}, {0x2022, 0x95},
    {0x2013, 0x96}, {0x2014, 0x97}, {0x2122, 0x99}, {0x0161, 0x9A}, {0x203A, 0x9B}, {0x015B, 0x9C},
    {0x0165, 0x9D}, {0x017E, 0x9E}, {0x017A, 0x9F}, {0x00A0, 0xA0}, {0x02C7, 0xA1}, {0x02D8, 0xA2},
    {0x0141, 0xA3}, {0x00A4, 0xA4}, {0x0104, 0xA5}, {0x00A6, 0xA6}, {0x00A7, 0xA7}, {0x00A8, 0xA8},
    {0x00A9, 0xA9}, {0x015E, 0xAA}, {0x00AB, 0xAB}, {0x00AC, 0xAC}, {0x00AD, 0xAD}, {0x00AE, 0xAE},
    {0x017B, 0xAF}, {0x00B0, 0xB0}, {0x00B1, 0xB1}, {0x02DB, 0xB2}, {0x0142, 0xB3}, {0x00B4, 0xB4},
    {0x00B5, 0xB5}, {0x00B6, 0xB6}, {0x00B7, 0xB7}, {0x00B8, 0xB8}, {0x0105, 0xB9}, {0x015F, 0xBA},
    {0x00BB, 0xBB}, {0x013D, 0xBC}, {0x02DD, 0xBD}, {0x013E, 0xBE}, {0x017C, 0xBF}, {0x0154, 0xC0},
    {0x00C1, 0xC1}, {0x00C2, 0xC2}, {0x0102, 0xC3}, {0x00C4, 0xC4}, {0x0139, 0xC5}, {0x0106, 0xC6},
    {0x00C7, 0xC7}, {0x010C, 0xC8}, {0x00C9, 0xC9}, {0x0118, 0xCA}, {0x00CB, 0xCB}, {0x011A, 0xCC},
    {0x00CD, 0xCD}, {0x00CE, 0xCE}, {0x010E, 0xCF}, {0x0110, 0xD0}, {0x0143, 0xD1}, {0x0147, 0xD2},
    {0x00D3, 0xD3}, {0x00D4, 0xD4}, {0x0150, 0xD5}, {0x00D6, 0xD6}, {0x00D7, 0xD7}, {0x0158, 0xD8},
    {0x016E, 0xD9}, {0x00DA, 0xDA}, {0x0170, 0xDB}, {0x00DC, 0xDC}, {0x00DD, 0xDD}, {0x0162, 0xDE},
    {0x00DF, 0xDF}, {0x0155, 0xE0}, {0x00E1, 0xE1}, {0x00E2, 0xE2}, {0x0103, 0xE3}, {0x00E4, 0xE4},
    {0x013A, 0xE5}, {0x0107, 0xE6}, {0x00E7, 0xE7}, {0x010D, 0xE8}, {0x00E9, 0xE9}, {0x0119, 0xEA},
    {0x00EB, 0xEB}, {0x011B, 0xEC}, {0x00ED, 0xED}, {0x00EE, 0xEE}, {0x010F, 0xEF}, {0x0111, 0xF0},
    {0x0144, 0xF1}, {0x0148, 0xF2}, {0x00F3, 0xF3}, {0x00F4, 0xF4}, {0x0151, 0xF5}, {0x00F6, 0xF6},
    {0x00F7, 0xF7}, {0x0159, 0xF8}, {0x016F, 0xF9}, {0x00FA, 0xFA}, {0x0171, 0xFB}, {0x00FC, 0xFC},
    {0x00FD, 0xFD}, {0x0163, 0xFE}, {0x02D9, 0xFF},
};
static_assert(sizeof(kCp1250Upper) / sizeof(kCp1250Upper[0]) == 123);

// The Windows-1250 byte of a code point, or -1 when the code page lacks it.
constexpr int Cp1250Byte(char32_t cp) {
  if (cp < 0x80) return static_cast<int>(cp);
  for (const Cp1250Pair& p : kCp1250Upper)
    if (p.code_point == cp) return p.byte;
  return -1;
}

// A zero-terminated Windows-1250 text held by value.
template <std::size_t N>
struct Cp1250Text {
  char bytes[N]{};
  std::size_t size = 0;
  constexpr std::string_view view() const { return {bytes, size}; }
  constexpr const char* c_str() const { return bytes; }
  constexpr operator std::string_view() const { return view(); }
};

// One character of UTF-8 at `at`: its code point and how many bytes it
// takes (1 to 3: every character of Windows-1250 lies within them); 0 for a
// broken or cut sequence, or one of 4 bytes.
constexpr std::size_t DecodeUtf8(std::string_view text, std::size_t at, char32_t& code_point) {
  const auto lead = static_cast<unsigned char>(text[at]);
  const std::size_t size = lead < 0x80             ? 1
                           : (lead & 0xE0) == 0xC0 ? 2
                           : (lead & 0xF0) == 0xE0 ? 3
                                                   : 0;
  if (size == 0 || at + size > text.size()) return 0;
  code_point = size == 1 ? lead : lead & (size == 2 ? 0x1F : 0x0F);
  for (std::size_t k = 1; k < size; ++k) {
    const auto next = static_cast<unsigned char>(text[at + k]);
    if ((next & 0xC0) != 0x80) return 0;
    code_point = (code_point << 6) | (next & 0x3F);
  }
  return size;
}

// Converts a UTF-8 literal; a character outside the code page or a broken
// sequence stops the compilation (the throw is not a constant expression).
template <std::size_t N>
constexpr Cp1250Text<N> ToCp1250(const char (&utf8)[N]) {
  Cp1250Text<N> out{};
  const std::string_view text(utf8, N - 1);
  for (std::size_t i = 0; i < text.size();) {
    char32_t cp = 0;
    const std::size_t size = DecodeUtf8(text, i, cp);
    if (size == 0) throw "text is not UTF-8 within Windows-1250";
    const int byte = Cp1250Byte(cp);
    if (byte < 0) throw "character missing from Windows-1250";
    out.bytes[out.size++] = static_cast<char>(byte);
    i += size;
  }
  return out;
}

// For people reading the plug-in's texts on a UTF-8 console; unused bytes
// of the code page become U+FFFD.
std::string Utf8FromCp1250(std::string_view text);

// The other way, for text typed by people (tests, tools); false when the
// text is not UTF-8 or holds a character the code page lacks, each of which
// then stands in `out` as "?", as Windows' own conversion writes it.
bool Cp1250FromUtf8(std::string_view utf8, std::string& out);

}  // namespace kolektor
