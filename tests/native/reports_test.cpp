// What people are told: after a read, the positions and their total with
// the Polish number agreement, a read of nothing as a warning, the
// journal's empty blocks marked; and when zrbhost cannot open a file, what
// the file is and why Windows refused it.
#include <gtest/gtest.h>

#include "base/settings_table.h"
#include "host/zrbhost_files.h"
#include "tests/native/fake_platform.h"
#include "tools/files/counts_summary.h"

namespace kolektor::testing {
namespace {

std::string Records(int n, const std::string& quantity) {
  std::string counts;
  for (int i = 0; i < n; ++i) counts += "INW;" + std::to_string(i) + ";" + quantity + "\r\n";
  return counts;
}

CountsSummary Summarize(const std::string& bytes) {
  EventLog log;
  FakePlatform platform(log);
  platform.files["imp"] = bytes;
  auto counts = platform.Open("imp", OpenMode::kRead);
  return SummarizeCounts(*counts);
}

TEST(ReadSummary, PositionsAgreeAndTheTotalIsExact) {
  const struct Case {
    std::string counts;
    std::string text;
  } cases[] = {
      {"INW;5901234123457;57500\r\n", "Odczytano 1 pozycję, łącznie 57,5"},
      {Records(2, "01000"), "Odczytano 2 pozycje, łącznie 2"},
      {Records(4, "00250"), "Odczytano 4 pozycje, łącznie 1"},
      {Records(5, "00100"), "Odczytano 5 pozycji, łącznie 0,5"},
      {Records(12, "00001"), "Odczytano 12 pozycji, łącznie 0,012"},
      {Records(14, "01010"), "Odczytano 14 pozycji, łącznie 14,14"},
      {Records(21, "00010"), "Odczytano 21 pozycji, łącznie 0,21"},
      {Records(22, "10000"), "Odczytano 22 pozycje, łącznie 220"},
      {Records(24, "00000"), "Odczytano 24 pozycje, łącznie 0"},
      {Records(112, "01000"), "Odczytano 112 pozycji, łącznie 112"},
      {Records(102, "01000"), "Odczytano 102 pozycje, łącznie 102"},
      // A code may hold ";"; negative counts subtract.
      {"INW;a;b;-0500\r\nINW;;00250\r\n", "Odczytano 2 pozycje, łącznie -0,25"},
      // Beyond 32 bits, to the thousandth.
      {Records(3, "2147483647"), "Odczytano 3 pozycje, łącznie 6442450,941"},
      {Records(2, "-2147483648"), "Odczytano 2 pozycje, łącznie -4294967,296"},
      // A line cut short is no position.
      {"INW;1;02000\r\nINW;2;03", "Odczytano 1 pozycję, łącznie 2"},
  };
  for (const Case& c : cases) {
    const CountsSummary summary = Summarize(c.counts);
    EXPECT_EQ(CountsSummaryText(summary), c.text) << c.counts.substr(0, 40);
    EXPECT_FALSE(NothingRead(summary));
  }
}

TEST(ReadSummary, NothingReadIsAWarningThatSaysWhatToCheck) {
  for (const std::string& counts : {std::string(), std::string("\r\n")}) {
    const CountsSummary summary = Summarize(counts);
    EXPECT_TRUE(NothingRead(summary));
    const std::string text = CountsSummaryText(summary);
    EXPECT_EQ(text.rfind("Odczyt nie przyniósł żadnej pozycji: ", 0), 0u) << text;
    EXPECT_NE(text.find("2.WYSLIJ DO ZRB"), std::string::npos) << text;
  }
  EventLog log;
  FakePlatform platform(log);
  platform.files["imp"] = "INW;1;01000\r\n";
  platform.FailAt("read", 1);
  auto counts = platform.Open("imp", OpenMode::kRead);
  const CountsSummary unread = SummarizeCounts(*counts);
  EXPECT_TRUE(unread.read_error);
  EXPECT_FALSE(NothingRead(unread)) << "an unreadable file is not an empty read";
}

TEST(ReadSummary, JournalMarksEmptyBlocks) {
  EventLog log;
  FakePlatform platform(log);
  const std::string header = "\r\n------------ [IMPORT WYKONANY DNIA: 2026-12-07 09:0";
  platform.files["Inwent.bak"] = header + "5:03] ------------\r\nINW;1;02000\r\n" + header +
                                 "6:00] ------------\r\n" + header +
                                 "7:00] ------------\r\nINW;2;01000\r\n";
  std::string out;
  const auto collect = [&](const std::string& utf8) { out += utf8; };
  EXPECT_EQ(zrbhost::JournalList(platform, "Inwent.bak", zrbhost::Printer{collect, collect}), 0);
  std::vector<std::string> rows;
  for (std::size_t at = 0, end; (end = out.find('\n', at)) != std::string::npos; at = end + 1)
    rows.push_back(out.substr(at, end - at));
  ASSERT_GE(rows.size(), 5u) << out;
  for (int block = 1; block <= 3; ++block) {
    const bool marked = rows[static_cast<std::size_t>(block) + 1].find(
                            "<- pusty: odczyt nie przyniósł żadnej pozycji") != std::string::npos;
    EXPECT_EQ(marked, block == 2) << rows[static_cast<std::size_t>(block) + 1];
  }
}

// The file's role and the system's number; zrbhost puts Windows' reason in
// words beside the number when it prints (a Windows test shows it).
TEST(FileErrors, SayWhatTheFileIsAndTheSystemsNumber) {
  const struct Case {
    const char* name;
    std::string path;
    bool unopenable;
    std::uint32_t code;  // a fault's own code; 0: none injected
    std::string said;
  } cases[] = {
      {"missing", "C:\\DANE\\nie_ma.txt", false, 0,
       "nie można otworzyć pliku towarów C:\\DANE\\nie_ma.txt (błąd systemu 2)\n"},
      {"refused", "C:\\DANE\\exp.txt", true, 0,
       "nie można otworzyć pliku towarów C:\\DANE\\exp.txt (błąd systemu 5)\n"},
      {"another cause", "exp", false, 1117,
       "nie można otworzyć pliku towarów exp (błąd systemu 1117)\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EventLog log;
    FakePlatform platform(log);
    if (c.unopenable) platform.unopenable.insert(c.path);
    if (c.code != 0) {
      platform.files[c.path] = "TOW;1;a;1;1;1;1\r\n";
      platform.fault_error = c.code;
      platform.FailAt("open", 1);
    }
    std::string out, errors;
    const zrbhost::Printer print{[&](const std::string& s) { out += s; },
                                 [&](const std::string& s) { errors += s; }};
    EXPECT_EQ(zrbhost::Check(platform, c.path, kPriceSale, 13, print), 2);
    EXPECT_EQ(errors, c.said);
    EXPECT_EQ(out, "");
  }
}

}  // namespace
}  // namespace kolektor::testing
