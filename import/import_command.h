// The import step: IR_READ2.EXE -> a.dat -> counts file -> Inwent.bak.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kolektor {

// The counts path with its last two elements removed; false when it has
// fewer than two backslashes.
bool InventDir(std::string_view counts_path, std::string& invent_dir);

// "IR_READ2.EXE a.dat,<port>,<baud>"
std::string DownloadCommandLine(std::string_view port, std::string_view baud);

// Polls (of 100 ms each) allowed for the download, from "timeout".
std::uint32_t TickLimit(std::string_view timeout);

}  // namespace kolektor
