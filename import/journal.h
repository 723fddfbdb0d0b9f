// The transfer journal Inwent.bak: every successful import appends its
// counts file under a dated header, so earlier transfers stay readable
// after the host has consumed its counts file.
//
// An append never leaves a cut block behind. Before the first byte goes
// to the journal, its size is written to a small record beside it
// (Inwent.bak.append) and put on the disk; the record is removed once the
// block is complete and on the disk, or once a failed append has been cut
// back. A record still there means an append that a kill or a power loss
// cut short: the next import cuts the journal back to the recorded size,
// and the recovery tools flag the block meanwhile. The journal's own
// format is unchanged.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace kolektor {

class Trace;

enum class JournalDirection { kImport, kExport };

class TJournalTools {
 public:
  // Appends the source file to the journal. True when the block was
  // written whole, or when there was no source file to copy; false when
  // the source could not be read or the journal not opened or written:
  // the journal is then as it was before, or its record stays for the
  // next import to cut it back. `held`: see HeldPastTheWait.
  bool Append(Platform& platform, const std::string& source_path, const std::string& journal_path,
              JournalDirection direction, Trace* trace = nullptr, std::string* held = nullptr);
};

// The record of an append in progress, beside the journal.
std::string AppendRecordPath(const std::string& journal_path);

// The journal's size before the append, from the record's bytes; false
// when the record is not whole (written only in part: the journal had not
// been touched yet).
bool ParseAppendRecord(std::string_view bytes, std::uint64_t& size_before);
// The same from the record file; false also when it cannot be read.
bool ReadAppendRecord(File& record, std::uint64_t& size_before);

enum class JournalRepair {
  kNothing,   // no record: the last append finished
  kRepaired,  // the cut block is gone, the record removed
  kFailed,    // the journal or the record could not be handled
};
// Undoes an append that did not finish: the journal is cut back to the
// size recorded before it, the record removed. `held`: see HeldPastTheWait.
JournalRepair RepairJournal(Platform& platform, const std::string& journal_path, Trace* trace,
                            std::string* held = nullptr);

// When a journal step failed because another program held one of its files
// (the source, the journal or its record) open past the wait, the `held`
// of that step, when given, receives that file's path; otherwise it stays
// as it was.

// Whether the journal ends with an import block holding exactly `counts`
// (counts records, each ended by CR LF): the import that wrote them has
// finished its journal step.
enum class LastBlock { kSame, kOther, kUnreadable };
LastBlock CompareLastBlock(Platform& platform, const std::string& journal_path,
                           std::string_view counts, Trace* trace);

}  // namespace kolektor
