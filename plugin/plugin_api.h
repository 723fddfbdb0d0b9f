// The exported layer's view of kolektor: what each of the ten entry points
// runs. The stdcall wrappers (exports.cpp) only forward here and catch
// everything; the operations call down to the export and import commands.
#pragma once

#include <cstdint>

#include "base/host_interface.h"

namespace kolektor {

class FpuGuard;
class Platform;

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

// Operations (operations.cpp); each returns 1 when done and 0 after one
// reported failure. `fpu` is the entry point's floating-point guard (none
// in native tests).
HostWord ExportGoods(Platform& platform, const PluginInstance* instance, HostWord operation_handle,
                     const char* goods_path, FpuGuard* fpu = nullptr);
HostWord ImportCounts(Platform& platform, const PluginInstance* instance, HostWord operation_handle,
                      const char* counts_path, FpuGuard* fpu = nullptr);
// The clear step: a one-second pause, always done; traced like the others.
HostWord ClearStep(Platform& platform, HostWord operation_handle = 0);

}  // namespace kolektor
