#include "host/journal_tool.h"

#include <map>
#include <string_view>
#include <vector>

#include "platform/line_file.h"
#include "plugin/texts.h"

namespace kolektor {

namespace {

// The header line without the empty line the prefix begins with.
bool IsHeader(std::string_view line, bool& import, std::string& date) {
  for (const std::string_view prefix :
       {text::kJournalImportPrefix.view().substr(2), text::kJournalExportPrefix.view().substr(2)}) {
    const std::string_view suffix = text::kJournalSuffix;
    if (line.size() >= prefix.size() + suffix.size() && line.substr(0, prefix.size()) == prefix &&
        line.substr(line.size() - suffix.size()) == suffix) {
      import = prefix == text::kJournalImportPrefix.view().substr(2);
      date.assign(line.substr(prefix.size(), line.size() - prefix.size() - suffix.size()));
      return true;
    }
  }
  return false;
}

// The quantity of "INW;code;quantity": the digits after the last ';'.
bool Quantity(std::string_view line, std::int64_t& value) {
  const std::size_t semicolon = line.rfind(';');
  if (semicolon == std::string_view::npos) return false;
  std::string_view digits = line.substr(semicolon + 1);
  const bool negative = !digits.empty() && digits[0] == '-';
  if (negative) digits.remove_prefix(1);
  if (digits.empty() || digits.size() > 12) return false;
  value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  if (negative) value = -value;
  return true;
}

constexpr std::uint64_t kFnvBasis = 14695981039346656037ull;
std::uint64_t Fnv(std::uint64_t hash, std::string_view bytes) {
  for (char c : bytes) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
  return hash;
}

// Walks the journal block by block. A header is an empty line followed by
// a header line; an empty line not followed by one belongs to the block.
// `on_line(block, line)` gets every line of every block.
template <typename OnHeader, typename OnLine>
bool Walk(File& journal, std::uint64_t& outside, OnHeader on_header, OnLine on_line) {
  // The journal's lines exactly as the journal step wrote them: each ended
  // by CR LF; a lone CR stays inside its line.
  LineReader lines;
  std::string line;
  std::uint64_t block = 0;
  bool held_empty = false;  // an empty line that may open the next header
  auto content = [&](std::string_view text) {
    if (block == 0)
      ++outside;
    else
      on_line(block, text);
  };
  while (lines.Next(journal, line, "\r\n")) {
    bool import = true;
    std::string date;
    if (held_empty && IsHeader(line, import, date)) {
      held_empty = false;
      on_header(++block, import, date);
      continue;
    }
    if (held_empty) {
      content(std::string_view());
      held_empty = false;
    }
    if (line.empty()) {
      held_empty = true;
      continue;
    }
    content(line);
  }
  if (held_empty) content(std::string_view());
  return !lines.Failed();
}

std::string Day(const std::string& date) { return date.substr(0, 10); }

}  // namespace

JournalSummary ListJournal(File& journal,
                           const std::function<void(const JournalBlock&)>& on_block) {
  JournalSummary summary;
  JournalBlock current;
  bool open = false;
  std::map<std::string, std::vector<JournalBlock>> by_day;
  JournalBlock previous;
  auto finish = [&] {
    if (!open) return;
    if (current.records > 0) {
      if (previous.number != 0 && previous.hash == current.hash &&
          previous.records == current.records)
        current.same_as = previous.number;
      for (const JournalBlock& b : by_day[Day(current.date)])
        if (current.same_as == 0 && b.hash == current.hash && b.records == current.records)
          current.same_as = b.number;
    }
    by_day[Day(current.date)].push_back(current);
    previous = current;
    on_block(current);
    ++summary.blocks;
  };
  const bool read = Walk(
      journal, summary.lines_outside,
      [&](std::uint64_t number, bool import, const std::string& date) {
        finish();
        current = JournalBlock{};
        current.number = number;
        current.import = import;
        current.date = date;
        current.hash = kFnvBasis;
        open = true;
      },
      [&](std::uint64_t, std::string_view line) {
        ++current.records;
        std::int64_t q = 0;
        if (Quantity(line, q)) current.total += q;
        current.hash = Fnv(Fnv(current.hash, line), "\r\n");
      });
  finish();
  summary.read_error = !read;
  return summary;
}

ExtractResult ExtractBlock(File& journal, std::uint64_t number, File& counts,
                           std::uint64_t* lines_written) {
  bool found = false, write_failed = false;
  std::uint64_t outside = 0, lines = 0;
  const bool read = Walk(
      journal, outside,
      [&](std::uint64_t block, bool, const std::string&) { found = found || block == number; },
      [&](std::uint64_t block, std::string_view line) {
        if (block != number || write_failed) return;
        write_failed =
            counts.Write(line.data(), line.size()) != line.size() || counts.Write("\r\n", 2) != 2;
        ++lines;
      });
  const bool closed = counts.Close();
  if (lines_written != nullptr) *lines_written = lines;
  if (!read) return ExtractResult::kReadFailed;
  if (!found) return ExtractResult::kNoBlock;
  if (write_failed || !closed) return ExtractResult::kWriteFailed;
  return ExtractResult::kDone;
}

}  // namespace kolektor
