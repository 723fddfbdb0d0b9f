#include "base/cp1250.h"

namespace kolektor {

namespace {

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace

std::string Utf8FromCp1250(std::string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    char32_t cp = byte < 0x80 ? byte : 0xFFFD;
    for (const Cp1250Pair& p : kCp1250Upper)
      if (p.byte == byte) cp = p.code_point;
    AppendUtf8(out, cp);
  }
  return out;
}

bool Cp1250FromUtf8(std::string_view utf8, std::string& out) {
  out.clear();
  bool whole = true;
  for (std::size_t i = 0; i < utf8.size();) {
    char32_t cp = 0;
    const std::size_t size = DecodeUtf8(utf8, i, cp);
    const int byte = size == 0 ? -1 : Cp1250Byte(cp);
    whole = whole && byte >= 0;
    out += byte >= 0 ? static_cast<char>(byte) : '?';
    i += size == 0 ? 1 : size;
  }
  return whole;
}

}  // namespace kolektor
