#include "import/journal.h"

#include "base/file_names.h"
#include "base/held_files.h"
#include "base/texts.h"
#include "base/trace.h"
#include "import/line_file.h"

namespace kolektor {

namespace t = text;

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::size_t kRecordLimit = 64;

void Say(Trace* trace, std::string_view text) {
  if (trace != nullptr) trace->Line(text);
}
bool Fail(Trace* trace, std::string_view what) {
  if (trace != nullptr) trace->Failure(what);
  return false;
}
// Right after a wait for `path` failed: whether another program held it.
void NoteHeld(Platform& platform, std::string* held, const std::string& path) {
  if (held != nullptr && HeldByAnotherProgram(platform.LastError())) *held = path;
}

// The size before the append, written and put on the disk before the
// journal is touched, so that a cut append can always be undone.
bool WriteRecord(Platform& platform, const std::string& path, std::uint64_t size, Trace* trace,
                 std::string* held) {
  const std::unique_ptr<File> record = OpenWaitingWhileHeld(
      platform, trace, "creating the record of the append", path, OpenMode::kWriteTruncate);
  if (!record) {
    NoteHeld(platform, held, path);
    return false;
  }
  const std::string bytes = std::to_string(size) + "\r\n";
  const bool written = record->Write(bytes.data(), bytes.size()) == bytes.size() && record->Flush();
  return record->Close() && written;
}

bool RemoveRecord(Platform& platform, const std::string& path, Trace* trace,
                  std::string* held = nullptr) {
  if (WaitWhileHeld(platform, trace, "removing the record of the append",
                    [&] { return platform.RemoveFile(path); }))
    return true;
  NoteHeld(platform, held, path);
  return false;
}

bool AppendBlock(Platform& platform, TMFile& source, TMFile& journal,
                 const std::string& journal_path, JournalDirection direction, std::uint64_t& lines,
                 Trace* trace, std::string* held) {
  std::uint64_t size = 0;
  if (!WaitWhileHeld(platform, trace, "opening the journal", [&] { return journal.Open(); })) {
    NoteHeld(platform, held, journal_path);
    return Fail(trace, "opening the journal");
  }
  if (!journal.GetSize(size) || !journal.SetPointer(size))
    return Fail(trace, "finding the journal's end");
  if (trace != nullptr) trace->Number("journal size before", size);
  const std::string record_path = AppendRecordPath(journal_path);
  if (!WriteRecord(platform, record_path, size, trace, held)) {
    Fail(trace, "writing the record of the append");
    platform.RemoveFile(record_path);  // what there is of it; the journal is untouched
    return false;
  }

  std::string header(direction == JournalDirection::kImport ? t::kJournalImportPrefix.view()
                                                            : t::kJournalExportPrefix.view());
  header += TdtTools(platform.Now()).ToString(TdtFormat::kDateTime);
  header += t::kJournalSuffix;
  bool ok = journal.WriteLine(header, kLineEnd) || Fail(trace, "writing the journal");
  std::string line;
  while (ok && source.ReadLine(line, kLineEnd)) {
    ok = journal.WriteLine(line, kLineEnd) || Fail(trace, "writing the journal");
    if (ok) ++lines;
  }
  if (ok && source.Failed()) ok = Fail(trace, "reading the counts file");
  if (ok) ok = journal.Flush() || Fail(trace, "putting the journal on the disk");
  if (!ok) {
    // The journal never keeps a cut block: back to what it was.
    if (journal.Truncate(size) && journal.Flush() && journal.Close()) {
      if (trace != nullptr) trace->Number("the journal cut back to its size before, bytes", size);
      if (!RemoveRecord(platform, record_path, trace))
        Fail(trace, "removing the record of the append");
    } else {
      // The record stays: the next import cuts the journal back.
      Fail(trace, "cutting the journal back");
    }
    return false;
  }
  source.Close();
  // Until the block is whole and on the disk the record must stay; if it
  // cannot be removed, the next import takes the block back, and so this
  // one must fail (keeping a.dat) rather than succeed.
  if (!journal.Close()) return Fail(trace, "closing the journal");
  if (!RemoveRecord(platform, record_path, trace, held))
    return Fail(trace, "removing the record of the append");
  return true;
}

}  // namespace

std::string AppendRecordPath(const std::string& journal_path) {
  return journal_path + std::string(kAppendRecordSuffix);
}

bool ParseAppendRecord(std::string_view bytes, std::uint64_t& size_before) {
  if (bytes.size() < 3 || bytes.substr(bytes.size() - 2) != kLineEnd) return false;
  const std::string_view digits = bytes.substr(0, bytes.size() - 2);
  if (digits.size() > 19) return false;
  std::uint64_t value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
  }
  size_before = value;
  return true;
}

namespace {

// The record's bytes, or as many as show that it is no record of ours;
// false only when it could not be read.
bool ReadRecordBytes(File& record, std::string& bytes) {
  char buffer[kRecordLimit];
  while (bytes.size() <= kRecordLimit) {
    const long got = record.Read(buffer, sizeof buffer);
    if (got < 0) return false;
    if (got == 0) break;
    bytes.append(buffer, static_cast<std::size_t>(got));
  }
  return true;
}

}  // namespace

bool ReadAppendRecord(File& record, std::uint64_t& size_before) {
  std::string bytes;
  return ReadRecordBytes(record, bytes) && ParseAppendRecord(bytes, size_before);
}

JournalRepair RepairJournal(Platform& platform, const std::string& journal_path, Trace* trace,
                            std::string* held) {
  const std::string record_path = AppendRecordPath(journal_path);
  if (!platform.FileExists(record_path)) return JournalRepair::kNothing;
  const std::unique_ptr<File> record = OpenWaitingWhileHeld(
      platform, trace, "opening the record of an unfinished append", record_path, OpenMode::kRead);
  if (!record) {
    NoteHeld(platform, held, record_path);
    Fail(trace, "opening the record of an unfinished append " + record_path);
    return JournalRepair::kFailed;
  }
  // A record that cannot be read now is not one cut short: it stays, and
  // with it the means to undo the block.
  std::string bytes;
  const bool read = ReadRecordBytes(*record, bytes);
  record->Close();
  if (!read) {
    Fail(trace, "reading the record of an unfinished append " + record_path);
    return JournalRepair::kFailed;
  }
  std::uint64_t before = 0;
  if (!ParseAppendRecord(bytes, before)) {
    // Cut while the record itself was written: the journal was untouched.
    Say(trace, "a record of a journal append cut short before it began: removed");
  } else {
    // Opened, not looked for: a journal whose existence cannot be told must
    // not pass for a missing one. One that is really gone is created empty,
    // as the append that follows would create it.
    TMFile journal(platform);
    journal.SetPath(journal_path);
    journal.SetReadOnly(false);
    std::uint64_t size = 0;
    if (!WaitWhileHeld(platform, trace, "opening the journal", [&] { return journal.Open(); })) {
      NoteHeld(platform, held, journal_path);
      Fail(trace, "opening the journal to undo an unfinished append");
      return JournalRepair::kFailed;
    }
    if (!journal.GetSize(size)) {
      Fail(trace, "opening the journal to undo an unfinished append");
      return JournalRepair::kFailed;
    }
    if (size > before) {
      if (!journal.Truncate(before) || !journal.Flush() || !journal.Close()) {
        Fail(trace, "cutting the journal back after an unfinished append");
        return JournalRepair::kFailed;
      }
      if (trace != nullptr)
        trace->Line("an append to the journal did not finish: cut back from " +
                    std::to_string(size) + " to " + std::to_string(before) + " bytes");
    } else if (size < before) {
      // Shortened by someone else since: nothing of ours to take back.
      if (trace != nullptr)
        trace->Line("the journal is shorter than before an unfinished append (" +
                    std::to_string(size) + " of " + std::to_string(before) +
                    " bytes): left as it is");
    }
    journal.Close();
  }
  if (!RemoveRecord(platform, record_path, trace, held)) {
    Fail(trace, "removing the record of an unfinished append " + record_path);
    return JournalRepair::kFailed;
  }
  return JournalRepair::kRepaired;
}

LastBlock CompareLastBlock(Platform& platform, const std::string& journal_path,
                           std::string_view counts, Trace* trace) {
  const std::unique_ptr<File> journal =
      OpenWaitingWhileHeld(platform, trace, "opening the journal to compare its last block",
                           journal_path, OpenMode::kRead);
  if (!journal)
    return platform.FileExists(journal_path) ? LastBlock::kUnreadable : LastBlock::kOther;
  // The header is as long as every header the journal step writes: its
  // date always has the same 19 characters.
  constexpr std::size_t kDateSize = std::string_view("YYYY-MM-DD HH:MM:SS").size();
  const std::string_view prefix = t::kJournalImportPrefix;
  const std::string_view suffix = t::kJournalSuffix;
  const std::size_t header = prefix.size() + kDateSize + suffix.size() + kLineEnd.size();
  std::uint64_t size = 0;
  if (!journal->Size(size)) return LastBlock::kUnreadable;
  if (size < header + counts.size()) return LastBlock::kOther;
  std::string block(header + counts.size(), '\0');
  if (!journal->Seek(size - block.size())) return LastBlock::kUnreadable;
  for (std::size_t have = 0; have < block.size();) {
    const long got = journal->Read(&block[have], block.size() - have);
    if (got <= 0) return LastBlock::kUnreadable;
    have += static_cast<std::size_t>(got);
  }
  journal->Close();
  const std::string_view b = block;
  const std::string_view date = b.substr(prefix.size(), kDateSize);
  const bool dated = date.find_first_of("\r\n") == std::string_view::npos;
  const bool same = b.substr(0, prefix.size()) == prefix && dated &&
                    b.substr(prefix.size() + kDateSize, suffix.size()) == suffix &&
                    b.substr(header - kLineEnd.size(), kLineEnd.size()) == kLineEnd &&
                    b.substr(header) == counts;
  return same ? LastBlock::kSame : LastBlock::kOther;
}

bool TJournalTools::Append(Platform& platform, const std::string& source_path,
                           const std::string& journal_path, JournalDirection direction,
                           Trace* trace, std::string* held) {
  TMFile source(platform);
  TMFile journal(platform);
  source.SetPath(source_path);
  source.SetReadOnly(true);
  // The host may have taken its counts file away already: nothing to keep.
  // A counts file that exists but cannot be read is a failure, so the data
  // file is kept.
  if (!WaitWhileHeld(platform, trace, "opening the counts file for the journal",
                     [&] { return source.Open(); })) {
    NoteHeld(platform, held, source_path);
    const bool gone = !platform.FileExists(source_path);
    Say(trace, gone ? "the counts file is gone: nothing to journal"
                    : "the counts file cannot be read for the journal");
    return gone;
  }
  // An earlier append cut short is undone before this one begins.
  if (RepairJournal(platform, journal_path, trace, held) == JournalRepair::kFailed) return false;
  journal.SetPath(journal_path);
  journal.SetReadOnly(false);
  std::uint64_t lines = 0;
  const bool ok =
      AppendBlock(platform, source, journal, journal_path, direction, lines, trace, held);
  if (ok && trace != nullptr) trace->Number("lines appended to the journal", lines);
  return ok;
}

}  // namespace kolektor
