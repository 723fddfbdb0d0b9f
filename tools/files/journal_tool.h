// The transfer journal Inwent.bak read back, for support: its blocks listed
// with the probable double imports flagged, and one block written out again
// as the counts file that import wrote, so the host can import it again.
#pragma once

#include <cstdint>
#include <functional>
#include <limits>
#include <string>

#include "platform/platform.h"

namespace kolektor {

struct JournalBlock {
  std::uint64_t number = 0;  // 1-based, in journal order
  bool import = true;        // the import header (the export one is never written)
  std::string date;          // as the header has it
  std::uint64_t records = 0;
  std::int64_t total = 0;  // sum of the quantities, in thousandths
  std::uint64_t hash = 0;  // of the block's lines
  // An earlier block with the same counts: the block just before, or one
  // of the same day. 0 when none.
  std::uint64_t same_as = 0;
  // Its writing was cut short (a kill, a power loss): its counts are not
  // all there. Either it lies past the size recorded before an append
  // that did not finish, or the next header follows its last line, cut
  // in the middle, without the empty line that opens every block.
  bool unfinished = false;
};

// No record of an unfinished append beside the journal.
inline constexpr std::uint64_t kNoUnfinishedAppend = std::numeric_limits<std::uint64_t>::max();

struct JournalSummary {
  std::uint64_t blocks = 0;
  std::uint64_t lines_outside = 0;  // before the first block
  bool read_error = false;
};

// `unfinished_from`: the journal's size before an append that did not
// finish (from its record, ReadAppendRecord): what lies from there on is
// that append's block, whatever of its header reached the disk.
JournalSummary ListJournal(File& journal, const std::function<void(const JournalBlock&)>& on_block,
                           std::uint64_t unfinished_from = kNoUnfinishedAppend);

enum class ExtractResult { kDone, kNoBlock, kReadFailed, kWriteFailed };
// Writes block `number`'s lines, each ended by CR LF, into `counts`; tells
// how many when asked. A line cut in the middle by an unfinished append is
// never written: its quantity would be wrong.
ExtractResult ExtractBlock(File& journal, std::uint64_t number, File& counts,
                           std::uint64_t* lines_written = nullptr,
                           std::uint64_t unfinished_from = kNoUnfinishedAppend);

}  // namespace kolektor
