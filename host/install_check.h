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

// The host's value Binaria as the plug-in finds it, read from the 32-bit
// view of the registry (what a 32-bit host reads on 64-bit Windows too).
// `value` holds the text for kFound, and for a string too long to use.
enum class HostValue { kNoKey, kNoValue, kUnusable, kFound };
HostValue ReadBinaria(std::string& value);
// The registry view a 32-bit host sees: KEY_WOW64_32KEY, which 32-bit
// Windows ignores.
inline constexpr unsigned long kHostRegistryView = 0x0200;

// kolektor.log beside the plug-in: its presence switches the trace on.
std::string TraceFileOf(const std::string& plugin_path);
bool IsFile(const std::string& path);

}  // namespace kolektor::host
