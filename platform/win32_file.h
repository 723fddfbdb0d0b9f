// Files of the Windows platform; see win32_file.cpp.
#pragma once

#include <memory>
#include <string>

#include "platform/platform.h"

namespace kolektor {

// nullptr when it cannot be opened; GetLastError() tells why.
std::unique_ptr<File> OpenWin32File(const std::string& path, OpenMode mode);

// The volume and file index of an open handle.
bool HandleIdentity(void* handle, FileId& id);

}  // namespace kolektor
