#include "tools/files/goods_warnings.h"

#include <map>
#include <string_view>
#include <vector>

#include "base/cp1250.h"
#include "tools/tool_texts.h"

namespace kolektor {

namespace {

// Valid UTF-8 multi-byte sequences, and whether any byte above 0x7F stands
// outside one: a Windows-1250 file of Polish text always has such bytes
// (a lone "ą" is 0xB9), a UTF-8 file never.
class Utf8Watch {
 public:
  void Push(unsigned char byte, std::uint64_t line) {
    if (expected_ > 0) {
      if ((byte & 0xC0) == 0x80) {
        if (--expected_ == 0) {
          ++sequences_;
          if (first_line_ == 0) first_line_ = line;
        }
        return;
      }
      invalid_ = true;
      expected_ = 0;
    }
    if (byte < 0x80) return;
    if (byte >= 0xC2 && byte <= 0xDF)
      expected_ = 1;
    else if (byte >= 0xE0 && byte <= 0xEF)
      expected_ = 2;
    else if (byte >= 0xF0 && byte <= 0xF4)
      expected_ = 3;
    else
      invalid_ = true;
  }
  bool LooksUtf8() const { return sequences_ > 0 && !invalid_ && expected_ == 0; }
  std::uint64_t first_line() const { return first_line_; }

 private:
  int expected_ = 0;
  std::uint64_t sequences_ = 0;
  std::uint64_t first_line_ = 0;
  bool invalid_ = false;
};

bool HasDecimalMark(std::string_view field) {
  return field.find(',') != std::string_view::npos || field.find('.') != std::string_view::npos;
}

}  // namespace

bool FindGoodsWarnings(File& goods, const GoodsOptions& options,
                       const std::function<void(const GoodsWarningFound&)>& on_warning) {
  std::uint64_t line = 1, size = 0, lf_only = 0, lf_only_line = 0;
  std::string current;  // the line being read, LF dropped
  std::map<std::string, std::uint64_t> codes;
  Utf8Watch utf8;
  bool after_cr = false, bom_checked = false, bom = false;
  std::string head;

  auto complete_line = [&] {
    std::vector<std::string_view> fields;
    std::string_view rest = current;
    for (std::size_t semicolon; (semicolon = rest.find(';')) != std::string_view::npos;) {
      fields.push_back(rest.substr(0, semicolon));
      rest.remove_prefix(semicolon + 1);
    }
    fields.push_back(rest);
    if (fields.size() >= 2 && fields[1].size() <= 20) {
      const std::string code(fields[1]);
      if (code.size() > options.max_code_length)
        on_warning({GoodsWarning::kCodeCut, line, code, code.size()});
      if (code.find(',') != std::string::npos)
        on_warning({GoodsWarning::kCommaInCode, line, code, 0});
      const auto [it, first] = codes.emplace(code, line);
      if (!first) on_warning({GoodsWarning::kCodeTwice, line, code, it->second});
    }
    for (std::size_t f = 3; f <= 4 && f < fields.size(); ++f)
      if (HasDecimalMark(fields[f]))
        on_warning({GoodsWarning::kDecimalInPrice, line, std::string(fields[f]), f});
    if (fields.size() > 5 && HasDecimalMark(fields[5]))
      on_warning({GoodsWarning::kDecimalInQuantity, line, std::string(fields[5]), 5});
    current.clear();
    ++line;
  };

  char buffer[1 << 16];
  for (;;) {
    const long got = goods.Read(buffer, sizeof buffer);
    if (got < 0) return false;
    if (got == 0) break;
    for (long i = 0; i < got; ++i, ++size) {
      const auto byte = static_cast<unsigned char>(buffer[i]);
      if (!bom_checked) {
        head += static_cast<char>(byte);
        if (head.size() == 3 || byte < 0x80) {
          bom_checked = true;
          bom = head == "\xEF\xBB\xBF";
          if (bom) on_warning({GoodsWarning::kByteOrderMark, 1, "", 0});
        }
      }
      utf8.Push(byte, line);
      if (byte == '\n') {
        if (!after_cr && lf_only++ == 0) lf_only_line = line;
        after_cr = false;
        continue;
      }
      after_cr = byte == '\r';
      if (byte == '\r')
        complete_line();
      else
        current += static_cast<char>(byte);
    }
  }
  // The byte-order mark's warning already says UTF-8.
  if (utf8.LooksUtf8() && !bom) on_warning({GoodsWarning::kUtf8, utf8.first_line(), "", 0});
  if (lf_only > 0) on_warning({GoodsWarning::kLfOnly, lf_only_line, "", lf_only});
  if (!current.empty()) on_warning({GoodsWarning::kUnfinishedLastLine, line, "", 0});
  if (size == 0) on_warning({GoodsWarning::kEmptyFile, 0, "", 0});
  return true;
}

std::string GoodsWarningText(const GoodsWarningFound& w, const GoodsOptions& options) {
  namespace u = ui;
  const std::string value = Utf8FromCp1250(w.value);
  switch (w.kind) {
    case GoodsWarning::kByteOrderMark:
      return std::string(u::kWarnByteOrderMark);
    case GoodsWarning::kUtf8:
      return std::string(u::kWarnUtf8);
    case GoodsWarning::kLfOnly:
      return u::Fill(u::kWarnLfOnly, {std::to_string(w.number)});
    case GoodsWarning::kUnfinishedLastLine:
      return std::string(u::kWarnUnfinishedLastLine);
    case GoodsWarning::kCodeCut:
      return u::Fill(u::kWarnCodeCut,
                     {value, std::to_string(w.number), std::to_string(options.max_code_length)});
    case GoodsWarning::kCommaInCode:
      return u::Fill(u::kWarnCommaInCode, {value});
    case GoodsWarning::kCodeTwice:
      return u::Fill(u::kWarnCodeTwice, {value, std::to_string(w.number)});
    case GoodsWarning::kDecimalInPrice:
      return u::Fill(u::kWarnDecimalInPrice,
                     {std::string(w.number == 3 ? u::kBookPriceWord : u::kSalePriceWord), value});
    case GoodsWarning::kDecimalInQuantity:
      return u::Fill(u::kWarnDecimalInQuantity, {value});
    case GoodsWarning::kEmptyFile:
      return std::string(u::kWarnEmptyFile);
  }
  return std::string();
}

}  // namespace kolektor
