// The message reference: every text the plug-in can send the host with its
// cause and what to check, as plain text for KOMUNIKATY.txt and INSTALL.txt.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "base/texts.h"

namespace kolektor {

// UTF-8, lines ended by LF, wrapped at `width` characters.
std::string MessageReference(std::size_t width = 76);

// An explanation as people read it: "Przyczyna: ..." and "Co sprawdzić:
// ...", each wrapped at `width` with every line begun by `indent` and
// ended by LF.
std::string ExplanationLines(const text::Explanation& explanation, std::string_view indent,
                             std::size_t width);

// The words of `utf8` in lines of at most `width` characters, each line
// begun by `indent` (the first by `first_indent`), ended by LF; the blanks
// between two words of one line stay as they are.
std::string Wrap(std::string_view utf8, std::string_view first_indent, std::string_view indent,
                 std::size_t width);

// `utf8` with every line longer than `width` characters broken at its last
// blanks that fit, the rest of it indented two more than the line; the
// blanks inside each piece stay as they are (a table's columns). A number
// stays with the word before it ("niepoliczonych: 12", "wiersz 3"), unless
// the two together are wider than a line.
std::string WrapLongLines(std::string_view utf8, std::size_t width);

}  // namespace kolektor
