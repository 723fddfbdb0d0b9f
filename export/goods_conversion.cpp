#include "export/goods_conversion.h"

#include <cfloat>
#include <charconv>
#include <cstring>

#include "base/texts.h"
#include "base/trace.h"
#include "export/fixed_format.h"

// The counts and prices are defined by single-precision arithmetic; a
// compiler that evaluates floats in wider registers would change them.
static_assert(FLT_EVAL_METHOD == 0, "build with SSE2 floating point");

namespace kolektor {

namespace {

namespace t = text;

struct FaultMessage {
  GoodsFault fault;
  std::string_view first;
  std::string_view last;  // empty: the first part is the whole text
};

constexpr FaultMessage kFaultMessages[] = {
    {GoodsFault::kTow, t::kGoodsNoTowTag, ""},
    {GoodsFault::kCodeLength, t::kGoodsCodeTooLong, t::kFieldKod},
    {GoodsFault::kBookPriceLength, t::kGoodsBookPriceTooLong, t::kFieldBookPrice},
    {GoodsFault::kSalePriceLength, t::kGoodsSalePriceTooLong, t::kFieldSalePrice},
    {GoodsFault::kFieldCount, t::kGoodsFieldCount, t::kCloseBracket},
    {GoodsFault::kQuantityLength, t::kGoodsQuantityTooLong, t::kFieldQuantity},
    {GoodsFault::kQuantityNumber, t::kGoodsQuantityNoNumber, t::kFieldQuantity},
    {GoodsFault::kVatLength, t::kGoodsVatTooLong, t::kFieldVat},
    {GoodsFault::kFieldTooLong, t::kGoodsFieldTooLong, t::kLineTooLong},
    {GoodsFault::kSalePriceNumber, t::kGoodsPriceNoNumber, t::kFieldSalePrice},
    {GoodsFault::kBookPriceNumber, t::kGoodsPriceNoNumber, t::kFieldBookPrice},
    {GoodsFault::kVatNumber, t::kGoodsVatNoNumber, t::kFieldVat},
};
static_assert(sizeof(kFaultMessages) / sizeof(kFaultMessages[0]) == 12);

struct TerminalLetter {
  unsigned char from, to;
};
constexpr TerminalLetter kTerminalLetters[] = {
    {0x8C, 'S'}, {0x9C, 's'}, {0x8F, 'Z'}, {0x9F, 'z'}, {0xA3, 'L'}, {0xB3, 'l'}, {0xA5, 'A'},
    {0xB9, 'a'}, {0xAF, 'Z'}, {0xBF, 'z'}, {0xC6, 'C'}, {0xE6, 'c'}, {0xCA, 'E'}, {0xEA, 'e'},
    {0xD1, 'N'}, {0xF1, 'n'}, {0xD3, 'O'}, {0xF3, 'o'}, {',', ' '},
};
static_assert(sizeof(kTerminalLetters) / sizeof(kTerminalLetters[0]) == 19);

struct TerminalMap {
  unsigned char to[256];
  constexpr TerminalMap() : to() {
    for (int b = 0; b < 256; ++b) to[b] = static_cast<unsigned char>(b);
    for (const TerminalLetter& l : kTerminalLetters) to[l.from] = l.to;
  }
};
constexpr TerminalMap kTerminalMap;

constexpr std::string_view kTow = "TOW";
constexpr std::size_t kCodeLimit = 20;
constexpr std::size_t kNameLimit = 99;
constexpr std::size_t kPriceLimit = 19;
constexpr std::size_t kQuantityLimit = 9;
constexpr std::size_t kVatLimit = 3;
constexpr std::size_t kNameColumn = 14;
constexpr std::size_t kNumberColumn = 8;

// Blanks as the formatted-input conversions skip them (CR and LF cannot
// occur inside a field).
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A whole number read the way "%u" reads it: blanks, an optional sign,
// digits up to the first non-digit; the rest of the field is ignored.
struct ScannedNumber {
  bool has_digits = false;
  bool negative = false;
  bool too_big = false;  // more than 32 bits
  std::uint32_t value = 0;
};

ScannedNumber ScanWholeNumber(const char* text, std::size_t size) {
  ScannedNumber n;
  std::size_t i = 0;
  while (i < size && IsBlank(text[i])) ++i;
  if (i < size && (text[i] == '+' || text[i] == '-')) {
    n.negative = text[i] == '-';
    ++i;
  }
  std::uint64_t value = 0;
  for (; i < size && IsDigit(text[i]); ++i) {
    n.has_digits = true;
    value = value * 10 + static_cast<unsigned>(text[i] - '0');
    if (value > 0xFFFFFFFFu) {
      n.too_big = true;
      value = 0xFFFFFFFFu;  // keeps the arithmetic bounded; refused anyway
    }
  }
  n.value = static_cast<std::uint32_t>(value);
  return n;
}

// A price is a whole number of hundredths from 0 up; "-0" is zero, not a
// negative price.
bool IsPrice(const ScannedNumber& n) {
  return n.has_digits && !n.too_big && !(n.negative && n.value != 0);
}

// Only a byte that is no digit right after the blanks and the sign makes a
// field "no number"; an empty one passes this check (the rate is not used).
bool VatHoldsNoNumber(const char* text, std::size_t size) {
  std::size_t i = 0;
  while (i < size && IsBlank(text[i])) ++i;
  if (i < size && (text[i] == '+' || text[i] == '-')) ++i;
  return i < size && !IsDigit(text[i]);
}

// "%.*f" of a value first rounded to single precision, as the terminal's
// table was always written; the same bytes on every runtime.
std::size_t FormatSingle(double exact, int decimals, char* out, std::size_t capacity) {
  return FormatFixed(static_cast<float>(exact), decimals, out, capacity);
}

}  // namespace

unsigned char ZnakDlaTerminala(unsigned char byte) { return kTerminalMap.to[byte]; }

GoodsMachine::GoodsMachine(const GoodsOptions& options) : options_(options) {
  // A price level outside the two choices falls back to the default
  // ("Cena det"), so every record has its price column.
  if (options_.price_level != 2) options_.price_level = 1;
}

GoodsMachine::Step GoodsMachine::Push(unsigned char byte) {
  if (byte == '\n') return Step::kNext;  // dropped wherever it stands
  if (skipping_) {
    if (byte == '\r') {
      skipping_ = false;
      ++line_;
    }
    return Step::kNext;
  }
  if (byte == '\r' || byte == ';') {
    line_end_ = byte == '\r';
    fault_at_line_end_ = line_end_;
    const Step step = CompleteField();
    if (byte == '\r' && step != Step::kFault) ++line_;
    return step;
  }
  if (field_size_ == kFieldLimit) {
    fault_at_line_end_ = false;
    return Refuse(GoodsFault::kFieldTooLong);
  }
  field_[field_size_++] = static_cast<char>(byte);
  return Step::kNext;
}

GoodsMachine::Step GoodsMachine::Refuse(GoodsFault fault) {
  fault_ = fault;
  return Step::kFault;
}

GoodsMachine::Step GoodsMachine::CompleteField() {
  const char* f = field_;
  const std::size_t n = field_size_;
  switch (field_number_) {
    case 0:
      if (std::string_view(f, n) != kTow) return Refuse(GoodsFault::kTow);
      break;
    case 1:
      if (n > kCodeLimit) return Refuse(GoodsFault::kCodeLength);
      std::memcpy(code_, f, n);
      code_size_ = n;
      break;
    case 2:
      name_size_ = n < kNameLimit ? n : kNameLimit;
      std::memcpy(name_, f, name_size_);
      break;
    case 3:
      if (n > kPriceLimit) return Refuse(GoodsFault::kBookPriceLength);
      std::memcpy(book_, f, n);
      book_size_ = n;
      break;
    case 4:
      if (n > kPriceLimit) return Refuse(GoodsFault::kSalePriceLength);
      std::memcpy(sale_, f, n);
      sale_size_ = n;
      break;
    case 5: {
      if (n > kQuantityLimit) return Refuse(GoodsFault::kQuantityLength);
      const ScannedNumber q = ScanWholeNumber(f, n);
      if (!q.has_digits) return Refuse(GoodsFault::kQuantityNumber);
      // At most 9 bytes: the value always fits a signed 32-bit integer.
      const auto thousandths =
          q.negative ? -static_cast<std::int64_t>(q.value) : static_cast<std::int64_t>(q.value);
      quantity_size_ =
          FormatSingle(static_cast<double>(thousandths) / 1000.0, 3, quantity_, sizeof quantity_);
      break;
    }
    case 6:
      if (n > kVatLimit) return Refuse(GoodsFault::kVatLength);
      if (VatHoldsNoNumber(f, n)) return Refuse(GoodsFault::kVatNumber);
      break;
    default:
      return Refuse(GoodsFault::kFieldCount);
  }
  if (line_end_) return CompleteLine();
  field_size_ = 0;
  ++field_number_;
  return Step::kNext;
}

GoodsMachine::Step GoodsMachine::CompleteLine() {
  const int last_field = field_number_;
  line_end_ = false;
  field_number_ = 0;
  field_size_ = 0;
  // A line ended before its VAT field would borrow the previous line's
  // values; it is refused instead.
  if (last_field < 6) return Refuse(GoodsFault::kFieldCount);

  // Both prices are checked on every line, the sale price first.
  char sale_text[32];
  char book_text[32];
  const ScannedNumber sale = ScanWholeNumber(sale_, sale_size_);
  if (!IsPrice(sale)) return Refuse(GoodsFault::kSalePriceNumber);
  const ScannedNumber book = ScanWholeNumber(book_, book_size_);
  if (!IsPrice(book)) return Refuse(GoodsFault::kBookPriceNumber);
  const std::size_t sale_size = FormatSingle(sale.value / 100.0, 2, sale_text, sizeof sale_text);
  const std::size_t book_size = FormatSingle(book.value / 100.0, 2, book_text, sizeof book_text);

  auto cut = [](std::size_t size, std::size_t limit) { return size < limit ? size : limit; };
  char* out = record_;
  const std::size_t code_size = cut(code_size_, options_.max_code_length);
  std::memcpy(out, code_, code_size);
  out += code_size;
  *out++ = ',';
  const std::size_t name_size = cut(name_size_, kNameColumn);
  for (std::size_t i = 0; i < name_size; ++i)
    *out++ = static_cast<char>(ZnakDlaTerminala(static_cast<unsigned char>(name_[i])));
  *out++ = ',';
  const char* price = options_.price_level == 2 ? book_text : sale_text;
  const std::size_t price_size =
      cut(options_.price_level == 2 ? book_size : sale_size, kNumberColumn);
  std::memcpy(out, price, price_size);
  out += price_size;
  *out++ = ',';
  const std::size_t quantity_size = cut(quantity_size_, kNumberColumn);
  std::memcpy(out, quantity_, quantity_size);
  out += quantity_size;
  *out++ = '\r';
  *out++ = '\n';
  record_size_ = static_cast<std::size_t>(out - record_);
  return Step::kRecord;
}

std::string GoodsFaultText(GoodsFault fault, std::string_view code) {
  for (const FaultMessage& m : kFaultMessages) {
    if (m.fault != fault) continue;
    std::string text(m.first);
    if (!m.last.empty()) {
      text.append(code);
      text.append(m.last);
    }
    return text;
  }
  return std::string();
}

std::string GoodsMachine::FaultText() const {
  return GoodsFaultText(fault_, std::string_view(code_, code_size_));
}

void GoodsMachine::SkipToNextLine() {
  // A fault found at the line's CR leaves nothing of the line to skip.
  if (fault_at_line_end_)
    ++line_;
  else
    skipping_ = true;
  field_size_ = 0;
  field_number_ = 0;
  line_end_ = false;
  fault_ = GoodsFault::kNone;
}

bool KonwertujTowary(File& goods, File& lookup, const GoodsOptions& options, const HostLink& host) {
  GoodsMachine machine(options);
  // A read error is no end of file: a cut goods list must not reach the
  // terminal as if it were complete.
  static constexpr ConversionNames kNames{"reading the goods file", "writing the lookup file",
                                          "closing the lookup file", t::kGoodsOpenFailed};
  const Converted c =
      Convert(goods, lookup, machine, host, kNames, [&](Trace& trace, ReadStep, std::uint64_t) {
        trace.Number("fault in goods line", machine.Line());
      });
  if (Trace* trace = host.trace(); trace != nullptr && c.ok) {
    trace->Number("goods lines read", machine.Line() - 1);
    trace->Number("lookup records written", c.records);
  }
  return c.ok;
}

}  // namespace kolektor
