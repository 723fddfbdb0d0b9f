// What a read brought: the records of a counts file counted and their
// quantities added up, told as "Odczytano 5 pozycji, łącznie 57,5". zrbhost
// says it after every import; the test form includes this header to say
// it too. A read of no position is a warning: the host still gets its
// empty counts file and an empty journal block, and the person is told
// what to check.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace kolektor {

struct CountsSummary {
  std::uint64_t positions = 0;  // records "INW;code;quantity"
  std::int64_t total = 0;       // their quantities added up, in thousandths
  // Lines that are no counts record: none in a file the import wrote.
  std::uint64_t other_lines = 0;
  bool read_error = false;
};

// The quantity of a counts line, "INW;code;quantity": the signed digits
// after the last ';', at most `max_digits` of them. The journal's tool adds
// up a block's lines with it too.
bool QuantityAfterLastSemicolon(std::string_view line, std::size_t max_digits, std::int64_t& value);

// Reads the counts file to its end (records ended by CR LF; a code may
// hold ";", the quantity follows the last one).
CountsSummary SummarizeCounts(File& counts);

// True when the read brought nothing: the person is warned.
inline bool NothingRead(const CountsSummary& summary) {
  return !summary.read_error && summary.positions == 0;
}

// UTF-8: "Odczytano 1 pozycję, łącznie 2,5", or, for a read of no
// position, the warning that says what to check.
std::string CountsSummaryText(const CountsSummary& summary);

// Thousandths as people write a quantity: a decimal comma, no trailing
// zeros, no comma for a whole number (57500 -> "57,5", 2000 -> "2").
std::string QuantityText(std::int64_t thousandths);

}  // namespace kolektor
