// Files through the C runtime, for the portable tools around the plug-in
// (zrbhost's commands on files), the benchmarks and the native tests that
// work on real files. The plug-in itself opens its files through the
// platform.
#pragma once

#include <memory>
#include <string>

#include "platform/platform.h"

namespace kolektor {

std::unique_ptr<File> OpenStdioFile(const std::string& path, OpenMode mode);

}  // namespace kolektor
