// The message reference: every text the plug-in can send the host with its
// cause and what to check, as plain text for KOMUNIKATY.txt and INSTALL.txt.
#pragma once

#include <string>
#include <string_view>

namespace kolektor {

// UTF-8, lines ended by LF, wrapped at `width` characters.
std::string MessageReference(std::size_t width = 76);

// The words of `utf8` in lines of at most `width` characters, each line
// begun by `indent` (the first by `first_indent`), ended by LF.
std::string Wrap(std::string_view utf8, std::string_view first_indent, std::string_view indent,
                 std::size_t width);

}  // namespace kolektor
