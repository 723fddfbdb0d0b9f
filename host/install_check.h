// "Sprawdź instalację": what the plug-in needs on this computer, checked
// one item after another, each with OK or what is wrong and how to fix it;
// and where the programs find the installed plug-in and the host's folder.
#pragma once

#include <string>
#include <vector>

namespace kolektor::host {

struct InstallCheckInput {
  std::string port;         // the setting's value, Windows-1250; empty: no plug-in loaded
  std::string goods_path;   // may be empty
  std::string counts_path;  // may be empty
  std::string plugin_path;  // the loaded kolektor.dll; empty when none is loaded
  // The simulator's folder when the form rehearses with it instead of
  // ZRB's folder; empty otherwise.
  std::string rehearsal_folder;
  // Only look, for the support file, which may be made while the till
  // works: the port is looked up by name, never opened, and a folder's
  // existence is told instead of writing a test file into it.
  bool look_only = false;
};

struct InstallCheckItem {
  enum Level { kOk, kWarning, kFault } level;
  std::string what;  // UTF-8: what was checked and what was found
  std::string fix;   // UTF-8: how to fix it; empty when OK
};

std::vector<InstallCheckItem> CheckInstallation(const InstallCheckInput& input);

// The host's value Binaria as the plug-in finds it: read through the same
// platform, so from the same registry view. `value` holds the text for
// kFound, and for a string too long to use.
enum class HostValue { kNoKey, kNoValue, kUnusable, kFound };
HostValue ReadBinaria(std::string& value);
// Writes it there, as the host's installer does; false when it could not
// (no administrator's rights).
bool WriteBinaria(const std::string& folder);

// The plug-in a program uses when none is named: kolektor.dll beside the
// program, else the one in the folder Binaria names, where the setup puts
// it. With neither, `path` is empty and `missing` says where it looked.
struct DefaultPlugin {
  std::string path;  // ANSI
  bool from_zrb_folder = false;
  std::string missing;  // UTF-8
};
DefaultPlugin FindDefaultPlugin();

// Where CreateProcess finds a program named without a folder, when a
// program in `program_folder` starts it with `current_folder` as its
// current folder: the program's folder, the current folder, the system
// folders, PATH. Empty when it is nowhere.
std::string WhereWindowsFinds(const std::string& name, const std::string& program_folder,
                              const std::string& current_folder);

// kolektor.log beside the plug-in: its presence switches the trace on.
std::string TraceFileOf(const std::string& plugin_path);
bool IsFile(const std::string& path);
bool IsFolder(const std::string& path);

}  // namespace kolektor::host
