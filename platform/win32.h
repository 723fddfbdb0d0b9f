// The real platform of the Windows build.
#pragma once

#include "platform/platform.h"

namespace kolektor {

Platform& SystemPlatform();

// For the host programs (the plug-in only reads): writes a string value of
// a key of the local-machine hive, creating the key, in the view that
// SystemPlatform() reads; false with the system's error code for
// GetLastError() when it could not.
bool WriteRegistryString(const std::string& key, const std::string& name, const std::string& value);

}  // namespace kolektor
