#include "base/host_link.h"

#include <cstring>

#include "base/trace.h"
#include "platform/platform.h"

namespace kolektor {

Trace* HostLink::trace() const { return trace_ != nullptr && trace_->on() ? trace_ : nullptr; }

void HostLink::Status(std::string_view text) const {
  if (instance_.statusCallback == nullptr) return;
  const std::string copy(text);  // the host expects a terminated text
  if (Trace* t = trace()) t->Value("status to the host", text);
  const FpuGuard::HostTurn turn(fpu_);
  instance_.statusCallback(instance_.hostContext, operation_, copy.c_str());
}

void HostLink::Error(std::string_view text) const {
  const std::string copy(text);
  if (Trace* t = trace()) t->Value("error to the host", text);
  const FpuGuard::HostTurn turn(fpu_);
  instance_.errorCallback(instance_.hostContext, operation_, copy.c_str());
}

std::string HostLink::Param(std::string_view name) const {
  // Zeroed before and terminated after, so a host that fills all 100 bytes
  // or writes nothing cannot make us read past the buffer.
  char value[kParamValueBytes] = {};
  const std::string copy(name);
  {
    const FpuGuard::HostTurn turn(fpu_);
    instance_.paramCallback(instance_.hostContext, operation_, copy.c_str(), value);
  }
  value[kParamValueBytes - 1] = '\0';
  if (Trace* t = trace()) t->Value("parameter " + copy, value);
  return std::string(value);
}

void HostLink::Message(Platform& platform, const std::string& text,
                       const std::string& caption) const {
  if (Trace* t = trace()) t->Value("message box " + caption, text);
  const FpuGuard::HostTurn turn(fpu_);
  platform.ShowMessage(text, caption);
}

}  // namespace kolektor
