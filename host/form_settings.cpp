#include "host/form_settings.h"

#include <windows.h>

#include "base/host_interface.h"

namespace kolektor::form {
namespace {

namespace h = kolektor::host;

constexpr const wchar_t* kSettingsSection = L"ustawienia";
constexpr const wchar_t* kFilesSection = L"pliki";
constexpr const wchar_t* kGoodsKey = L"towary";
constexpr const wchar_t* kCountsKey = L"inwentaryzacja";

std::wstring ReadIni(const std::wstring& ini, const wchar_t* section, const wchar_t* key,
                     const std::wstring& fallback) {
  wchar_t value[1024] = {};
  GetPrivateProfileStringW(section, key, fallback.c_str(), value, 1024, ini.c_str());
  return value;
}

}  // namespace

std::wstring DefaultIniPath() {
  wchar_t appdata[MAX_PATH] = {};
  if (GetEnvironmentVariableW(L"APPDATA", appdata, MAX_PATH) == 0)
    return h::WideFromUtf8(h::Utf8FromAnsi(h::ProgramFolder())) + L"kolektor-test.ini";
  const std::wstring folder = std::wstring(appdata) + L"\\kolektor";
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder + L"\\kolektor-test.ini";
}

std::string KeptSetting(const std::wstring& ini, const h::Parameter& p) {
  std::string kept = h::Cp1250FromWide(ReadIni(
      ini, kSettingsSection, h::WideFromUtf8(p.name).c_str(), h::WideFromCp1250(p.default_value)));
  if (p.name == kolektor::kParamPort) kept = h::PortNumberOf(kept);
  return h::AcceptsValue(p, kept) ? kept : p.default_value;
}

std::wstring KeptGoodsPath(const std::wstring& ini) {
  return ReadIni(ini, kFilesSection, kGoodsKey, L"");
}

std::wstring KeptCountsPath(const std::wstring& ini) {
  return ReadIni(ini, kFilesSection, kCountsKey, L"");
}

void KeepSettings(const std::wstring& ini, const std::map<std::string, std::string>& settings,
                  const std::wstring& goods, const std::wstring& counts) {
  CreateDirectoryW(ini.substr(0, ini.find_last_of(L'\\')).c_str(), nullptr);
  for (const auto& [name, value] : settings)
    WritePrivateProfileStringW(kSettingsSection, h::WideFromUtf8(name).c_str(),
                               h::WideFromCp1250(value).c_str(), ini.c_str());
  WritePrivateProfileStringW(kFilesSection, kGoodsKey, goods.c_str(), ini.c_str());
  WritePrivateProfileStringW(kFilesSection, kCountsKey, counts.c_str(), ini.c_str());
}

}  // namespace kolektor::form
