// Checks shared by the fuzz targets: what every lookup and counts record
// must look like, whatever the input. A broken invariant aborts, so
// libFuzzer keeps the input as a crash.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace kolektor::fuzz {

inline void Require(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
  }
}

inline std::vector<std::string_view> Records(std::string_view file) {
  std::vector<std::string_view> records;
  std::size_t start = 0;
  while (start < file.size()) {
    const std::size_t end = file.find("\r\n", start);
    Require(end != std::string_view::npos, "every record ends with CR LF");
    records.push_back(file.substr(start, end - start));
    start = end + 2;
  }
  return records;
}

inline bool IsPolishLetter(unsigned char c) {
  const unsigned char letters[] = {0x8C, 0x9C, 0x8F, 0x9F, 0xA3, 0xB3, 0xA5, 0xB9, 0xAF,
                                   0xBF, 0xC6, 0xE6, 0xCA, 0xEA, 0xD1, 0xF1, 0xD3, 0xF3};
  for (unsigned char l : letters)
    if (l == c) return true;
  return false;
}

// code,name,price,quantity: the code may hold commas, the other columns not.
inline void CheckLookupFile(std::string_view file, std::size_t max_code) {
  for (std::string_view r : Records(file)) {
    Require(r.size() + 2 <= 55, "a lookup record is at most 55 bytes");
    const std::size_t q = r.rfind(',');
    Require(q != std::string_view::npos && q > 0, "quantity column");
    const std::size_t p = r.rfind(',', q - 1);
    Require(p != std::string_view::npos && p > 0, "price column");
    const std::size_t n = r.rfind(',', p - 1);
    Require(n != std::string_view::npos, "name column");
    const std::string_view name = r.substr(n + 1, p - n - 1);
    const std::string_view price = r.substr(p + 1, q - p - 1);
    const std::string_view quantity = r.substr(q + 1);
    Require(n <= max_code, "code cut to the maximum length");
    Require(name.size() <= 14, "name at most 14 bytes");
    for (char c : name)
      Require(!IsPolishLetter(static_cast<unsigned char>(c)) && c != ',', "name mapped");
    Require(price.size() >= 4 && price.size() <= 8, "price 4 to 8 bytes");
    Require(quantity.size() >= 5 && quantity.size() <= 8, "quantity 5 to 8 bytes");
    Require(price.find_first_not_of("0123456789.") == std::string_view::npos, "price digits");
    Require(quantity.find_first_not_of("-0123456789.") == std::string_view::npos,
            "quantity digits");
  }
}

// INW;<code>;<quantity>: quantity at least five characters, a sign only first.
inline void CheckCountsFile(std::string_view file) {
  for (std::string_view r : Records(file)) {
    Require(r.substr(0, 4) == "INW;", "record tag");
    const std::size_t semi = r.rfind(';');
    Require(semi >= 4, "two separators");
    const std::string_view code = r.substr(4, semi - 4);
    const std::string_view quantity = r.substr(semi + 1);
    Require(code.size() <= 20, "code at most 20 bytes");
    Require(code.find_first_of("\r\n,") == std::string_view::npos, "code bytes");
    Require(quantity.size() >= 5 && quantity.size() <= 11, "quantity 5 to 11 characters");
    const std::string_view digits = quantity[0] == '-' ? quantity.substr(1) : quantity;
    Require(!digits.empty() && digits.find_first_not_of("0123456789") == std::string_view::npos,
            "quantity digits");
  }
}

inline std::size_t Count(std::string_view bytes, char c) {
  std::size_t n = 0;
  for (char b : bytes) n += b == c;
  return n;
}

}  // namespace kolektor::fuzz
