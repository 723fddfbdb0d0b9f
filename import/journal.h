// The transfer journal Inwent.bak: every successful import appends its
// counts file under a dated header, so earlier transfers stay readable
// after the host has consumed its counts file.
#pragma once

#include <string>

#include "platform/platform.h"

namespace kolektor {

class Trace;

enum class JournalDirection { kImport, kExport };

class TJournalTools {
 public:
  // Appends the source file to the journal. True when the block was
  // written whole, or when there was no source file to copy; false when
  // the source could not be read or the journal not opened or written
  // (what the journal held before stays).
  bool Append(Platform& platform, const std::string& source_path, const std::string& journal_path,
              JournalDirection direction, Trace* trace = nullptr);
};

}  // namespace kolektor
