#include "base/trace.h"

#include "base/cp1250.h"
#include "base/file_names.h"
#include "base/time_text.h"
#include "platform/platform.h"

namespace kolektor {

Trace::Trace(Platform& platform, std::string_view entry_point, HostWord operation_handle)
    : platform_(platform), on_(platform.TraceEnabled(kTraceFileName)) {
  if (!on_) return;
  start_ms_ = platform_.Milliseconds();
  // The process id tells two tills' lines apart in one trace (a plug-in
  // run from a shared folder), where their handles may well be the same.
  prefix_ = "[" + std::string(entry_point) + " #" + std::to_string(operation_handle) + " pid " +
            std::to_string(platform_.ProcessId()) + "] ";
  Line("start");
}

void Trace::Line(std::string_view text) {
  if (!on_) return;
  std::string line = TimeText(platform_.Now(), "Y-M-D h:m:s.f");
  line += ' ';
  line += prefix_;
  line += text;
  platform_.TraceWrite(kTraceFileName, line);
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
