#include "import/data_conversion.h"

#include <cfloat>
#include <charconv>
#include <cstring>

#include "base/held_files.h"
#include "base/texts.h"
#include "base/trace.h"

// The counts and prices are defined by single-precision arithmetic; a
// compiler that evaluates floats in wider registers would change them.
static_assert(FLT_EVAL_METHOD == 0, "build with SSE2 floating point");

namespace kolektor {

namespace {

namespace t = text;

constexpr std::size_t kCodeLimit = 20;
constexpr std::size_t kQuantityLimit = 8;
constexpr std::string_view kRecordTag = "INW;";

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
  const std::size_t start = i;
  std::size_t digits = 0;
  while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  }
  if (digits == 0) return QuantityRead::kNoNumber;
  const bool hexadecimal =
      i == start + 1 && text[start] == '0' && i < text.size() && (text[i] == 'x' || text[i] == 'X');
  if (hexadecimal) return QuantityRead::kNoNumber;
  bool tiny_exponent = false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t e = i + 1;
    bool exponent_negative = false;
    if (e < text.size() && (text[e] == '+' || text[e] == '-')) {
      exponent_negative = text[e] == '-';
      ++e;
    }
    if (e < text.size() && IsDigit(text[e])) {
      while (e < text.size() && IsDigit(text[e])) ++e;
      i = e;
      tiny_exponent = exponent_negative;
    }
  }

  float q = 0.0f;
  const char* first = text.data() + start;
  const char* last = text.data() + i;
  const auto result = std::from_chars(first, last, q, std::chars_format::general);
  if (result.ec == std::errc::result_out_of_range) {
    if (!tiny_exponent) return QuantityRead::kOutOfRange;
    q = 0.0f;  // below the smallest float: nothing left of it
  } else if (result.ec != std::errc() || result.ptr != last) {
    return QuantityRead::kNoNumber;
  }
  if (negative) q = -q;

  const float p = q * 1000.0f;  // single precision, as the terminal's counts
  // The thousandfold must fit a signed 32-bit integer after truncation.
  if (!(p >= -2147483648.0f && p < 2147483648.0f)) return QuantityRead::kOutOfRange;
  thousandths = static_cast<std::int32_t>(p);
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

DataEnd FindDataEnd(File& data) {
  std::uint64_t end = 0;
  if (!data.Size(end)) return DataEnd::kUnreadable;
  // Backwards from the end, past LF bytes, to the last other byte.
  DataEnd found = DataEnd::kClean;  // empty, or nothing but LF
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
    while (i > 0 && buffer[i - 1] == '\n') --i;
    if (i > 0) {
      found = buffer[i - 1] == '\r' ? DataEnd::kClean : DataEnd::kInsideRecord;
      break;
    }
    end = start;
  }
  return data.Seek(0) ? found : DataEnd::kUnreadable;
}

bool ConvertDataFile(Platform& platform, const std::string& data_path,
                     const std::string& counts_path, const HostLink& host, bool utility_failed) {
  Trace* trace = host.trace();
  std::unique_ptr<File> data =
      OpenWaitingWhileHeld(platform, trace, "opening the data file", data_path, OpenMode::kRead);
  if (!data) {
    if (trace != nullptr) trace->Failure("opening the data file");
    host.Error(t::kDataFileMissing);
    return false;
  }
  if (utility_failed) {
    // The vendor's exit codes are not documented: only a failure together
    // with a record cut in two tells a download cut off. None of its
    // counts are taken, and the counts file and the journal stay as they
    // were.
    switch (FindDataEnd(*data)) {
      case DataEnd::kClean:
        break;
      case DataEnd::kInsideRecord:
        if (trace != nullptr)
          trace->Line("the utility reported a failure and the data file ends inside a record");
        host.Error(t::kDownloadCut);
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
    if (trace != nullptr) trace->Failure("creating the counts file");
    host.Error(t::kCountsOpenFailed);
    data->Close();
    return false;
  }

  return ConvertDataStream(*data, *counts, host);
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
