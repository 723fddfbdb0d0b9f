#include "host/registry_view.h"

#include <windows.h>

#include <vector>

#include "base/host_interface.h"

namespace kolektor::host {

namespace {

constexpr const char* kHive = "HKLM\\";
constexpr const char* kSoftware = "Software\\";
constexpr const char* kWow64Node = "WOW6432Node\\";

}  // namespace

bool WindowsIs64Bit() {
  if (sizeof(void*) == 8) return true;
  BOOL wow64 = FALSE;
  return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

std::string HostKeyShown(bool windows_64bit) {
  std::string key = kInstallKey;
  if (windows_64bit && key.compare(0, std::string(kSoftware).size(), kSoftware) == 0)
    key.insert(std::string(kSoftware).size(), kWow64Node);
  return kHive + key;
}

std::string OtherViewKeyShown() { return kHive + std::string(kInstallKey); }

HostValue ReadBinariaInOtherView(std::string& value) {
  value.clear();
  if (!WindowsIs64Bit()) return HostValue::kNoKey;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kInstallKey, 0, KEY_READ | KEY_WOW64_64KEY, &key) !=
      ERROR_SUCCESS)
    return HostValue::kNoKey;
  // As much as ReadBinaria shows of a value too long for the plug-in.
  std::vector<char> buffer(512, '\0');
  DWORD type = 0, size = static_cast<DWORD>(buffer.size() - 1);
  const LONG read = RegQueryValueExA(key, kInstallValue, nullptr, &type,
                                     reinterpret_cast<BYTE*>(buffer.data()), &size);
  RegCloseKey(key);
  if (read == ERROR_FILE_NOT_FOUND) return HostValue::kNoValue;
  if (read != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
    return HostValue::kUnusable;
  value.assign(buffer.data());
  return value.size() < kInstallValueBytes ? HostValue::kFound : HostValue::kUnusable;
}

}  // namespace kolektor::host
