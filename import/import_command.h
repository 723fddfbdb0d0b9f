// The import step: IR_READ2.EXE -> a.dat -> counts file -> Inwent.bak.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/host_interface.h"
#include "platform/platform.h"

namespace kolektor {

class HostLink;
class Trace;

// The import, in the frame of an operation: 1 after a successful
// conversion and journal step, 0 after one reported failure.
HostWord RunImport(Platform& platform, const HostLink& host, Trace& trace,
                   const std::string& counts_path);

// The counts path with its last two elements removed; false when it has
// fewer than two backslashes. A drive or share left alone means its root
// ("X:\INW\imp.txt" gives "X:\", not "X:", the current folder on X:).
bool InventDir(std::string_view counts_path, std::string& invent_dir);

// "YYYYMMDD-HHMMSS": the name an earlier a.dat is kept under, after "a.dat.".
std::string KeptDataSuffix(const LocalTime& time);

enum class KeepResult {
  kDone,        // no a.dat is left in the way: moved aside, or there was none
  kFailed,      // it could not be moved (open elsewhere, locked): it stays
  kNoFreeName,  // every kept name of this second is taken: it stays
};
// Moves an a.dat left by an earlier import aside as a.dat.<time>, never
// over an earlier kept copy; a file held for a moment is waited for. An
// a.dat whose counts, converted as the import would, are exactly the
// journal's last block goes aside as a.imp.<time> instead: its import
// finished all but deleting it (the host was killed just then).
KeepResult KeepEarlierData(Platform& platform, const std::string& data_path,
                           const std::string& journal_path, Trace* trace = nullptr);

// "IR_READ2.EXE a.dat,<port>,<baud>"
std::string DownloadCommandLine(std::string_view port, std::string_view baud);

}  // namespace kolektor
