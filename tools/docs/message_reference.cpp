#include "tools/docs/message_reference.h"

#include <algorithm>
#include <vector>

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

namespace {

// A word that begins with a digit ("12,5", "3.", "-0,5"): a number.
bool IsNumber(std::string_view word) {
  if (!word.empty() && word[0] == '-') word.remove_prefix(1);
  return !word.empty() && word[0] >= '0' && word[0] <= '9';
}

// Wrap, and with `keep_numbers` a number never begins a line of its own
// when the word before it could go with it: "niepoliczonych: 12" and
// "wiersz 3" stay together.
std::string WrapWords(std::string_view utf8, std::string_view first_indent, std::string_view indent,
                      std::size_t width, bool keep_numbers) {
  struct Word {
    std::size_t gap;  // the blanks before it, at least one
    std::string_view text;
  };
  std::vector<Word> words;
  for (std::size_t at = 0; at < utf8.size();) {
    const std::size_t gap_start = at;
    while (at < utf8.size() && utf8[at] == ' ') ++at;
    const std::size_t end = std::min(utf8.find(' ', at), utf8.size());
    if (end == at) break;
    words.push_back({std::max<std::size_t>(at - gap_start, 1), utf8.substr(at, end - at)});
    at = end;
  }
  std::string out(first_indent);
  std::size_t column = Width(first_indent);
  bool line_empty = true;
  auto new_line = [&] {
    out += '\n';
    out += indent;
    column = Width(indent);
    line_empty = true;
  };
  auto put = [&](const Word& w) {
    if (!line_empty) {
      out.append(w.gap, ' ');
      column += w.gap;
    }
    out += w.text;
    column += Width(w.text);
    line_empty = false;
  };
  for (std::size_t i = 0; i < words.size();) {
    // The words that go together: one, and the numbers after it.
    std::size_t end = i + 1;
    std::size_t together = Width(words[i].text);
    while (keep_numbers && end < words.size() && IsNumber(words[end].text))
      together += words[end].gap + Width(words[end].text), ++end;
    if (!line_empty && column + words[i].gap + together > width) new_line();
    // Too long even for a line of their own: word by word after all.
    const bool apart = column + together > width;
    for (; i < end; ++i) {
      if (apart && !line_empty && column + words[i].gap + Width(words[i].text) > width) new_line();
      put(words[i]);
    }
  }
  return out + '\n';
}

}  // namespace

std::string Wrap(std::string_view utf8, std::string_view first_indent, std::string_view indent,
                 std::size_t width) {
  return WrapWords(utf8, first_indent, indent, width, false);
}

namespace {

// One line broken as WrapLongLines says.
std::string WrapLine(std::string_view line, std::size_t width) {
  if (Width(line) <= width) return std::string(line);
  const std::size_t lead = std::min(line.find_first_not_of(' '), line.size());
  std::string out = WrapWords(line.substr(lead), std::string(lead, ' '),
                              std::string(std::min(lead + 2, width / 2), ' '), width, true);
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
