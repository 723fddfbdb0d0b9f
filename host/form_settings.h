// What the test form keeps between runs, in its ini file
// (%APPDATA%\kolektor\kolektor-test.ini, or the one named with --ini): the
// value of each setting by the plug-in's parameter name, and the goods and
// counts files.
#pragma once

#include <map>
#include <string>

#include "host/plugin_host.h"

namespace kolektor::form {

// %APPDATA%\kolektor\kolektor-test.ini (the folder made), else the ini beside
// the program.
std::wstring DefaultIniPath();

// The value kept from the last run, when the plug-in still offers it;
// otherwise the plug-in's default. Windows-1250, as the host passes it.
std::string KeptSetting(const std::wstring& ini, const host::Parameter& parameter);

// The goods or the counts file kept; "" when none.
std::wstring KeptGoodsPath(const std::wstring& ini);
std::wstring KeptCountsPath(const std::wstring& ini);

// Keeps the settings (Windows-1250 values by name) and both files.
void KeepSettings(const std::wstring& ini, const std::map<std::string, std::string>& settings,
                  const std::wstring& goods, const std::wstring& counts);

}  // namespace kolektor::form
