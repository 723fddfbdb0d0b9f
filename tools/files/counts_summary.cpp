#include "tools/files/counts_summary.h"

#include <string_view>

#include "import/line_file.h"
#include "tools/tool_texts.h"

namespace kolektor {

namespace {

// The quantity of "INW;code;quantity" as the import writes it ("%05ld" of
// a 32-bit number): an optional minus and at most 10 digits after the last
// ';'.
bool RecordQuantity(std::string_view line, std::int64_t& value) {
  return line.substr(0, 4) == "INW;" && line.rfind(';') >= 4 &&
         QuantityAfterLastSemicolon(line, 10, value);
}

}  // namespace

bool QuantityAfterLastSemicolon(std::string_view line, std::size_t max_digits,
                                std::int64_t& value) {
  const std::size_t semicolon = line.rfind(';');
  if (semicolon == std::string_view::npos) return false;
  std::string_view digits = line.substr(semicolon + 1);
  const bool negative = !digits.empty() && digits[0] == '-';
  if (negative) digits.remove_prefix(1);
  if (digits.empty() || digits.size() > max_digits) return false;
  value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  if (negative) value = -value;
  return true;
}

CountsSummary SummarizeCounts(File& counts) {
  CountsSummary summary;
  LineReader lines;
  std::string line;
  while (lines.Next(counts, line, "\r\n")) {
    std::int64_t quantity = 0;
    if (!lines.Unterminated() && RecordQuantity(line, quantity)) {
      ++summary.positions;
      summary.total += quantity;
    } else {
      ++summary.other_lines;
    }
  }
  summary.read_error = lines.Failed();
  return summary;
}

std::string QuantityText(std::int64_t thousandths) {
  const bool negative = thousandths < 0;
  const std::uint64_t magnitude = negative ? static_cast<std::uint64_t>(-(thousandths + 1)) + 1
                                           : static_cast<std::uint64_t>(thousandths);
  std::string text = (negative ? "-" : "") + std::to_string(magnitude / 1000);
  std::uint64_t fraction = magnitude % 1000;
  if (fraction == 0) return text;
  std::string digits = std::to_string(fraction);
  digits.insert(0, 3 - digits.size(), '0');
  while (digits.back() == '0') digits.pop_back();
  return text + "," + digits;
}

std::string CountsSummaryText(const CountsSummary& summary) {
  if (NothingRead(summary)) return std::string(ui::kReadNothing);
  return ui::Fill(ui::kReadSummary,
                  {std::to_string(summary.positions),
                   std::string(ui::PluralForm(summary.positions, ui::kPositionOne, ui::kPositionFew,
                                              ui::kPositionMany)),
                   QuantityText(summary.total)});
}

}  // namespace kolektor
