// Generated goods and data files of realistic shape for the benchmarks.
#pragma once

#include <cstdio>
#include <string>

namespace kolektor::bench {

// Goods lines as the host writes them: EAN-13 codes, Polish names of
// 20-40 bytes (Windows-1250), prices and quantities of everyday size.
inline std::string GoodsLine(long i) {
  static const char* kNames[] = {"Mąka pszenna, typ 500 1kg",       "Śmietana 18% Łaciata 200g",
                                 "Chleb żytni razowy krojony 500g", "Kiełbasa śląska wędzona",
                                 "Masło ekstra 82% 200g",           "Jogurt naturalny gęsty 180g",
                                 "Sok jabłkowy 100% tłoczony 1l",   "Ręczniki papierowe 2 rolki"};
  char line[160];
  const int n = std::snprintf(line, sizeof line, "TOW;59%011ld;%s;%ld;%ld;%ld;23\r\n", i,
                              kNames[i % 8], 100 + i % 9000, 150 + i % 12000, (i * 37) % 900000);
  return std::string(line, static_cast<std::size_t>(n));
}

inline std::string DataLine(long i) {
  char line[64];
  const int n = std::snprintf(line, sizeof line, "59%011ld,%ld.%03ld\r\n", i, i % 500, i % 1000);
  return std::string(line, static_cast<std::size_t>(n));
}

// Writes `lines` lines to `path` once; returns the byte count.
template <typename Line>
long WriteLines(const std::string& path, long lines, Line line) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  long bytes = 0;
  for (long i = 0; i < lines; ++i) {
    const std::string l = line(i);
    bytes += static_cast<long>(std::fwrite(l.data(), 1, l.size(), f));
  }
  std::fclose(f);
  return bytes;
}

}  // namespace kolektor::bench
