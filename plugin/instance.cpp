#include <new>

#include "platform/platform.h"
#include "plugin/plugin_api.h"

namespace kolektor {

HostWord LibraryType() { return kLibraryType; }

PluginInstance* RegisterLibrary(HostWord host_context) {
  auto* instance = new (std::nothrow) PluginInstance{};
  if (instance != nullptr) instance->hostContext = host_context;
  return instance;
}

void FreeLibrary(PluginInstance* instance) { delete instance; }

std::intptr_t RegisterCallback(PluginInstance* instance, std::uintptr_t code, HostWord type) {
  // The results are the host's convention: 0 for status and error, the
  // pointer itself for the parameter callback, type - 7 for anything else.
  switch (type) {
    case kRegisterStatus:
      if (instance != nullptr) instance->statusCallback = reinterpret_cast<StatusCallback>(code);
      return 0;
    case kRegisterParam:
      if (instance != nullptr) instance->paramCallback = reinterpret_cast<ParamCallback>(code);
      return static_cast<std::intptr_t>(code);
    case kRegisterError:
      if (instance != nullptr) instance->errorCallback = reinterpret_cast<ErrorCallback>(code);
      return 0;
    default:
      // Wraps like the host's 32-bit arithmetic, so no type can overflow;
      // a 64-bit build widens the 32-bit result with its sign.
      return static_cast<std::int32_t>(static_cast<std::uint32_t>(type) - 7u);
  }
}

}  // namespace kolektor
