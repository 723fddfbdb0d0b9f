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
  for (std::size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    std::size_t extra = lead < 0x80 ? 0 : (lead & 0xE0) == 0xC0 ? 1 : (lead & 0xF0) == 0xE0 ? 2 : 3;
    if (extra == 3 || i + extra >= utf8.size() + (extra == 0 ? 1 : 0)) return false;
    char32_t cp = extra == 0 ? lead : lead & (extra == 1 ? 0x1F : 0x0F);
    for (std::size_t k = 1; k <= extra; ++k) {
      const auto cont = static_cast<unsigned char>(utf8[i + k]);
      if ((cont & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (cont & 0x3F);
    }
    const int byte = Cp1250Byte(cp);
    if (byte < 0) return false;
    out += static_cast<char>(byte);
    i += extra + 1;
  }
  return true;
}

}  // namespace kolektor
