// The names of the files the plug-in meets, each written here once: the
// terminal vendor's utilities and the files they exchange with the
// plug-in, and the plug-in's own files. The plug-in, the host programs and
// the simulator take them from here.
#pragma once

#include <string_view>

namespace kolektor {

// The vendor's upload utility, started from the host's installation folder
// with the lookup file's name on its command line and the goods file's
// folder as its current folder.
inline constexpr std::string_view kUploadUtility = "DLOOKUP2.EXE";
inline constexpr std::string_view kLookupFileName = "a";
// The vendor's download utility, found by Windows' program search, writes
// the data file into invent_dir, where the transfer journal lies too.
inline constexpr std::string_view kDownloadUtility = "IR_READ2.EXE";
inline constexpr std::string_view kDataFileName = "a.dat";
inline constexpr std::string_view kJournalFileName = "Inwent.bak";

// The plug-in itself, as the setup installs it into the host's folder.
inline constexpr std::string_view kPluginFileName = "kolektor.dll";
// The support trace is on while a file of this name lies beside the
// plug-in.
inline constexpr std::string_view kTraceFileName = "kolektor.log";
// The lock an import holds in invent_dir, which keeps a second import out.
inline constexpr std::string_view kLockFileName = "kolektor.lock";
// Beside the journal while a block is appended: the journal's size before
// (Inwent.bak.append).
inline constexpr std::string_view kAppendRecordSuffix = ".append";
// Beside the lock while the import starts and runs the download utility:
// who starts it, and the utility's process (import/utility_record.h).
inline constexpr std::string_view kUtilityRecordName = "kolektor.pid";
// An a.dat whose counts are already the journal's last block goes aside
// under this name and the time, not as an unimported a.dat.<time>.
inline constexpr std::string_view kImportedDataPrefix = "a.imp.";

}  // namespace kolektor
