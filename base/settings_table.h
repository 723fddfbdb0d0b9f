// Settings values mapped to command-line parts by exact, case-sensitive
// comparison, as the host's texts are compared everywhere.
#pragma once

#include <cstddef>
#include <string_view>

namespace kolektor {

struct Choice {
  std::string_view value;
  std::string_view part;
};

template <std::size_t N>
constexpr std::string_view Pick(const Choice (&table)[N], std::string_view value,
                                std::string_view otherwise) {
  for (const Choice& c : table)
    if (c.value == value) return c.part;
  return otherwise;
}

// COM1..COM4 name their port number; any other value is copied as it is.
inline constexpr Choice kComPorts[] = {{"COM1", "1"}, {"COM2", "2"}, {"COM3", "3"}, {"COM4", "4"}};

}  // namespace kolektor
