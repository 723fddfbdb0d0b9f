// What the simulated terminal accepts of a lookup file: records of four
// columns (code 0-20, name 0-14, price 4-8, quantity 5-8 bytes) ended by
// CR LF. Plain C++, so it is tested natively too.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kolektor::terminal {

struct LookupCheck {
  bool ok = true;
  std::size_t records = 0;     // records accepted
  std::size_t bad_record = 0;  // 1-based, when !ok
  std::string reason;
};

LookupCheck CheckLookupTable(std::string_view table);
bool FindCode(std::string_view table, std::string_view code, std::string& name);
// A quantity as typed on the terminal: up to 8 characters, digits with at
// most one point, at least one digit.
bool IsQuantity(std::string_view text);
// A quantity as a Polish user types it, with a decimal comma or a point
// ("57,5", "57.5"), as the terminal records it (with a point, the comma
// being its data file's separator); empty when the terminal refuses it.
std::string QuantityAsRecorded(std::string_view typed);

}  // namespace kolektor::terminal
