#include "tools/docs/message_reference.h"

#include <algorithm>

#include "base/cp1250.h"
#include "base/texts.h"
#include "tools/program_texts.h"

namespace kolektor {

namespace {

// Characters, not bytes: UTF-8 continuation bytes do not count.
std::size_t Width(std::string_view utf8) {
  std::size_t n = 0;
  for (char c : utf8) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return n;
}

}  // namespace

std::string Wrap(std::string_view utf8, std::string_view first_indent, std::string_view indent,
                 std::size_t width) {
  std::string out(first_indent);
  std::size_t column = Width(first_indent);
  bool line_empty = true;
  std::size_t at = 0;
  while (at < utf8.size()) {
    while (at < utf8.size() && utf8[at] == ' ') ++at;
    const std::size_t end = std::min(utf8.find(' ', at), utf8.size());
    if (end == at) break;
    const std::string_view word = utf8.substr(at, end - at);
    at = end;
    if (!line_empty && column + 1 + Width(word) > width) {
      out += '\n';
      out += indent;
      column = Width(indent);
      line_empty = true;
    }
    if (!line_empty) {
      out += ' ';
      ++column;
    }
    out += word;
    column += Width(word);
    line_empty = false;
  }
  return out + '\n';
}

namespace {

// One line broken as WrapLongLines says.
std::string WrapLine(std::string_view line, std::size_t width) {
  const std::size_t lead = std::min(line.find_first_not_of(' '), line.size());
  const std::string indent(std::min(lead + 2, width / 2), ' ');
  std::string out;
  for (std::size_t prefix = 0;; prefix = indent.size()) {
    const std::size_t room = width - prefix;
    if (Width(line) <= room) return out + std::string(line);
    // The last blank after a word with the text before it within the room;
    // a word longer than the room goes whole up to the blank after it.
    std::size_t cut = std::string_view::npos, chars = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
      if (line[i] == ' ' && i > 0 && line[i - 1] != ' ') {
        if (chars > room && cut != std::string_view::npos) break;
        cut = i;
        if (chars > room) break;
      }
      chars += (static_cast<unsigned char>(line[i]) & 0xC0) != 0x80;
    }
    if (cut == std::string_view::npos) return out + std::string(line);
    std::string_view piece = line.substr(0, cut);
    while (!piece.empty() && piece.back() == ' ') piece.remove_suffix(1);
    line.remove_prefix(cut);
    line.remove_prefix(std::min(line.find_first_not_of(' '), line.size()));
    if (line.empty()) return out + std::string(piece);
    out += std::string(piece) + "\n" + indent;
  }
}

}  // namespace

std::string WrapLongLines(std::string_view utf8, std::size_t width) {
  std::string out;
  for (std::size_t at = 0; at < utf8.size();) {
    const std::size_t end = std::min(utf8.find('\n', at), utf8.size());
    std::string_view line = utf8.substr(at, end - at);
    const bool cr = !line.empty() && line.back() == '\r';
    if (cr) line.remove_suffix(1);
    out += WrapLine(line, width);
    if (cr) out += '\r';
    if (end < utf8.size()) out += '\n';
    at = end + 1;
  }
  return out;
}

std::string ExplanationLines(const text::Explanation& e, std::string_view indent,
                             std::size_t width) {
  return Wrap(std::string(ui::kCause) + " " + std::string(e.cause), indent, indent, width) +
         Wrap(std::string(ui::kCheck) + " " + std::string(e.check), indent, indent, width);
}

std::string MessageReference(std::size_t width) {
  std::string out;
  for (const text::Explanation& e : text::kExplanations) {
    std::string shown = Utf8FromCp1250(e.first);
    if (!e.middle.empty()) shown += "<" + std::string(e.middle) + ">";
    shown += Utf8FromCp1250(e.last);
    out += Wrap(shown, "", "  ", width);
    out += ExplanationLines(e, "    ", width);
    out += '\n';
  }
  return out;
}

}  // namespace kolektor
