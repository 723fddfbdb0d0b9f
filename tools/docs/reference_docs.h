// The shipped message reference, made from the plug-in's message table:
// KOMUNIKATY.txt as a whole, and the same list as the last section of
// INSTALL.txt. Windows text files: CR LF line ends.
#pragma once

#include <string>

namespace kolektor::docs {

std::string MessagesFile();

// INSTALL.txt with its message section (from the marker line to the end)
// made anew; the text before the marker is kept.
std::string WithMessageSection(const std::string& install_txt);

inline constexpr const char* kMessageSectionMarker =
    "Spis komunikatów (z tabeli komunikatów wtyczki; ten sam opis pokazuje kolektor-test)";

std::string Crlf(const std::string& lf_text);

}  // namespace kolektor::docs
