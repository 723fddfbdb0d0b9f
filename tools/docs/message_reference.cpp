#include "tools/docs/message_reference.h"

#include <algorithm>

#include "base/cp1250.h"
#include "base/texts.h"
#include "tools/tool_texts.h"

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
    // The blanks before a word stay as they are within a line (a table's
    // columns); a line end takes their place where the line breaks.
    const std::size_t gap_start = at;
    while (at < utf8.size() && utf8[at] == ' ') ++at;
    const std::size_t gap = std::max<std::size_t>(at - gap_start, 1);
    const std::size_t end = std::min(utf8.find(' ', at), utf8.size());
    if (end == at) break;
    const std::string_view word = utf8.substr(at, end - at);
    at = end;
    if (!line_empty && column + gap + Width(word) > width) {
      out += '\n';
      out += indent;
      column = Width(indent);
      line_empty = true;
    }
    if (!line_empty) {
      out.append(gap, ' ');
      column += gap;
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
  if (Width(line) <= width) return std::string(line);
  const std::size_t lead = std::min(line.find_first_not_of(' '), line.size());
  std::string out = Wrap(line.substr(lead), std::string(lead, ' '),
                         std::string(std::min(lead + 2, width / 2), ' '), width);
  out.pop_back();  // the line end Wrap puts after the last line
  return out;
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
