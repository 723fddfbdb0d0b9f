// A moment as text, by a pattern: Y year (4 digits), M month, D day,
// h hour, m minute, s second (2 digits each), f milliseconds (3 digits);
// every other character stands for itself. The journal's header, the
// trace's stamps and the kept a.dat's name all come from here.
#pragma once

#include <string>
#include <string_view>

#include "platform/platform.h"

namespace kolektor {

inline std::string TimeText(const LocalTime& t, std::string_view pattern) {
  std::string out;
  auto put = [&out](int value, int digits) {
    char text[4];
    for (int k = digits - 1; k >= 0; --k, value /= 10)
      text[k] = static_cast<char>('0' + value % 10);
    out.append(text, static_cast<std::size_t>(digits));
  };
  for (char c : pattern) {
    switch (c) {
      case 'Y':
        put(t.year, 4);
        break;
      case 'M':
        put(t.month, 2);
        break;
      case 'D':
        put(t.day, 2);
        break;
      case 'h':
        put(t.hour, 2);
        break;
      case 'm':
        put(t.minute, 2);
        break;
      case 's':
        put(t.second, 2);
        break;
      case 'f':
        put(t.millisecond, 3);
        break;
      default:
        out += c;
    }
  }
  return out;
}

}  // namespace kolektor
