// The support file: one dated plain-text file a shop can e-mail to the
// person who supports the plug-in, instead of the trace, the installation
// check, the journal listing and the versions each from its own place.
// zrbhost support writes it, and the test form's "Zbierz dane dla serwisu"
// calls the same function. Making it only reads: nothing in the till's
// folders is changed (the installation check only looks: no test file is
// written into a folder, the COM port is looked up, never opened).
#pragma once

#include <string>
#include <vector>

#include "host/install_check.h"

namespace kolektor::host {

struct SupportSetting {
  std::string label, name, value;  // Windows-1250, as the plug-in gives them
};

struct SupportInput {
  std::string folder;          // where the file goes (ANSI); empty: the desktop
  std::string plugin_path;     // the plug-in in use (ANSI); empty: none loaded
  std::string plugin_missing;  // UTF-8: why none is loaded
  std::vector<SupportSetting> settings;
  std::string goods_path, counts_path;  // ANSI; either may be empty
  std::string rehearsal_folder;         // the form's rehearsal, as the check takes it
  // The codes and quantities of the journal's last block too; without it
  // the file holds no goods data.
  bool with_records = false;
};

// The file's text: UTF-8, lines ended by LF.
std::string SupportText(const SupportInput& input);

struct SupportFile {
  bool written = false;
  std::string path;   // ANSI: kolektor-serwis-YYYYMMDD-HHMMSS.txt in the folder
  std::string error;  // UTF-8, when not written
};
// Writes SupportText as a new file (UTF-8 with a byte-order mark, CR LF,
// so that Notepad shows it on any Windows); an existing file of that name
// is never replaced (-2, -3... within one second).
SupportFile WriteSupportFile(const SupportInput& input);

}  // namespace kolektor::host
