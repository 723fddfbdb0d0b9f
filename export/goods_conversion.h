// The host's goods file turned into the terminal's lookup file "a".
//
// Goods line:   TOW;KOD;NAZWA;CENA_EWIDENCYJNA;CENA_SPRZEDAŻY;ILOŚĆ;VAT CR LF
// Lookup record: code,name,price,quantity CR LF
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/conversion_pump.h"
#include "base/host_link.h"
#include "platform/platform.h"

namespace kolektor {

struct GoodsOptions {
  int price_level = 1;  // 1: sale (retail) price, 2: book price
  std::size_t max_code_length = 13;
};

// Why a goods line was refused; the numbers are those the user sees.
enum class GoodsFault {
  kNone,
  kTow,              // [1]
  kCodeLength,       // [2]
  kBookPriceLength,  // [4]
  kSalePriceLength,  // [5]
  kFieldCount,       // [6] an eighth field, or a line ended too early
  kQuantityLength,   // [7]
  kQuantityNumber,   // [8]
  kVatLength,        // [9]
  kFieldTooLong,     // [10]
  kSalePriceNumber,  // [11]
  kBookPriceNumber,  // [11]
  kVatNumber,        // [12]
};

// The text the user sees for a fault, with the code store's contents.
std::string GoodsFaultText(GoodsFault fault, std::string_view code);

// One byte of a goods name as the terminal's display can show it: Polish
// letters lose their marks and a comma (the column separator) becomes a blank.
unsigned char ZnakDlaTerminala(unsigned char byte);

// The goods-file reader, fed one byte at a time.
class GoodsMachine {
 public:
  using Step = ReadStep;  // never kEnd: a goods file is read to its end

  static constexpr std::size_t kFieldLimit = 200;
  static constexpr std::size_t kRecordLimit = 55;

  explicit GoodsMachine(const GoodsOptions& options);

  Step Push(unsigned char byte);

  // After kRecord: the lookup record, CR LF included.
  std::string_view Record() const { return {record_, record_size_}; }
  // After kFault: what went wrong and the text the user sees.
  GoodsFault Fault() const { return fault_; }
  std::string FaultText() const;
  // 1-based number of the line being read (or just ended).
  std::uint64_t Line() const { return line_; }

  // Goes on after a fault with the next line, for listing every fault of a
  // file; the export itself stops at the first.
  void SkipToNextLine();

 private:
  Step CompleteField();
  Step CompleteLine();
  Step Refuse(GoodsFault fault);

  GoodsOptions options_;
  char field_[kFieldLimit];
  std::size_t field_size_ = 0;
  int field_number_ = 0;
  bool line_end_ = false;
  bool skipping_ = false;
  bool fault_at_line_end_ = false;
  std::uint64_t line_ = 1;

  // Stores keep their last accepted value across lines; the code store
  // names the line in every message.
  char code_[20];
  std::size_t code_size_ = 0;
  char name_[99];
  std::size_t name_size_ = 0;
  char book_[19];
  std::size_t book_size_ = 0;
  char sale_[19];
  std::size_t sale_size_ = 0;
  char quantity_[16];
  std::size_t quantity_size_ = 0;

  char record_[kRecordLimit];
  std::size_t record_size_ = 0;
  GoodsFault fault_ = GoodsFault::kNone;
};

// Converts the whole goods file into the lookup file, stopping at the first
// fault, which is reported once through the host. Both files are closed on
// return. True when the goods file was read to its end and every record was
// written.
bool KonwertujTowary(File& goods, File& lookup, const GoodsOptions& options, const HostLink& host);

// Every fault of a goods file, for people preparing one (the diagnostic
// host's `check`); uses the same reader as the export.
struct GoodsCheckFault {
  std::uint64_t line;
  std::uint64_t offset;  // of the byte that revealed the fault
  std::string text;      // the plug-in's own message, Windows-1250
};
struct GoodsCheckSummary {
  std::uint64_t lines = 0;
  std::uint64_t records = 0;  // lines that would be written
  bool read_error = false;
};
template <typename OnFault>
GoodsCheckSummary CheckGoods(File& goods, const GoodsOptions& options, OnFault&& on_fault) {
  GoodsMachine machine(options);
  GoodsCheckSummary summary;
  std::uint64_t bytes = 0;
  const PumpEnd end = Pump(
      goods, machine,
      [&](std::string_view) {
        ++summary.records;
        return true;
      },
      [&](std::uint64_t offset) {
        on_fault(GoodsCheckFault{machine.Line(), offset, machine.FaultText()});
        machine.SkipToNextLine();
        return true;
      },
      bytes);
  summary.read_error = end == PumpEnd::kReadError;
  // Every line end read has moved the reader on by one line.
  summary.lines = machine.Line() - 1;
  return summary;
}

}  // namespace kolektor
