// The terminal's data file a.dat turned into the host's counts file.
//
// Data record:   code,quantity CR (LF anywhere is ignored)
// Counts record: INW;code;quantity-in-thousandths CR LF
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/conversion_pump.h"
#include "base/host_link.h"
#include "platform/platform.h"

namespace kolektor {

// A quantity read the way "%f" reads it, then in thousandths: rounded to
// single precision, multiplied by 1000 in single precision and truncated.
enum class QuantityRead { kNumber, kNoNumber, kOutOfRange };
QuantityRead ReadThousandths(std::string_view text, std::int32_t& thousandths);

// "%05ld": at least five characters, the minus sign ahead of the zeros.
std::size_t FormatThousandths(std::int32_t value, char* out);

class DataMachine {
 public:
  using Step = ReadStep;
  static constexpr std::size_t kFieldLimit = 200;
  static constexpr std::size_t kRecordLimit = 38;

  Step Push(unsigned char byte);
  std::string_view Record() const { return {record_, record_size_}; }
  // After kFault: the message the user sees.
  std::string_view FaultText() const { return fault_; }

 private:
  Step Refuse(std::string_view text);

  char field_[kFieldLimit];
  std::size_t field_size_ = 0;
  bool comma_seen_ = false;
  char code_[20];
  std::size_t code_size_ = 0;
  char record_[kRecordLimit];
  std::size_t record_size_ = 0;
  std::string_view fault_;
};

// Whether the data file ends inside a record: after its last CR stand
// bytes other than LF. The position is back at the start after kClean and
// kInsideRecord.
enum class DataEnd { kClean, kInsideRecord, kUnreadable };
DataEnd FindDataEnd(File& data);

// Converts the data file into the counts file, reporting a failure once
// through the host. The counts file is created only after the data file
// was opened, and not at all when `utility_failed` (the download utility
// reported a failure) and the data file ends inside a record: the download
// was cut off, and the counts after the cut never arrived. Both files are
// closed on return.
bool ConvertDataFile(Platform& platform, const std::string& data_path,
                     const std::string& counts_path, const HostLink& host,
                     bool utility_failed = false);
// The conversion itself, over files already open; closes both. Tells how
// many counts records it wrote when asked.
bool ConvertDataStream(File& data, File& counts, const HostLink& host,
                       std::uint64_t* records_written = nullptr);

}  // namespace kolektor
