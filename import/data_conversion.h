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

// A quantity read the way "%f" reads it, in whole thousandths: the exact
// value of its decimal digits, anything finer than a thousandth cut off
// toward zero ("1.0009" gives 1000, "-0.0005" 0). kOutOfRange when the
// thousandths do not fit a signed 32-bit integer.
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
// bytes other than padding (LF, blanks, NUL, Ctrl-Z). The position is back
// at the start after kClean and kInsideRecord.
enum class DataEnd { kClean, kInsideRecord, kUnreadable };
DataEnd FindDataEnd(File& data);

// How the download utility that has just written the data file ended.
// kNone: the file is no fresh download (a kept copy, a test's file).
enum class DownloadExit { kNone, kZero, kFailure };

// Converts the data file into the counts file, reporting a failure once
// through the host. The counts file is created only after the data file
// was opened, and not at all when a fresh download ends inside a record:
// the download was cut off, whatever the utility's exit code says, and
// the counts after the cut never arrived. Both files are closed on return.
bool ConvertDataFile(Platform& platform, const std::string& data_path,
                     const std::string& counts_path, const HostLink& host,
                     DownloadExit download = DownloadExit::kNone);
// The counts records the import would make of a fresh download, in
// memory; false when it would refuse the file (cut inside a record, a
// fault, unreadable) and when the file is larger than `limit` bytes.
bool CountsOfDownload(File& data, std::uint64_t limit, std::string& counts);

// The conversion itself, over files already open; closes both. Tells how
// many counts records it wrote when asked.
bool ConvertDataStream(File& data, File& counts, const HostLink& host,
                       std::uint64_t* records_written = nullptr);

}  // namespace kolektor
