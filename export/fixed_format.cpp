#include "export/fixed_format.h"

#include <charconv>
#include <cstdint>
#include <cstring>

namespace kolektor {

namespace {

std::size_t Fallback(float value, int decimals, char* out, std::size_t capacity) {
  const auto result = std::to_chars(out, out + capacity, static_cast<double>(value),
                                    std::chars_format::fixed, decimals);
  return static_cast<std::size_t>(result.ptr - out);
}

}  // namespace

std::size_t FormatFixed(float value, int decimals, char* out, std::size_t capacity) {
  if (decimals != 2 && decimals != 3) return Fallback(value, decimals, out, capacity);
  std::uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  const bool negative = (bits >> 31) != 0;
  const int biased = static_cast<int>((bits >> 23) & 0xFF);
  const std::uint32_t fraction = bits & 0x7FFFFF;
  if (biased == 0xFF) return Fallback(value, decimals, out, capacity);
  // value = mantissa x 2^exponent, exactly.
  const std::uint64_t mantissa = biased == 0 ? fraction : (fraction | 0x800000u);
  const int exponent = biased == 0 ? -149 : biased - 150;
  const std::uint64_t scale = decimals == 2 ? 100 : 1000;

  // The value times 10^decimals, rounded to a whole number, ties to even.
  std::uint64_t scaled = mantissa * scale;  // below 2^34
  if (exponent >= 0) {
    if (exponent > 20) return Fallback(value, decimals, out, capacity);
    scaled <<= exponent;
  } else {
    const int shift = -exponent;
    if (shift >= 40) {
      scaled = 0;  // below 2^-6 of the last decimal: rounds to zero
    } else {
      const std::uint64_t rest = scaled & ((std::uint64_t{1} << shift) - 1);
      const std::uint64_t half = std::uint64_t{1} << (shift - 1);
      scaled >>= shift;
      if (rest > half || (rest == half && (scaled & 1) != 0)) ++scaled;
    }
  }

  char* p = out;
  if (negative) *p++ = '-';
  p = std::to_chars(p, out + capacity, scaled / scale).ptr;
  *p++ = '.';
  std::uint64_t part = scaled % scale;
  for (int d = decimals - 1; d >= 0; --d) {
    p[d] = static_cast<char>('0' + part % 10);
    part /= 10;
  }
  return static_cast<std::size_t>(p + decimals - out);
}

}  // namespace kolektor
