#include "import/data_conversion.h"

#include <charconv>
#include <cstring>

#include "base/held_files.h"
#include "base/texts.h"
#include "base/trace.h"

namespace kolektor {

namespace {

namespace t = text;

constexpr std::size_t kCodeLimit = 20;
constexpr std::size_t kQuantityLimit = 8;
constexpr std::string_view kRecordTag = "INW;";

// Ten digits of thousandths reach past the 32-bit range; one more digit is
// held only to keep the arithmetic simple.
constexpr std::int64_t kMaxWholeDigits = 10;
constexpr std::size_t kSignificantDigits = 11;
static_assert(kSignificantDigits > kMaxWholeDigits);
// Exponents beyond it say the same as it does: far outside the range, or
// nothing left of the number.
constexpr std::int64_t kExponentCap = 100000;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

QuantityRead ReadThousandths(std::string_view text, std::int32_t& thousandths) {
  std::size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  // Only the plain decimal form counts: digits, an optional point and
  // fraction, an optional exponent. Infinity, NaN and hexadecimal forms
  // are no numbers, whatever one runtime or another would make of them.
  //
  // The digits are taken exactly, as the terminal shows them: the value is
  // 0.D x 10^scale, D its significant digits without the leading zeros. A
  // float would hold the quantity but lose its last thousandth when
  // multiplied (64.06 gave 64059).
  const std::size_t start = i;
  std::size_t digits = 0;
  char significant[kSignificantDigits];
  std::size_t kept = 0;  // significant digits held; later ones cannot matter
  std::int64_t scale = 0;
  auto take = [&](char c, bool before_point) {
    ++digits;
    if (kept == 0 && c == '0') {
      if (!before_point) --scale;  // 0.00d: the point moves right
      return;
    }
    if (kept < sizeof significant) significant[kept++] = c;
    if (before_point) ++scale;
  };
  while (i < text.size() && IsDigit(text[i])) take(text[i++], true);
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && IsDigit(text[i])) take(text[i++], false);
  }
  if (digits == 0) return QuantityRead::kNoNumber;
  const bool hexadecimal =
      i == start + 1 && text[start] == '0' && i < text.size() && (text[i] == 'x' || text[i] == 'X');
  if (hexadecimal) return QuantityRead::kNoNumber;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t e = i + 1;
    bool exponent_negative = false;
    if (e < text.size() && (text[e] == '+' || text[e] == '-')) {
      exponent_negative = text[e] == '-';
      ++e;
    }
    // An exponent without digits is no exponent: "1e" is 1.
    std::int64_t exponent = 0;
    while (e < text.size() && IsDigit(text[e])) {
      if (exponent < kExponentCap) exponent = exponent * 10 + (text[e] - '0');
      ++e;
    }
    scale += exponent_negative ? -exponent : exponent;
  }

  // The whole thousandths are the first scale + 3 digits of D: finer ones
  // are cut off toward zero, as the terminal's counts always were.
  const std::int64_t whole_digits = kept == 0 ? 0 : scale + 3;
  if (whole_digits > kMaxWholeDigits) return QuantityRead::kOutOfRange;
  std::uint64_t magnitude = 0;
  for (std::size_t d = 0; static_cast<std::int64_t>(d) < whole_digits; ++d)
    magnitude = magnitude * 10 + (d < kept ? static_cast<std::uint64_t>(significant[d] - '0') : 0);
  // The thousandfold must fit a signed 32-bit integer.
  const std::uint64_t limit = negative ? 2147483648u : 2147483647u;
  if (magnitude > limit) return QuantityRead::kOutOfRange;
  thousandths = negative ? static_cast<std::int32_t>(-static_cast<std::int64_t>(magnitude))
                         : static_cast<std::int32_t>(magnitude);
  return QuantityRead::kNumber;
}

std::size_t FormatThousandths(std::int32_t value, char* out) {
  char digits[16];
  const std::int64_t wide = value;
  const std::uint64_t magnitude = static_cast<std::uint64_t>(wide < 0 ? -wide : wide);
  const auto end = std::to_chars(digits, digits + sizeof digits, magnitude).ptr;
  const auto count = static_cast<std::size_t>(end - digits);
  std::size_t n = 0;
  if (value < 0) out[n++] = '-';
  const std::size_t width = value < 0 ? 4 : 5;
  for (std::size_t k = count; k < width; ++k) out[n++] = '0';
  std::memcpy(out + n, digits, count);
  return n + count;
}

DataMachine::Step DataMachine::Refuse(std::string_view text) {
  fault_ = text;
  return Step::kFault;
}

DataMachine::Step DataMachine::Push(unsigned char byte) {
  switch (byte) {
    case '\n':
      return Step::kNext;
    case '\r': {
      if (!comma_seen_) return Refuse(t::kDataNoComma);
      if (field_size_ > kQuantityLimit) return Refuse(t::kDataQuantityTooLong);
      std::int32_t thousandths = 0;
      switch (ReadThousandths({field_, field_size_}, thousandths)) {
        case QuantityRead::kNumber:
          break;
        case QuantityRead::kNoNumber:
          // The terminal may end its data with such a record.
          return Step::kEnd;
        case QuantityRead::kOutOfRange:
          return Refuse(t::kDataQuantityTooLong);
      }
      char* out = record_;
      std::memcpy(out, kRecordTag.data(), kRecordTag.size());
      out += kRecordTag.size();
      std::memcpy(out, code_, code_size_);
      out += code_size_;
      *out++ = ';';
      out += FormatThousandths(thousandths, out);
      *out++ = '\r';
      *out++ = '\n';
      record_size_ = static_cast<std::size_t>(out - record_);
      comma_seen_ = false;
      field_size_ = 0;
      return Step::kRecord;
    }
    case ',':
      if (comma_seen_) return Refuse(t::kDataSecondComma);
      if (field_size_ > kCodeLimit) return Refuse(t::kDataCodeTooLong);
      std::memcpy(code_, field_, field_size_);
      code_size_ = field_size_;
      field_size_ = 0;
      comma_seen_ = true;
      return Step::kNext;
    default:
      if (field_size_ == kFieldLimit) return Refuse(t::kDataFieldTooLong);
      field_[field_size_++] = static_cast<char>(byte);
      return Step::kNext;
  }
}

namespace {

// What may follow the last record of a whole download: line ends, and the
// blanks, NUL bytes and Ctrl-Z that some transfers pad a file with.
bool IsPadding(char c) { return c == '\n' || c == ' ' || c == '\0' || c == '\x1A'; }

}  // namespace

DataEnd FindDataEnd(File& data) {
  std::uint64_t end = 0;
  if (!data.Size(end)) return DataEnd::kUnreadable;
  // Backwards from the end, past the padding, to the last other byte.
  DataEnd found = DataEnd::kClean;  // empty, or nothing but padding
  char buffer[512];
  while (end > 0) {
    const std::uint64_t start = end > sizeof buffer ? end - sizeof buffer : 0;
    const auto want = static_cast<std::size_t>(end - start);
    if (!data.Seek(start)) return DataEnd::kUnreadable;
    for (std::size_t have = 0; have < want;) {
      const long got = data.Read(buffer + have, want - have);
      if (got <= 0) return DataEnd::kUnreadable;
      have += static_cast<std::size_t>(got);
    }
    std::size_t i = want;
    while (i > 0 && IsPadding(buffer[i - 1])) --i;
    if (i > 0) {
      found = buffer[i - 1] == '\r' ? DataEnd::kClean : DataEnd::kInsideRecord;
      break;
    }
    end = start;
  }
  return data.Seek(0) ? found : DataEnd::kUnreadable;
}

bool ConvertDataFile(Platform& platform, const std::string& data_path,
                     const std::string& counts_path, const HostLink& host, DownloadExit download) {
  Trace* trace = host.trace();
  std::unique_ptr<File> data =
      OpenWaitingWhileHeld(platform, trace, "opening the data file", data_path, OpenMode::kRead);
  if (!data) {
    const bool held = HeldByAnotherProgram(platform.LastError());
    if (trace != nullptr) trace->Failure("opening the data file");
    host.Error(held ? t::Compound(t::kDataFileHeldBegin, data_path, t::kDataFileHeldEnd)
                    : std::string(t::kDataFileMissing));
    return false;
  }
  if (download != DownloadExit::kNone) {
    // A record cut in two tells a download cut off: by a full disk, a
    // broken connection, or a utility that was ended, which may well exit
    // with 0. None of its counts are taken, and the counts file and the
    // journal stay as they were.
    switch (FindDataEnd(*data)) {
      case DataEnd::kClean:
        break;
      case DataEnd::kInsideRecord:
        if (trace != nullptr)
          trace->Line("the data file ends inside a record: the download was cut");
        host.Error(download == DownloadExit::kFailure ? t::kDownloadCut.view()
                                                      : t::kDownloadCutNoError.view());
        data->Close();
        return false;
      case DataEnd::kUnreadable:
        if (trace != nullptr) trace->Failure("reading the end of the data file");
        host.Error(t::kDataFileMissing);
        data->Close();
        return false;
    }
  }
  std::unique_ptr<File> counts = OpenWaitingWhileHeld(platform, trace, "creating the counts file",
                                                      counts_path, OpenMode::kWriteTruncate);
  if (!counts) {
    const bool held = HeldByAnotherProgram(platform.LastError());
    if (trace != nullptr) trace->Failure("creating the counts file");
    host.Error(held ? t::Compound(t::kCountsHeldBegin, counts_path, t::kCountsHeldEnd)
                    : std::string(t::kCountsOpenFailed));
    data->Close();
    return false;
  }

  return ConvertDataStream(*data, *counts, host);
}

bool CountsOfDownload(File& data, std::uint64_t limit, std::string& counts) {
  std::uint64_t size = 0;
  if (!data.Size(size) || size > limit || FindDataEnd(data) != DataEnd::kClean) return false;
  DataMachine machine;
  std::uint64_t bytes_read = 0;
  counts.clear();
  const PumpEnd end = Pump(
      data, machine,
      [&](std::string_view record) {
        counts += record;
        return true;
      },
      [](std::uint64_t) { return false; }, bytes_read);
  return end == PumpEnd::kEndOfFile || end == PumpEnd::kEnded;
}

bool ConvertDataStream(File& data, File& counts, const HostLink& host,
                       std::uint64_t* records_written) {
  DataMachine machine;
  // A read error is no end of data: the counts would be short.
  static constexpr ConversionNames kNames{"reading the data file", "writing the counts file",
                                          "closing the counts file", t::kDataFileMissing};
  const Converted c = Convert(
      data, counts, machine, host, kNames, [](Trace& trace, ReadStep step, std::uint64_t records) {
        if (step == ReadStep::kEnd)
          trace.Number("a record with no quantity ends the data; records before it", records);
        else
          trace.Number("fault in data record", records + 1);
      });
  if (Trace* trace = host.trace(); trace != nullptr && c.ok) {
    trace->Number("data file bytes read", c.bytes_read);
    trace->Number("counts records written", c.records);
  }
  if (records_written != nullptr) *records_written = c.records;
  return c.ok;
}

}  // namespace kolektor
