// The frame every operation runs in: its support trace, its link to the
// host, and the host's callbacks checked before anything is done.
#pragma once

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

inline HostWord RunOperation(Platform& platform, const PluginInstance* instance,
                             HostWord operation_handle, const char* path, FpuGuard* fpu,
                             std::string_view entry_point, OperationStep step) {
  if (instance == nullptr) return 0;
  Trace trace(platform, entry_point, operation_handle);
  const HostLink host(*instance, operation_handle, fpu, &trace);
  HostWord result = 0;
  if (host.CanOperate())
    result = step(platform, host, trace, path != nullptr ? path : "");
  else
    trace.Line("the host has not registered its parameter and error callbacks");
  trace.Result(result);
  return result;
}

}  // namespace kolektor
