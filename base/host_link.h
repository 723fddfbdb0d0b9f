// How an operation talks back to the host: one progress notice, parameter
// values by name, at most one error text, and the import's message boxes.
#pragma once

#include <string>
#include <string_view>

#include "base/fpu_guard.h"
#include "base/host_interface.h"

namespace kolektor {

class Platform;
class Trace;

class HostLink {
 public:
  // `fpu`: the entry point's floating-point guard, whose host state is put
  // back in force for every call into the host; none in native tests.
  // `trace`: the operation's support trace, which hears every exchange.
  HostLink(const PluginInstance& instance, HostWord operation_handle, FpuGuard* fpu = nullptr,
           Trace* trace = nullptr)
      : instance_(instance), operation_(operation_handle), fpu_(fpu), trace_(trace) {}

  // An operation needs a way to ask for its settings and to report a
  // failure; without both it must not start.
  bool CanOperate() const {
    return instance_.paramCallback != nullptr && instance_.errorCallback != nullptr;
  }

  // A missing status callback is only skipped.
  void Status(std::string_view text) const;
  // Reports a failure; the operation returns 0 right after.
  void Error(std::string_view text) const;
  // The current value of a parameter, at most 99 bytes.
  std::string Param(std::string_view name) const;
  // A message box; its message loop runs the host's windows meanwhile.
  void Message(Platform& platform, const std::string& text, const std::string& caption) const;

  // The operation's trace when it is on, so that nothing is put together
  // for it otherwise; nullptr when off.
  Trace* trace() const;

 private:
  const PluginInstance& instance_;
  HostWord operation_;
  FpuGuard* fpu_;
  Trace* trace_;
};

}  // namespace kolektor
