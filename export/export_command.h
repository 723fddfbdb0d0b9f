// The export step: goods file -> lookup file "a" -> DLOOKUP2.EXE.
#pragma once

#include <string>
#include <string_view>

#include "base/host_interface.h"

namespace kolektor {

class HostLink;
class Platform;
class Trace;

// The export, in the frame of an operation: 1 when the upload utility was
// started and has ended, 0 after one reported failure.
HostWord RunExport(Platform& platform, const HostLink& host, Trace& trace,
                   const std::string& goods_path);

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
