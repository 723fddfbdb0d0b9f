// The exported layer's view of kolektor: what each of the ten entry points
// runs. The stdcall wrappers (exports.cpp) only forward here, to the
// export and import commands below and to the management and description
// code beside it, and catch everything.
#pragma once

#include <cstdint>

#include "base/host_interface.h"
#include "export/export_command.h"  // ExportGoods
#include "import/import_command.h"  // ImportCounts

namespace kolektor {

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

// The clear step (instance.cpp): a one-second pause, always done.
HostWord ClearStep(Platform& platform);

}  // namespace kolektor
