// The frame every operation runs in: its support trace, its link to the
// host, and the host's callbacks checked before anything is done.
#pragma once

#include <string_view>

#include "base/host_link.h"
#include "base/host_interface.h"
#include "base/trace.h"

namespace kolektor {

// `body(host, trace)` does the work and returns 1 or 0.
template <typename Body>
HostWord RunOperation(Platform& platform, const PluginInstance* instance, HostWord operation_handle,
                      FpuGuard* fpu, std::string_view entry_point, Body body) {
  if (instance == nullptr) return 0;
  Trace trace(platform, entry_point, operation_handle);
  const HostLink host(*instance, operation_handle, fpu, &trace);
  HostWord result = 0;
  if (host.CanOperate())
    result = body(host, trace);
  else
    trace.Line("the host has not registered its parameter and error callbacks");
  trace.Result(result);
  return result;
}

}  // namespace kolektor
