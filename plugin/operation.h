// The frame every operation runs in: its support trace, its link to the
// host, and the host's callbacks checked before anything is done.
#pragma once

#include <exception>
#include <string>
#include <string_view>

#include "base/host_interface.h"
#include "base/host_link.h"
#include "base/trace.h"

namespace kolektor {

class Platform;

// The work of an operation on the path the host gave: 1 or 0.
using OperationStep = HostWord (*)(Platform& platform, const HostLink& host, Trace& trace,
                                   const std::string& path);

// Every way an operation ends is in the trace, its first line written
// before anything can fail: an instance the host did not pass, callbacks
// it did not register, and an error of the runtime (memory), which the
// exported wrapper answers with 0.
inline HostWord RunOperation(Platform& platform, const PluginInstance* instance,
                             HostWord operation_handle, const char* path, FpuGuard* fpu,
                             std::string_view entry_point, OperationStep step) {
  Trace trace(platform, entry_point, operation_handle);
  if (instance == nullptr) {
    trace.Line("the host passed no instance: nothing to report through");
    trace.Result(0);
    return 0;
  }
  const HostLink host(*instance, operation_handle, fpu, &trace);
  HostWord result = 0;
  try {
    if (host.CanOperate())
      result = step(platform, host, trace, path != nullptr ? path : "");
    else
      trace.Line("the host has not registered its parameter and error callbacks");
  } catch (const std::exception& e) {
    trace.Line(std::string("stopped by an error of the runtime library: ") + e.what());
    trace.Result(0);
    throw;
  }
  trace.Result(result);
  return result;
}

}  // namespace kolektor
