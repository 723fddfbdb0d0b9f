// Inwent.bak: appended blocks under dated headers, never rewritten.
#include "import/journal.h"

#include <gtest/gtest.h>

#include "import/line_file.h"
#include "plugin/plugin_api.h"
#include "tests/native/test_host.h"
#include "tools/files/journal_tool.h"

namespace kolektor::testing {
namespace {

const std::string kHeader =
    "\r\n------------ [IMPORT WYKONANY DNIA: 2026-12-07 09:05:03] ------------\r\n";

TEST(Journal, BlocksAppendByteForByte) {
  EventLog log;
  FakePlatform platform(log);
  platform.read_chunk = 3;
  platform.files["imp"] = "INW;1;02000\r\nINW;2;-0500\r\n";
  TJournalTools journal;
  ASSERT_TRUE(journal.Append(platform, "imp", "Inwent.bak", JournalDirection::kImport));
  const std::string first = kHeader + "INW;1;02000\r\nINW;2;-0500\r\n";
  EXPECT_EQ(platform.files["Inwent.bak"], first);

  platform.files["imp"] = "";
  platform.now = LocalTime{2027, 1, 2, 23, 59, 9};
  ASSERT_TRUE(journal.Append(platform, "imp", "Inwent.bak", JournalDirection::kImport));
  EXPECT_EQ(platform.files["Inwent.bak"],
            first +
                "\r\n------------ [IMPORT WYKONANY DNIA: 2027-01-02 23:59:09] "
                "------------\r\n");
  EXPECT_EQ(platform.OpenFiles(), 0);
}

TEST(Journal, ExportHeaderHasElevenDashes) {
  EventLog log;
  FakePlatform platform(log);
  platform.files["src"] = "x";
  TJournalTools().Append(platform, "src", "j", JournalDirection::kExport);
  EXPECT_EQ(platform.files["j"],
            "\r\n----------- [EKSPORT WYKONANY DNIA: 2026-12-07 09:05:03] ------------\r\nx\r\n");
}

TEST(Journal, MissingSourceLeavesTheJournalAlone) {
  EventLog log;
  FakePlatform platform(log);
  platform.files["Inwent.bak"] = "old";
  EXPECT_TRUE(TJournalTools().Append(platform, "imp", "Inwent.bak", JournalDirection::kImport));
  EXPECT_EQ(platform.files["Inwent.bak"], "old");
  EXPECT_EQ(platform.Calls("open"), 1) << "only the missing source was tried";
}

// Whichever call of an append fails, the journal is as it was: cut back at
// once, or, where even that failed, its record stays and the next import's
// repair cuts it back. A success leaves the whole block and no record.
TEST(Journal, AFailedAppendLeavesNoCutBlock) {
  const std::string before = "earlier block\r\n";
  const std::string counts = "INW;1;02000\r\nINW;2;03000\r\n";
  const std::string record = "Inwent.bak.append";
  int failures = 0;
  for (const char* operation : FakePlatform::kOperations) {
    for (int nth = 1; nth <= 6; ++nth) {
      SCOPED_TRACE(std::string(operation) + " #" + std::to_string(nth));
      EventLog log;
      FakePlatform platform(log);
      platform.read_chunk = 4;
      platform.files["imp"] = counts;
      platform.files["Inwent.bak"] = before;
      platform.FailAt(operation, nth);
      const bool ok =
          TJournalTools().Append(platform, "imp", "Inwent.bak", JournalDirection::kImport);
      EXPECT_EQ(platform.files["imp"], counts);
      EXPECT_EQ(platform.OpenFiles(), 0);
      if (ok) {
        EXPECT_EQ(platform.files["Inwent.bak"], before + kHeader + counts);
        EXPECT_EQ(platform.files.count(record), 0u);
        continue;
      }
      ++failures;
      if (platform.files.count(record) != 0) {
        platform.FailAt(operation, 0);
        EXPECT_NE(RepairJournal(platform, "Inwent.bak", nullptr), JournalRepair::kFailed);
      }
      EXPECT_EQ(platform.files["Inwent.bak"], before);
      EXPECT_EQ(platform.files.count(record), 0u);
    }
  }
  EXPECT_GE(failures, 15);
}

// Whichever call of a repair fails, its record stays until the journal is
// back to its size before the cut append: a record that cannot be read, or
// a journal whose existence cannot be told, is never taken for nothing to
// undo. The next repair then finishes the work.
TEST(Journal, AFailedRepairKeepsItsRecord) {
  const std::string before = "earlier block\r\n";
  const std::string cut = kHeader + "INW;1;02000\r\nINW;2;03";
  const std::string record = "Inwent.bak.append";
  for (const char* operation : FakePlatform::kOperations) {
    for (int nth = 1; nth <= 3; ++nth) {
      SCOPED_TRACE(std::string(operation) + " #" + std::to_string(nth));
      EventLog log;
      FakePlatform platform(log);
      platform.files["Inwent.bak"] = before + cut;
      platform.files[record] = std::to_string(before.size()) + "\r\n";
      platform.FailAt(operation, nth);
      const JournalRepair first = RepairJournal(platform, "Inwent.bak", nullptr);
      EXPECT_TRUE(platform.files.count(record) != 0 || platform.files["Inwent.bak"] == before)
          << "the record went while the cut block stayed";
      if (first == JournalRepair::kRepaired) EXPECT_EQ(platform.files["Inwent.bak"], before);
      platform.FailAt(operation, 0);
      EXPECT_NE(RepairJournal(platform, "Inwent.bak", nullptr), JournalRepair::kFailed);
      EXPECT_EQ(platform.files["Inwent.bak"], before);
      EXPECT_EQ(platform.files.count(record), 0u);
      EXPECT_EQ(platform.OpenFiles(), 0);
    }
  }
}

// A kill or a power loss at any write of an import: the journal's tools
// flag the block that did not finish and never write its cut line, and
// the next import takes the block back before it appends its own.
TEST(Journal, AnAppendCutAtAnyWriteIsFlaggedThenUndoneByTheNextImport) {
  const std::string counts_path = "C:\\DANE\\INW\\imp.txt";
  const std::string journal_path = "C:\\DANE\\Inwent.bak";
  const std::string record_path = journal_path + ".append";
  const std::string second = "2,1\r\n22,0.5\r\n222,3\r\n";
  const std::string second_counts = "INW;2;01000\r\nINW;22;00500\r\nINW;222;03000\r\n";
  Till first;
  first.download = "1,1\r\n";
  ASSERT_EQ(first.Import(counts_path.c_str()), 1);
  const std::map<std::string, std::string> after_first = first.platform.files;
  const std::string journal_before = after_first.at(journal_path);

  // Every write of the second import, counts file, record and journal.
  int writes = 0;
  for (int nth = 0; nth == 0 || nth <= writes; ++nth) {
    SCOPED_TRACE("killed at write " + std::to_string(nth));
    Till till;
    FakePlatform& platform = till.platform;
    platform.files = after_first;
    platform.now.minute = 30;
    till.download = second;
    platform.fault_kills = true;
    platform.FailAt("write", nth);
    bool killed = false;
    try {
      EXPECT_EQ(till.Import(counts_path.c_str(), 2), 1);
    } catch (const FakePlatform::ProcessDeath&) {
      killed = true;
    }
    if (nth == 0) {  // the run without a kill, to count the writes
      writes = platform.Calls("write");
      continue;
    }
    ASSERT_TRUE(killed);

    // What the journal tools see meanwhile.
    std::uint64_t from = kNoUnfinishedAppend;
    if (platform.files.count(record_path) != 0)
      ParseAppendRecord(platform.files[record_path], from);
    const std::string& journal = platform.files[journal_path];
    const bool cut = journal.size() > journal_before.size();
    EXPECT_EQ(journal.substr(0, journal_before.size()), journal_before);
    if (cut) EXPECT_EQ(from, journal_before.size()) << "the record was on the disk first";
    std::vector<JournalBlock> blocks;
    auto file = platform.Open(journal_path, OpenMode::kRead);
    ListJournal(
        *file, [&](const JournalBlock& b) { blocks.push_back(b); }, from);
    ASSERT_EQ(blocks.size(), cut ? 2u : 1u);
    EXPECT_FALSE(blocks[0].unfinished);
    if (cut) {
      EXPECT_TRUE(blocks[1].unfinished);
      file = platform.Open(journal_path, OpenMode::kRead);
      auto out = platform.Open("extracted", OpenMode::kWriteTruncate);
      EXPECT_EQ(ExtractBlock(*file, 2, *out, nullptr, from), ExtractResult::kDone);
      const std::string& extracted = platform.files["extracted"];
      EXPECT_EQ(second_counts.substr(0, extracted.size()), extracted) << "whole lines only";
    }

    // The next import repairs the journal first and adds only its own block.
    platform.fault_kills = false;
    platform.FailAt("write", 0);
    platform.trace_on = true;
    platform.now.minute = 45;
    EXPECT_EQ(till.Import(counts_path.c_str(), 3), 1);
    EXPECT_EQ(platform.files.count(record_path), 0u);
    EXPECT_EQ(platform.files[journal_path],
              journal_before +
                  "\r\n------------ [IMPORT WYKONANY DNIA: 2026-12-07 09:45:03] ------------\r\n" +
                  second_counts);
    bool traced = false;
    for (const std::string& line : platform.trace)
      traced = traced || line.find("did not finish: cut back from") != std::string::npos;
    EXPECT_EQ(traced, cut);
    // The killed import's download is not lost: kept aside. (A kill at
    // the utility's record comes before the download.)
    if (till.downloads == 2) EXPECT_EQ(platform.files["C:\\DANE\\a.dat.20261207-094503"], second);
  }
  EXPECT_GE(writes, 8);
}

TEST(LineFile, LinesSplitOnlyAtTheTerminator) {
  struct Case {
    std::string bytes;
    std::vector<std::string> lines;
  } cases[] = {
      {"", {}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\r\n\r\nb", {"a", "", "b"}},
      {"a\rb\nc\r\n", {"a\rb\nc"}},
      {std::string(5000, 'x') + "\r\n" + "y", {std::string(5000, 'x'), "y"}},
  };
  for (const Case& c : cases) {
    for (std::size_t chunk : {1u, 2u, 100u}) {
      EventLog log;
      FakePlatform platform(log);
      platform.read_chunk = chunk;
      platform.files["f"] = c.bytes;
      TMFile file(platform);
      file.SetPath("f");
      file.SetReadOnly(true);
      ASSERT_TRUE(file.Open());
      std::vector<std::string> lines;
      std::string line;
      while (file.ReadLine(line, "\r\n")) lines.push_back(line);
      EXPECT_EQ(lines, c.lines) << c.bytes.substr(0, 20);
      EXPECT_FALSE(file.Failed());
    }
  }
}

}  // namespace
}  // namespace kolektor::testing
