#include "import/journal.h"

#include "platform/line_file.h"
#include "plugin/texts.h"
#include "plugin/trace.h"

namespace kolektor {

namespace t = text;

namespace {

constexpr std::string_view kLineEnd = "\r\n";

bool AppendBlock(Platform& platform, TMFile& source, TMFile& journal, JournalDirection direction,
                 std::uint64_t& lines, Trace* trace) {
  auto fail = [trace](const char* what) {
    if (trace != nullptr) trace->Failure(what);
    return false;
  };
  std::uint64_t size = 0;
  if (!journal.Open()) return fail("opening the journal");
  if (!journal.GetSize(size) || !journal.SetPointer(size)) return fail("finding the journal's end");
  if (trace != nullptr) trace->Number("journal size before", size);

  std::string header(direction == JournalDirection::kImport ? t::kJournalImportPrefix.view()
                                                            : t::kJournalExportPrefix.view());
  header += TdtTools(platform.Now()).ToString(TdtFormat::kDateTime);
  header += t::kJournalSuffix;
  if (!journal.WriteLine(header, kLineEnd)) return fail("writing the journal");

  std::string line;
  while (source.ReadLine(line, kLineEnd)) {
    if (!journal.WriteLine(line, kLineEnd)) return fail("writing the journal");
    ++lines;
  }
  if (source.Failed()) return fail("reading the counts file");
  source.Close();
  if (!journal.Close()) return fail("closing the journal");
  return true;
}

}  // namespace

bool TJournalTools::Append(Platform& platform, const std::string& source_path,
                           const std::string& journal_path, JournalDirection direction,
                           Trace* trace) {
  TMFile source(platform);
  TMFile journal(platform);
  source.SetPath(source_path);
  source.SetReadOnly(true);
  // The host may have taken its counts file away already: nothing to keep.
  // A counts file that exists but cannot be read is a failure, so the data
  // file is kept.
  if (!source.Open()) {
    const bool gone = !platform.FileExists(source_path);
    if (trace != nullptr)
      trace->Line(gone ? "the counts file is gone: nothing to journal"
                       : "the counts file cannot be read for the journal");
    return gone;
  }
  journal.SetPath(journal_path);
  journal.SetReadOnly(false);
  std::uint64_t lines = 0;
  const bool ok = AppendBlock(platform, source, journal, direction, lines, trace);
  if (ok && trace != nullptr) trace->Number("lines appended to the journal", lines);
  return ok;
}

}  // namespace kolektor
