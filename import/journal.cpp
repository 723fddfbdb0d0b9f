#include "import/journal.h"

#include "platform/line_file.h"
#include "plugin/texts.h"

namespace kolektor {

namespace t = text;

namespace {
constexpr std::string_view kLineEnd = "\r\n";
}

bool TJournalTools::Append(Platform& platform, const std::string& source_path,
                           const std::string& journal_path, JournalDirection direction) {
  TMFile source(platform);
  TMFile journal(platform);
  source.SetPath(source_path);
  source.SetReadOnly(true);
  // The host may have taken its counts file away already: nothing to keep.
  // A counts file that exists but cannot be read is a failure, so the data
  // file is kept.
  if (!source.Open()) return !platform.FileExists(source_path);
  journal.SetPath(journal_path);
  journal.SetReadOnly(false);
  std::uint64_t size = 0;
  if (!journal.Open() || !journal.GetSize(size) || !journal.SetPointer(size)) return false;

  std::string header(direction == JournalDirection::kImport ? t::kJournalImportPrefix.view()
                                                            : t::kJournalExportPrefix.view());
  header += TdtTools(platform.Now()).ToString(TdtFormat::kDateTime);
  header += t::kJournalSuffix;
  if (!journal.WriteLine(header, kLineEnd)) return false;

  std::string line;
  while (source.ReadLine(line, kLineEnd))
    if (!journal.WriteLine(line, kLineEnd)) return false;
  if (source.Failed()) return false;
  source.Close();
  return journal.Close();
}

}  // namespace kolektor
