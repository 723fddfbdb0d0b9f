// The export step: goods file -> lookup file "a" -> DLOOKUP2.EXE.
#pragma once

#include <string>
#include <string_view>

#include "base/host_interface.h"

namespace kolektor {

class FpuGuard;
class Platform;

// ZRBDLLInwEksportujTowary: 1 when the upload utility was started and has
// ended, 0 after one reported failure. `fpu` is the entry point's
// floating-point guard (none in native tests).
HostWord ExportGoods(Platform& platform, const PluginInstance* instance, HostWord operation_handle,
                     const char* goods_path, FpuGuard* fpu = nullptr);

struct GoodsPaths {
  std::string directory;    // empty: the current directory
  std::string lookup_file;  // "a" beside the goods file
};

// Splits at the last backslash after the first character.
GoodsPaths SplitGoodsPath(std::string_view goods_path);

// "<install_dir>\DLOOKUP2.EXE a,<port>,<baud>"; the program path quoted
// when it has a blank.
std::string UploadCommandLine(std::string_view install_dir, std::string_view port,
                              std::string_view baud);

}  // namespace kolektor
