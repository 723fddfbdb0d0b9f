// Inwent.bak: appended blocks under dated headers, never rewritten.
#include "import/journal.h"

#include <gtest/gtest.h>

#include "platform/line_file.h"
#include "tests/native/test_host.h"

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

TEST(Journal, FailuresNeverRewriteWhatWasThere) {
  const char* operations[] = {"open", "size", "seek", "read", "write", "close"};
  for (const char* operation : operations) {
    for (int nth = 1; nth <= 3; ++nth) {
      EventLog log;
      FakePlatform platform(log);
      platform.read_chunk = 4;
      platform.files["imp"] = "INW;1;02000\r\nINW;2;03000\r\n";
      platform.files["Inwent.bak"] = "earlier block\r\n";
      platform.FailAt(operation, nth);
      const bool ok =
          TJournalTools().Append(platform, "imp", "Inwent.bak", JournalDirection::kImport);
      const std::string& after = platform.files["Inwent.bak"];
      EXPECT_EQ(after.rfind("earlier block\r\n", 0), 0u) << operation << nth;
      // The first close is the source's, read only: nothing is lost there.
      const bool source_close = std::string(operation) == "close" && nth == 1;
      if (platform.Calls(operation) >= nth && !source_close) {
        EXPECT_FALSE(ok) << operation << nth;
      } else {
        EXPECT_TRUE(ok) << operation << nth;
        EXPECT_EQ(after, "earlier block\r\n" + kHeader + "INW;1;02000\r\nINW;2;03000\r\n");
      }
      EXPECT_EQ(platform.files["imp"], "INW;1;02000\r\nINW;2;03000\r\n");
      EXPECT_EQ(platform.OpenFiles(), 0);
    }
  }
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
