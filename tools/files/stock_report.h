// The book quantities of the goods file beside the counted quantities of
// the counts file, per code: what the stocktaking found, as a CSV file that
// Excel opens with the Polish letters intact, and a short summary.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace kolektor {

struct StockLine {
  std::string code, name;        // Windows-1250, as in the files
  bool listed = false;           // in the goods file
  bool counted = false;          // in the counts file
  std::int64_t book = 0;         // thousandths
  std::int64_t counted_qty = 0;  // thousandths, all records of the code added up
};

struct StockReport {
  std::vector<StockLine> lines;  // goods file order, then codes counted but not listed
  std::uint64_t listed = 0, counted = 0, equal = 0, different = 0, not_listed = 0, not_counted = 0;
};

// False when a file could not be read.
bool BuildStockReport(File& goods, File& counts, StockReport& report);

// UTF-8 with a byte-order mark, ";" between columns, decimal commas, CR LF:
// what Excel in Polish opens as it stands.
std::string StockReportCsv(const StockReport& report);
// The summary lines, UTF-8.
std::string StockReportSummary(const StockReport& report);

// Thousandths with a decimal comma: 12500 -> "12,500".
std::string Thousandths(std::int64_t value);

}  // namespace kolektor
