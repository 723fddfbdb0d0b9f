#include "tools/files/journal_tool.h"

#include <map>
#include <string_view>
#include <vector>

#include "base/texts.h"
#include "import/line_file.h"
#include "tools/files/counts_summary.h"

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

constexpr std::uint64_t kFnvBasis = 14695981039346656037ull;
std::uint64_t Fnv(std::uint64_t hash, std::string_view bytes) {
  for (char c : bytes) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
  return hash;
}

// The start of a header line, cut short where the journal ends.
bool IsHeaderStart(std::string_view line) {
  for (const std::string_view prefix :
       {text::kJournalImportPrefix.view().substr(2), text::kJournalExportPrefix.view().substr(2)})
    if (line.substr(0, prefix.size()) == prefix.substr(0, line.size())) return true;
  return false;
}

// How a block began, for `on_header`.
struct BlockStart {
  bool import = true;
  std::string date;         // empty when its header was cut short
  bool unfinished = false;  // it lies past the size recorded before an append
  bool after_cut = false;   // the block before it ends with a line cut short
};

// Walks the journal block by block. A header is an empty line followed by
// a header line; an empty line not followed by one belongs to the block.
// A header line right after another line also opens a block: an append
// cut short in the middle of a line, followed by the next import's block.
// `on_header(block, start)` opens each block; `on_line(block, line, cut)`
// gets every line of every block, `cut` when the file ends inside it.
template <typename OnHeader, typename OnLine>
bool Walk(File& journal, std::uint64_t unfinished_from, std::uint64_t& outside, OnHeader on_header,
          OnLine on_line) {
  // The journal's lines exactly as the journal step wrote them: each ended
  // by CR LF; a lone CR stays inside its line.
  LineReader lines;
  std::string line;
  std::uint64_t block = 0, offset = 0;
  bool held_empty = false;  // an empty line that may open the next header
  // Past the recorded size: before its header, then inside its block.
  enum class Tail { kNone, kHeader, kBlock } tail = Tail::kNone;
  bool tail_empty_seen = false;
  auto content = [&](std::string_view text, bool cut) {
    if (block == 0)
      ++outside;
    else
      on_line(block, text, cut);
  };
  auto open_tail = [&](const BlockStart& start) {
    BlockStart s = start;
    s.unfinished = true;
    on_header(++block, s);
    tail = Tail::kBlock;
  };
  while (lines.Next(journal, line, "\r\n")) {
    const bool cut = lines.Unterminated();
    const std::uint64_t line_start = offset;
    offset += line.size() + (cut ? 0 : 2);
    if (tail == Tail::kNone && line_start >= unfinished_from) {
      // From here on lies the append that did not finish.
      if (held_empty) content(std::string_view(), false);
      held_empty = false;
      tail = Tail::kHeader;
    }
    BlockStart start;
    if (tail == Tail::kHeader) {
      if (line.empty() && !cut && !tail_empty_seen) {
        tail_empty_seen = true;
        continue;
      }
      if (IsHeader(line, start.import, start.date)) {
        open_tail(start);
        continue;
      }
      open_tail(BlockStart{});
      if (cut && IsHeaderStart(line)) continue;  // the header itself was cut
    }
    if (tail == Tail::kBlock) {
      content(line, cut);
      continue;
    }
    if (IsHeader(line, start.import, start.date)) {
      start.after_cut = !held_empty && block != 0;
      held_empty = false;
      on_header(++block, start);
      continue;
    }
    if (held_empty) {
      content(std::string_view(), false);
      held_empty = false;
    }
    if (line.empty() && !cut) {
      held_empty = true;
      continue;
    }
    content(line, cut);
  }
  if (tail == Tail::kHeader) open_tail(BlockStart{});
  if (held_empty) content(std::string_view(), false);
  return !lines.Failed();
}

std::string Day(const std::string& date) { return date.substr(0, 10); }

}  // namespace

JournalSummary ListJournal(File& journal, const std::function<void(const JournalBlock&)>& on_block,
                           std::uint64_t unfinished_from) {
  JournalSummary summary;
  JournalBlock current;
  bool open = false;
  std::map<std::string, std::vector<JournalBlock>> by_day;
  JournalBlock previous;
  auto finish = [&] {
    if (!open) return;
    if (current.records > 0 && !current.unfinished) {
      if (previous.number != 0 && !previous.unfinished && previous.hash == current.hash &&
          previous.records == current.records)
        current.same_as = previous.number;
      for (const JournalBlock& b : by_day[Day(current.date)])
        if (current.same_as == 0 && !b.unfinished && b.hash == current.hash &&
            b.records == current.records)
          current.same_as = b.number;
    }
    by_day[Day(current.date)].push_back(current);
    previous = current;
    on_block(current);
    ++summary.blocks;
  };
  const bool read = Walk(
      journal, unfinished_from, summary.lines_outside,
      [&](std::uint64_t number, const BlockStart& start) {
        if (start.after_cut) current.unfinished = true;
        finish();
        current = JournalBlock{};
        current.number = number;
        current.import = start.import;
        current.date = start.date;
        current.unfinished = start.unfinished;
        current.hash = kFnvBasis;
        open = true;
      },
      [&](std::uint64_t, std::string_view line, bool cut) {
        // A line cut short is no record.
        if (cut) {
          current.unfinished = true;
          return;
        }
        ++current.records;
        std::int64_t q = 0;
        if (QuantityAfterLastSemicolon(line, 12, q)) current.total += q;
        current.hash = Fnv(Fnv(current.hash, line), "\r\n");
      });
  finish();
  summary.read_error = !read;
  return summary;
}

ExtractResult ExtractBlock(File& journal, std::uint64_t number, File& counts,
                           std::uint64_t* lines_written, std::uint64_t unfinished_from) {
  bool found = false, write_failed = false;
  std::uint64_t outside = 0, lines = 0;
  // Each line is written when the next one shows that it was not cut.
  std::string held;
  bool holding = false;
  auto write = [&](std::string_view line) {
    if (write_failed) return;
    write_failed =
        counts.Write(line.data(), line.size()) != line.size() || counts.Write("\r\n", 2) != 2;
    ++lines;
  };
  const bool read = Walk(
      journal, unfinished_from, outside,
      [&](std::uint64_t block, const BlockStart& start) {
        found = found || block == number;
        if (block == number + 1 && holding && !start.after_cut) write(held);
        if (block == number + 1) holding = false;
      },
      [&](std::uint64_t block, std::string_view line, bool cut) {
        if (block != number) return;
        if (holding) write(held);
        holding = !cut;
        if (holding) held.assign(line);
      });
  if (holding) write(held);
  const bool closed = counts.Close();
  if (lines_written != nullptr) *lines_written = lines;
  if (!read) return ExtractResult::kReadFailed;
  if (!found) return ExtractResult::kNoBlock;
  if (write_failed || !closed) return ExtractResult::kWriteFailed;
  return ExtractResult::kDone;
}

}  // namespace kolektor
