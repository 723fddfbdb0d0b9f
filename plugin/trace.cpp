#include "plugin/trace.h"

#include "platform/platform.h"
#include "plugin/cp1250.h"

namespace kolektor {

std::string TraceTime(const LocalTime& t) {
  char text[23];
  auto put = [&text](int at, int value, int digits) {
    for (int k = digits - 1; k >= 0; --k, value /= 10)
      text[at + k] = static_cast<char>('0' + value % 10);
  };
  put(0, t.year, 4);
  text[4] = '-';
  put(5, t.month, 2);
  text[7] = '-';
  put(8, t.day, 2);
  text[10] = ' ';
  put(11, t.hour, 2);
  text[13] = ':';
  put(14, t.minute, 2);
  text[16] = ':';
  put(17, t.second, 2);
  text[19] = '.';
  put(20, t.millisecond, 3);
  return std::string(text, sizeof text);
}

Trace::Trace(Platform& platform, std::string_view entry_point, HostWord operation_handle)
    : platform_(platform), on_(platform.TraceEnabled()) {
  if (!on_) return;
  start_ms_ = platform_.Milliseconds();
  prefix_ = "[" + std::string(entry_point) + " #" + std::to_string(operation_handle) + "] ";
  Line("start");
}

void Trace::Line(std::string_view text) {
  if (!on_) return;
  std::string line = TraceTime(platform_.Now());
  line += ' ';
  line += prefix_;
  line += text;
  platform_.TraceWrite(line);
}

void Trace::Value(std::string_view what, std::string_view cp1250_value) {
  if (!on_) return;
  std::string text(what);
  text += ": ";
  // One event, one line: control bytes are written as escapes.
  for (char c : Utf8FromCp1250(cp1250_value)) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20) {
      text += c;
    } else if (c == '\n') {
      text += "\\n";
    } else if (c == '\r') {
      text += "\\r";
    } else {
      const char* hex = "0123456789ABCDEF";
      text += "\\x";
      text += hex[byte >> 4];
      text += hex[byte & 15];
    }
  }
  Line(text);
}

void Trace::Number(std::string_view what, std::uint64_t value) {
  if (!on_) return;
  Line(std::string(what) + ": " + std::to_string(value));
}

void Trace::Failure(std::string_view what) {
  if (!on_) return;
  const std::uint32_t code = platform_.LastError();
  Line(std::string(what) + " failed, system error " + std::to_string(code));
}

void Trace::Result(HostWord result) {
  if (!on_) return;
  Line("result " + std::to_string(result) + " after " +
       std::to_string(platform_.Milliseconds() - start_ms_) + " ms");
}

}  // namespace kolektor
