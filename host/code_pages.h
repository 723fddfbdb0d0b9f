// Text between the Windows code pages and UTF-16, for the Windows programs:
// the plug-in's Windows-1250, the ANSI code page of command lines and file
// names, and UTF-8, the programs' own texts. Every conversion of theirs goes
// through the one pair below.
#pragma once

#include <string>
#include <string_view>

namespace kolektor::host {

inline constexpr unsigned kCodePageAnsi = 0;  // CP_ACP: the system's ANSI code page
inline constexpr unsigned kCodePage1250 = 1250;
inline constexpr unsigned kCodePageUtf8 = 65001;  // CP_UTF8

// A byte that the code page lacks becomes U+FFFD, a character it lacks
// "?" (Windows' own default character).
std::wstring WideFrom(unsigned code_page, std::string_view bytes);
std::string BytesFrom(unsigned code_page, std::wstring_view text);

inline std::wstring WideFromCp1250(std::string_view text) { return WideFrom(kCodePage1250, text); }
inline std::string Cp1250FromWide(std::wstring_view text) { return BytesFrom(kCodePage1250, text); }
inline std::wstring WideFromUtf8(std::string_view text) { return WideFrom(kCodePageUtf8, text); }
inline std::string Utf8FromWide(std::wstring_view text) { return BytesFrom(kCodePageUtf8, text); }
inline std::wstring WideFromAnsi(std::string_view text) { return WideFrom(kCodePageAnsi, text); }
inline std::string AnsiFromWide(std::wstring_view text) { return BytesFrom(kCodePageAnsi, text); }

// A path or a command-line argument (ANSI) shown in the programs' UTF-8
// texts, and handed to the plug-in as the host hands its texts over.
inline std::string Utf8FromAnsi(std::string_view text) { return Utf8FromWide(WideFromAnsi(text)); }
inline std::string Cp1250FromAnsi(std::string_view text) {
  return Cp1250FromWide(WideFromAnsi(text));
}

}  // namespace kolektor::host
