// The support trace: when a file kolektor.log lies beside the plug-in, every
// operation appends to it what support needs to know (UTF-8, one line per
// event, stamped to the millisecond): settings read, paths derived, the
// registry value or the system's error code, the utility's command line,
// process id, exit code and polls, lines and records moved, every text sent
// to the host, the result and the duration. The platform drops a line it
// cannot write; nothing here ever changes what an operation does.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/host_interface.h"

namespace kolektor {

class Platform;

class Trace {
 public:
  // Asks the platform once whether tracing is on; writes the start line.
  Trace(Platform& platform, std::string_view entry_point, HostWord operation_handle);
  Trace(const Trace&) = delete;
  Trace& operator=(const Trace&) = delete;

  bool on() const { return on_; }

  // One line of text (UTF-8 already).
  void Line(std::string_view text);
  // "what: value", the value in Windows-1250 (a path, a host's value).
  void Value(std::string_view what, std::string_view cp1250_value);
  void Number(std::string_view what, std::uint64_t value);
  // "what failed, system error N": the platform's code for the call that
  // has just failed.
  void Failure(std::string_view what);
  // The last line: result and duration.
  void Result(HostWord result);

 private:
  Platform& platform_;
  bool on_;
  std::string prefix_;  // "[entry point #handle pid N] "
  std::uint64_t start_ms_ = 0;
};

}  // namespace kolektor
