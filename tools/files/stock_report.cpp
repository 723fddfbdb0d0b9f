#include "tools/files/stock_report.h"

#include <map>
#include <string_view>

#include "base/cp1250.h"
#include "tools/tool_texts.h"

namespace kolektor {

namespace {

bool ReadAll(File& file, std::string& bytes) {
  char buffer[1 << 16];
  for (;;) {
    const long got = file.Read(buffer, sizeof buffer);
    if (got < 0) return false;
    if (got == 0) return true;
    bytes.append(buffer, static_cast<std::size_t>(got));
  }
}

// A whole number as "%d" reads it: blanks, a sign, digits.
std::int64_t LeadingNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  const bool negative = i < text.size() && text[i] == '-';
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
  std::int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9' && value < (1ll << 50); ++i)
    value = value * 10 + (text[i] - '0');
  return negative ? -value : value;
}

std::string CsvField(std::string_view utf8) {
  std::string out = "\"";
  for (char c : utf8) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

}  // namespace

std::string Thousandths(std::int64_t value) {
  const bool negative = value < 0;
  const std::uint64_t magnitude =
      negative ? static_cast<std::uint64_t>(-(value + 1)) + 1 : static_cast<std::uint64_t>(value);
  std::string fraction = std::to_string(magnitude % 1000);
  fraction.insert(0, 3 - fraction.size(), '0');
  return (negative ? "-" : "") + std::to_string(magnitude / 1000) + "," + fraction;
}

bool BuildStockReport(File& goods, File& counts, StockReport& report) {
  std::string goods_bytes, counts_bytes;
  if (!ReadAll(goods, goods_bytes) || !ReadAll(counts, counts_bytes)) return false;
  report = StockReport{};
  std::map<std::string, std::size_t> index;

  // Goods lines end with CR; LF is dropped, as the export reads them.
  std::string line;
  auto goods_line = [&] {
    std::vector<std::string_view> f;
    std::string_view rest = line;
    for (std::size_t s; (s = rest.find(';')) != std::string_view::npos; rest.remove_prefix(s + 1))
      f.push_back(rest.substr(0, s));
    f.push_back(rest);
    if (f.size() >= 6 && f[0] == "TOW") {
      const std::string code(f[1]);
      const auto found = index.find(code);
      if (found == index.end()) {
        index.emplace(code, report.lines.size());
        report.lines.push_back({code, std::string(f[2]), true, false, LeadingNumber(f[5]), 0});
      } else {
        report.lines[found->second].book += LeadingNumber(f[5]);
      }
    }
    line.clear();
  };
  for (char c : goods_bytes) {
    if (c == '\n') continue;
    if (c == '\r')
      goods_line();
    else
      line += c;
  }

  // Counts records: INW;code;quantity CR LF; a code may hold ";".
  std::size_t start = 0;
  while (start < counts_bytes.size()) {
    std::size_t end = counts_bytes.find("\r\n", start);
    if (end == std::string::npos) end = counts_bytes.size();
    const std::string_view record(counts_bytes.data() + start, end - start);
    start = end + 2;
    const std::size_t first = record.find(';'), last = record.rfind(';');
    if (record.substr(0, 4) != "INW;" || first == last) continue;
    const std::string code(record.substr(first + 1, last - first - 1));
    const auto found = index.find(code);
    std::size_t at = 0;
    if (found == index.end()) {
      at = report.lines.size();
      index.emplace(code, at);
      report.lines.push_back({code, "", false, true, 0, 0});
    } else {
      at = found->second;
    }
    report.lines[at].counted = true;
    report.lines[at].counted_qty += LeadingNumber(record.substr(last + 1));
  }

  for (const StockLine& l : report.lines) {
    report.listed += l.listed;
    report.counted += l.counted;
    if (l.listed && l.counted) (l.book == l.counted_qty ? report.equal : report.different) += 1;
    if (!l.listed) ++report.not_listed;
    if (!l.counted) ++report.not_counted;
  }
  return true;
}

std::string StockReportCsv(const StockReport& report) {
  namespace u = ui;
  std::string csv = "\xEF\xBB\xBF";
  csv += u::kReportCsvHeader;
  csv += "\r\n";
  for (const StockLine& l : report.lines) {
    const std::string_view state = !l.listed                 ? u::kReportNotListed
                                   : !l.counted              ? u::kReportNotCounted
                                   : l.book == l.counted_qty ? u::kReportEqual
                                                             : u::kReportDifferent;
    csv += CsvField(Utf8FromCp1250(l.code)) + ";" + CsvField(Utf8FromCp1250(l.name)) + ";" +
           (l.listed ? Thousandths(l.book) : "") + ";" +
           (l.counted ? Thousandths(l.counted_qty) : "") + ";" +
           Thousandths(l.counted_qty - l.book) + ";" + CsvField(state) + "\r\n";
  }
  return csv;
}

std::string StockReportSummary(const StockReport& r) {
  return ui::Fill(
      ui::kReportSummary,
      {std::to_string(r.listed), std::to_string(r.counted), std::to_string(r.equal),
       std::to_string(r.different), std::to_string(r.not_listed), std::to_string(r.not_counted)});
}

}  // namespace kolektor
