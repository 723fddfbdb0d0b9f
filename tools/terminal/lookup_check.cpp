#include "tools/terminal/lookup_check.h"

#include <vector>

namespace kolektor::terminal {

namespace {

struct Column {
  const char* name;
  std::size_t min, max;
  const char* allowed;  // nullptr: any byte
};

constexpr Column kColumns[] = {
    {"code", 0, 20, nullptr},
    {"name", 0, 14, nullptr},
    {"price", 4, 8, "0123456789."},
    {"quantity", 5, 8, "-0123456789."},
};

std::vector<std::string_view> Split(std::string_view record) {
  std::vector<std::string_view> columns;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = record.find(',', start);
    columns.push_back(record.substr(start, comma - start));
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  return columns;
}

std::string CheckRecord(std::string_view record) {
  const std::vector<std::string_view> columns = Split(record);
  if (columns.size() != 4)
    return std::to_string(columns.size()) + " columns where the terminal takes 4";
  for (std::size_t i = 0; i < 4; ++i) {
    const Column& c = kColumns[i];
    const std::string_view v = columns[i];
    if (v.size() < c.min || v.size() > c.max)
      return std::string(c.name) + " of " + std::to_string(v.size()) + " bytes (" +
             std::to_string(c.min) + " to " + std::to_string(c.max) + " fit)";
    if (c.allowed != nullptr && v.find_first_not_of(c.allowed) != std::string_view::npos)
      return std::string(c.name) + " \"" + std::string(v) + "\" is no number";
  }
  return std::string();
}

}  // namespace

LookupCheck CheckLookupTable(std::string_view table) {
  LookupCheck check;
  std::size_t start = 0;
  while (start < table.size()) {
    const std::size_t end = table.find("\r\n", start);
    const std::size_t number = check.records + 1;
    std::string reason;
    if (end == std::string_view::npos) {
      reason = "not ended by CR LF";
    } else {
      const std::string_view record = table.substr(start, end - start);
      if (record.find_first_of("\r\n") != std::string_view::npos)
        reason = "a lone CR or LF inside the record";
      else
        reason = CheckRecord(record);
    }
    if (!reason.empty()) {
      check.ok = false;
      check.bad_record = number;
      check.reason = reason;
      return check;
    }
    ++check.records;
    start = end + 2;
  }
  return check;
}

bool FindCode(std::string_view table, std::string_view code, std::string& name) {
  std::size_t start = 0;
  while (start < table.size()) {
    std::size_t end = table.find("\r\n", start);
    if (end == std::string_view::npos) end = table.size();
    const std::vector<std::string_view> columns = Split(table.substr(start, end - start));
    if (columns.size() == 4 && columns[0] == code) {
      name = std::string(columns[1]);
      return true;
    }
    start = end + 2;
  }
  return false;
}

bool IsQuantity(std::string_view text) {
  if (text.empty() || text.size() > 8) return false;
  int points = 0, digits = 0;
  for (char c : text) {
    if (c == '.')
      ++points;
    else if (c >= '0' && c <= '9')
      ++digits;
    else
      return false;
  }
  return points <= 1 && digits > 0;
}

std::string QuantityAsRecorded(std::string_view typed) {
  std::string quantity(typed);
  const std::size_t comma = quantity.find(',');
  if (comma != std::string::npos && quantity.find('.') == std::string::npos) quantity[comma] = '.';
  return IsQuantity(quantity) ? quantity : std::string();
}

}  // namespace kolektor::terminal
