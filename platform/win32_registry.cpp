// Writing the host's registry value, for the host programs only (zrbhost
// setup): the plug-in itself only reads it, through SystemPlatform(), and
// never links this file.
#include <windows.h>

#include "platform/win32.h"

namespace kolektor {

bool WriteRegistryString(const std::string& key, const std::string& name,
                         const std::string& value) {
  HKEY opened = nullptr;
  // The view SystemPlatform() reads: the host's 32-bit installer's.
  LONG result = ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0,
                                  KEY_WRITE | KEY_WOW64_32KEY, nullptr, &opened, nullptr);
  if (result == ERROR_SUCCESS) {
    result = ::RegSetValueExA(opened, name.c_str(), 0, REG_SZ,
                              reinterpret_cast<const BYTE*>(value.c_str()),
                              static_cast<DWORD>(value.size() + 1));
    ::RegCloseKey(opened);
  }
  ::SetLastError(static_cast<DWORD>(result));
  return result == ERROR_SUCCESS;
}

}  // namespace kolektor
