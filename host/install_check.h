// "Sprawdź instalację": what the plug-in needs on this computer, checked
// one item after another, each with OK or what is wrong and how to fix it.
#pragma once

#include <string>
#include <vector>

namespace kolektor::host {

struct InstallCheckInput {
  std::string port;         // the setting's value, Windows-1250
  std::string goods_path;   // may be empty
  std::string counts_path;  // may be empty
  std::string plugin_path;  // the loaded kolektor.dll
};

struct InstallCheckItem {
  enum Level { kOk, kWarning, kFault } level;
  std::string what;  // UTF-8: what was checked and what was found
  std::string fix;   // UTF-8: how to fix it; empty when OK
};

std::vector<InstallCheckItem> CheckInstallation(const InstallCheckInput& input);

}  // namespace kolektor::host
