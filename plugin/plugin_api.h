// The host's view of kolektor: the instance record, the three host
// callbacks and the core of every exported entry point. The exported
// stdcall wrappers (exports.cpp) only forward here and catch everything.
#pragma once

#include <cstdint>

// The Windows build defines this as the stdcall convention; natively (tests)
// there is only one convention and it stays empty.
#ifndef KOLEKTOR_STDCALL
#define KOLEKTOR_STDCALL
#endif

namespace kolektor {

class Platform;
class FpuGuard;

// Every argument and result at the interface is 32 bits wide.
using HostWord = std::int32_t;

using StatusCallback = void(KOLEKTOR_STDCALL*)(HostWord host_context, HostWord operation_handle,
                                               const char* text);
using ParamCallback = void(KOLEKTOR_STDCALL*)(HostWord host_context, HostWord operation_handle,
                                              const char* name, char* value);
using ErrorCallback = void(KOLEKTOR_STDCALL*)(HostWord host_context, HostWord operation_handle,
                                              const char* text);

// One per registration; the host holds it as an opaque pointer. The field
// order is the host's and must not change.
struct PluginInstance {
  StatusCallback statusCallback = nullptr;
  ParamCallback paramCallback = nullptr;
  ErrorCallback errorCallback = nullptr;
  HostWord hostContext = 0;
};
static_assert(sizeof(void*) != 4 || sizeof(PluginInstance) == 16,
              "four 32-bit fields on the 32-bit target");

// Registration types of ZRBDLLRejestrujCallback.
inline constexpr HostWord kRegisterStatus = 2;
inline constexpr HostWord kRegisterParam = 6;
inline constexpr HostWord kRegisterError = 7;

inline constexpr HostWord kLibraryType = 3;
inline constexpr HostWord kParameterFunction = 301;

// The host's value buffer for ParamCallback.
inline constexpr int kParamValueBytes = 100;

// Management (instance.cpp).
HostWord LibraryType();
PluginInstance* RegisterLibrary(HostWord host_context);
void FreeLibrary(PluginInstance* instance);
std::intptr_t RegisterCallback(PluginInstance* instance, std::uintptr_t code, HostWord type);

// Descriptions (descriptions.cpp); they need no instance.
HostWord DescribeParameter(HostWord function, HostWord index, char* name, char* label,
                           char* default_value, char* low, char* high);
HostWord DescribeChoice(const char* name, HostWord index, char* buffer);
void DescribeProperty(char* buffer, HostWord number);

// Operations; each returns 1 when done and 0 after one reported failure.
// `fpu` is the entry point's floating-point guard (none in native tests).
HostWord ClearStep(Platform& platform);
HostWord ExportGoods(Platform& platform, const PluginInstance* instance, HostWord operation_handle,
                     const char* goods_path, FpuGuard* fpu = nullptr);
HostWord ImportCounts(Platform& platform, const PluginInstance* instance, HostWord operation_handle,
                      const char* counts_path, FpuGuard* fpu = nullptr);

}  // namespace kolektor
