// The transfer journal Inwent.bak read back, for support: its blocks listed
// with the probable double imports flagged, and one block written out again
// as the counts file that import wrote, so the host can import it again.
#pragma once

#include <cstdint>
#include <functional>
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
};

struct JournalSummary {
  std::uint64_t blocks = 0;
  std::uint64_t lines_outside = 0;  // before the first block
  bool read_error = false;
};

JournalSummary ListJournal(File& journal, const std::function<void(const JournalBlock&)>& on_block);

enum class ExtractResult { kDone, kNoBlock, kReadFailed, kWriteFailed };
// Writes block `number`'s lines, each ended by CR LF, into `counts`; tells
// how many when asked.
ExtractResult ExtractBlock(File& journal, std::uint64_t number, File& counts,
                           std::uint64_t* lines_written = nullptr);

}  // namespace kolektor
