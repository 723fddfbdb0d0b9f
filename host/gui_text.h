// Texts of Windows controls, for any of our Windows programs: a control's
// text read whole, line ends as edit controls want them, and the "&" that
// marks a control's Alt letter.
#pragma once

#include <windows.h>

#include <set>
#include <string>

namespace kolektor::gui {

std::wstring ControlText(HWND control);

// The edit controls break lines at CR LF only: every bare LF gets its CR.
std::wstring CrLf(const std::wstring& text);

// The text a control shows: "&" marks the next letter as the Alt key's and
// "&&" is one "&".
std::wstring ShownText(const std::wstring& text);

// The Alt letter a text claims, lower case; 0 when none.
wchar_t MnemonicOf(const std::wstring& text);

// A label with the first letter or digit that is not `taken` marked for the
// Alt key (and added to `taken`); its own "&" kept as one.
std::wstring WithMnemonic(const std::wstring& label, std::set<wchar_t>& taken);

}  // namespace kolektor::gui
