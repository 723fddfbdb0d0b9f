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
  // next import to cut it back.
  bool Append(Platform& platform, const std::string& source_path, const std::string& journal_path,
              JournalDirection direction, Trace* trace = nullptr);
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
// size recorded before it, the record removed.
JournalRepair RepairJournal(Platform& platform, const std::string& journal_path, Trace* trace);

}  // namespace kolektor
