// zrbhost's file tools: the journal read back and a block written out
// again, a data file converted as the import converts it, the goods-file
// warnings, and the stock report.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "base/held_files.h"
#include "base/settings_table.h"
#include "host/zrbhost_files.h"
#include "import/data_conversion.h"
#include "import/journal.h"
#include "tests/corpus/corpus_runner.h"
#include "tests/native/test_host.h"
#include "tools/files/goods_warnings.h"
#include "tools/files/journal_tool.h"
#include "tools/files/stdio_platform.h"
#include "tools/files/stock_report.h"

namespace kolektor::testing {
namespace {

TEST(Tools, JournalListsBlocksFlagsDoublesAndGivesABlockBack) {
  EventLog log;
  FakePlatform platform(log);
  platform.files["Inwent.bak"] = "earlier\r\n";
  // Three imports: the second repeats the first on the same day, the
  // third is another day's with other counts.
  const std::string first = "INW;5901234123457;12000\r\nINW;12;-0500\r\nINW;;03000\r\n";
  const std::string third = "INW;7;01000\r\n";
  const struct {
    std::string counts;
    LocalTime when;
  } imports[] = {{first, {2026, 12, 7, 9, 5, 3}},
                 {first, {2026, 12, 7, 9, 6, 40}},
                 {third, {2026, 12, 8, 10, 0, 0}}};
  for (const auto& i : imports) {
    platform.files["imp"] = i.counts;
    platform.now = i.when;
    ASSERT_TRUE(TJournalTools().Append(platform, "imp", "Inwent.bak", JournalDirection::kImport));
  }

  std::vector<JournalBlock> blocks;
  auto journal = platform.Open("Inwent.bak", OpenMode::kRead);
  const JournalSummary summary =
      ListJournal(*journal, [&](const JournalBlock& b) { blocks.push_back(b); });
  EXPECT_EQ(summary.blocks, 3u);
  EXPECT_EQ(summary.lines_outside, 1u);
  ASSERT_EQ(blocks.size(), 3u);
  EXPECT_EQ(blocks[0].date, "2026-12-07 09:05:03");
  EXPECT_EQ(blocks[0].records, 3u);
  EXPECT_EQ(blocks[0].total, 12000 - 500 + 3000);
  EXPECT_EQ(blocks[0].same_as, 0u);
  EXPECT_EQ(blocks[1].same_as, 1u) << "a probable double import";
  EXPECT_EQ(blocks[2].same_as, 0u);
  EXPECT_EQ(blocks[2].date, "2026-12-08 10:00:00");

  for (std::uint64_t n : {1, 3}) {
    journal = platform.Open("Inwent.bak", OpenMode::kRead);
    auto out = platform.Open("again", OpenMode::kWriteTruncate);
    EXPECT_EQ(ExtractBlock(*journal, n, *out), ExtractResult::kDone);
    EXPECT_EQ(platform.files["again"], n == 1 ? first : third) << "byte for byte";
  }
  journal = platform.Open("Inwent.bak", OpenMode::kRead);
  auto out = platform.Open("none", OpenMode::kWriteTruncate);
  EXPECT_EQ(ExtractBlock(*journal, 4, *out), ExtractResult::kNoBlock);
}

// zrbhost journal, on real files, with a block whose writing was cut
// short: after an append killed midway (its record beside the journal),
// one killed inside its header, and one cut by an earlier version (the
// next header right after a cut line). The block is flagged, --extract
// refuses it and leaves the counts file alone, --unfinished writes its
// whole lines only; the other blocks come out as ever.
TEST(Tools, UnfinishedBlocksAreFlaggedAndExtractedOnlyWhenAsked) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("kolektor-tools-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const std::string journal = (dir / "Inwent.bak").string();
  const std::string counts = (dir / "imp.txt").string();
  const std::string first =
      "\r\n------------ [IMPORT WYKONANY DNIA: 2026-12-07 09:05:03] ------------\r\n"
      "INW;1;02000\r\n";
  const std::string second_header =
      "\r\n------------ [IMPORT WYKONANY DNIA: 2026-12-07 09:06:00] ------------\r\n";
  const std::string record = std::to_string(first.size()) + "\r\n";
  struct Case {
    const char* name;
    std::string journal, record;
    std::string unfinished, finished;  // block numbers
    std::string whole_lines, finished_lines;
  } cases[] = {
      {"append killed", first + second_header + "INW;2;03000\r\nINW;3;04", record, "2", "1",
       "INW;2;03000\r\n", "INW;1;02000\r\n"},
      {"header cut", first + second_header.substr(0, 30), record, "2", "1", "", "INW;1;02000\r\n"},
      {"cut by an earlier version",
       first.substr(0, first.size() - 4) + second_header + "INW;2;03000\r\n", "", "1", "2", "",
       "INW;2;03000\r\n"},
  };
  StdioPlatform files;
  auto write = [](const std::string& path, const std::string& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    write(journal, c.journal);
    fs::remove(journal + ".append");
    fs::remove(counts);
    if (!c.record.empty()) write(journal + ".append", c.record);
    std::string out;
    const auto collect = [&](const std::string& utf8) { out += utf8; };
    const zrbhost::Printer print{collect, collect};
    EXPECT_EQ(zrbhost::JournalList(files, journal, print), 0);
    // One block flagged: the one cut short.
    EXPECT_EQ(out.find("<- niedokończony"), out.rfind("<- niedokończony")) << out;
    const std::size_t row = out.find("     " + c.unfinished + "  import");
    ASSERT_NE(row, std::string::npos) << out;
    EXPECT_NE(out.substr(row, out.find('\n', row) - row).find("<- niedokończony"),
              std::string::npos)
        << out;
    EXPECT_EQ(out.find("następny odczyt") != std::string::npos, !c.record.empty()) << out;

    out.clear();
    EXPECT_EQ(zrbhost::JournalExtract(files, journal, c.unfinished, counts, print), 1);
    EXPECT_NE(out.find("jest niedokończony"), std::string::npos) << out;
    EXPECT_FALSE(fs::exists(counts));
    EXPECT_EQ(zrbhost::JournalExtract(files, journal, c.unfinished, counts, print, true), 0) << out;
    EXPECT_EQ(corpus::ReadAll(counts), c.whole_lines);
    EXPECT_EQ(zrbhost::JournalExtract(files, journal, c.finished, counts, print), 0) << out;
    EXPECT_EQ(corpus::ReadAll(counts), c.finished_lines);
  }
  fs::remove_all(dir);
}

// zrbhost convert gives what the import gives, but for a copy cut inside a
// record, which the import refuses as a cut download: convert recovers its
// whole records, as the import's conversion reads them.
TEST(Tools, ConvertGivesWhatTheImportGives) {
  int cut = 0;
  corpus::RunCorpus(KOLEKTOR_CORPUS_DIR, "data", [&cut](const corpus::Case& c) {
    EventLog log;
    FakePlatform platform(log);
    platform.files["a.dat"] = c.input;
    auto data = platform.Open("a.dat", OpenMode::kRead);
    auto counts = platform.Open("imp", OpenMode::kWriteTruncate);
    std::vector<std::string> errors;
    const bool ok = zrbhost::ConvertData(*data, *counts, errors);
    const std::string got = corpus::Format(ok ? 1 : 0, errors, platform.files["imp"]);
    if (FindDataEnd(*platform.Open("a.dat", OpenMode::kRead)) != DataEnd::kInsideRecord)
      return corpus::Outcome{got, ""};
    ++cut;
    TestHost host(log);
    const bool whole = ConvertDataFile(platform, "a.dat", "whole", HostLink(*host.instance(), 1));
    const std::string recovered =
        corpus::Format(whole ? 1 : 0, host.errors, platform.files["whole"]);
    const std::string golden =
        corpus::ReadAll(std::filesystem::path(c.file).replace_extension(".expected").string());
    return corpus::Outcome{golden, got == recovered ? "" : "convert gave " + got};
  });
  EXPECT_EQ(cut, 1) << "last_record_without_cr.dat";
}

// zrbhost's commands meet the till's files as the plug-in does: a file that
// another program (a virus scanner, a backup) holds for a moment is waited
// for, and the command ends as if the file had been free.
TEST(Tools, CommandsWaitForAFileHeldForAMoment) {
  using Command = std::function<int(Platform&, const zrbhost::Printer&)>;
  const struct {
    const char* name;
    Command run;
  } commands[] = {
      {"check",
       [](Platform& p, const zrbhost::Printer& out) {
         return zrbhost::Check(p, "exp", kPriceSale, 13, out);
       }},
      {"journal",
       [](Platform& p, const zrbhost::Printer& out) {
         return zrbhost::JournalList(p, "Inwent.bak", out);
       }},
      {"journal --extract",
       [](Platform& p, const zrbhost::Printer& out) {
         return zrbhost::JournalExtract(p, "Inwent.bak", "1", "imp", out);
       }},
      {"convert",
       [](Platform& p, const zrbhost::Printer& out) {
         return zrbhost::Convert(p, "a.dat", "imp", out);
       }},
      {"report",
       [](Platform& p, const zrbhost::Printer& out) {
         return zrbhost::Report(p, "exp", "counts", "raport.csv", out);
       }},
  };
  auto till = [](FakePlatform& p) {
    p.files["exp"] = "TOW;1;a;100;150;2000;5\r\n";
    p.files["Inwent.bak"] =
        "\r\n------------ [IMPORT WYKONANY DNIA: 2026-12-07 09:05:03] ------------\r\n"
        "INW;1;02000\r\n";
    p.files["a.dat"] = "1,2\r\n";
    p.files["counts"] = "INW;1;02000\r\n";
  };
  for (const auto& command : commands) {
    EventLog clean_log;
    FakePlatform clean(clean_log);
    till(clean);
    std::string clean_out;
    const auto collect = [](std::string& into) {
      return zrbhost::Printer{[&into](const std::string& s) { into += s; },
                              [&into](const std::string& s) { into += s; }};
    };
    const int clean_code = command.run(clean, collect(clean_out));
    ASSERT_NE(clean_code, 2) << command.name << ": " << clean_out;
    for (int nth = 1; nth <= clean.Calls("open"); ++nth) {
      SCOPED_TRACE(std::string(command.name) + ", open #" + std::to_string(nth) + " held");
      EventLog log;
      FakePlatform held(log);
      till(held);
      held.fault_error = kErrorSharingViolation;
      held.FailAt("open", nth);
      std::string out;
      EXPECT_EQ(command.run(held, collect(out)), clean_code);
      EXPECT_EQ(out, clean_out);
      EXPECT_EQ(held.files, clean.files);
      EXPECT_EQ(held.clock_ms, clean.clock_ms + kHeldWaitStep) << "one wait of the first step";
    }
  }
}

TEST(Tools, EachGoodsWarningOnAFileOfItsOwn) {
  struct Case {
    std::string bytes;
    GoodsWarning kind;
    std::uint64_t line;
    std::string begins;  // of the text the user reads
  } cases[] = {
      {"\xEF\xBB\xBFTOW;1;a;1;1;1;1\r\n", GoodsWarning::kByteOrderMark, 1, "plik zaczyna się"},
      {"TOW;1;Mąka;1;1;1;1\r\nTOW;2;Łódź;1;1;1;1\r\n", GoodsWarning::kUtf8, 1,
       "plik jest zapisany w UTF-8"},
      {"TOW;1;a;1;1;1;1\r\nTOW;2;b;1;1;1;1\nTOW;3;c;1;1;1;1\r\n", GoodsWarning::kLfOnly, 2,
       "wiersze kończą się samym znakiem LF (takich końców: 1)"},
      {"TOW;1;a;1;1;1;1\r\nTOW;2;b;1;1;1;1", GoodsWarning::kUnfinishedLastLine, 2,
       "ostatni wiersz"},
      {"TOW;59012341234578;a;1;1;1;1\r\n", GoodsWarning::kCodeCut, 1,
       "kod 59012341234578 ma więcej niż 13 znaków (długość: 14), a do terminala trafi tylko "
       "pierwszych 13"},
      {"TOW;1,2;a;1;1;1;1\r\n", GoodsWarning::kCommaInCode, 1, "kod 1,2 zawiera przecinek"},
      {"TOW;7;a;1;1;1;1\r\nTOW;8;b;1;1;1;1\r\nTOW;7;c;1;1;1;1\r\n", GoodsWarning::kCodeTwice, 3,
       "kod 7 był już w wierszu 1"},
      {"TOW;1;a;100;5,49;1;1\r\n", GoodsWarning::kDecimalInPrice, 1,
       "cena sprzedaży \"5,49\" ma przecinek"},
      {"TOW;1;a;1;1;1.5;1\r\n", GoodsWarning::kDecimalInQuantity, 1, "ilość \"1.5\" ma"},
      {"", GoodsWarning::kEmptyFile, 0, "plik jest pusty"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bytes);
    EventLog log;
    FakePlatform platform(log);
    const bool raw = c.kind == GoodsWarning::kUtf8 || c.kind == GoodsWarning::kByteOrderMark;
    platform.files["exp"] = raw ? c.bytes : Cp1250(c.bytes);
    auto goods = platform.Open("exp", OpenMode::kRead);
    std::vector<GoodsWarningFound> found;
    ASSERT_TRUE(FindGoodsWarnings(*goods, GoodsOptions{},
                                  [&](const GoodsWarningFound& w) { found.push_back(w); }));
    std::string listing;
    for (const GoodsWarningFound& w : found) listing += GoodsWarningText(w, GoodsOptions{}) + "\n";
    ASSERT_EQ(found.size(), 1u) << listing;
    EXPECT_EQ(found[0].kind, c.kind);
    EXPECT_EQ(found[0].line, c.line);
    EXPECT_EQ(GoodsWarningText(found[0], GoodsOptions{}).rfind(c.begins, 0), 0u)
        << GoodsWarningText(found[0], GoodsOptions{});
  }
  // A Windows-1250 file of Polish names warns of nothing.
  EventLog log;
  FakePlatform platform(log);
  platform.files["exp"] = Cp1250("TOW;1;CIĘŻARÓWKA;1;1;1;1\r\nTOW;2;Mąka żytnia;1;1;1;1\r\n");
  auto goods = platform.Open("exp", OpenMode::kRead);
  int warnings = 0;
  FindGoodsWarnings(*goods, GoodsOptions{}, [&](const GoodsWarningFound&) { ++warnings; });
  EXPECT_EQ(warnings, 0);
}

TEST(Tools, StockReportHasEveryCategory) {
  EventLog log;
  FakePlatform platform(log);
  platform.files["exp"] = Cp1250(
      "TOW;1;Chleb żytni;100;150;2000;5\r\n"     // counted equal
      "TOW;2;Mleko;200;250;1000;5\r\n"           // counted, a difference
      "TOW;3;Masło \"Extra\";300;350;500;5\r\n"  // not counted
  );
  platform.files["imp"] = "INW;1;01500\r\nINW;1;00500\r\nINW;2;02500\r\nINW;9;00100\r\n";
  auto goods = platform.Open("exp", OpenMode::kRead);
  auto counts = platform.Open("imp", OpenMode::kRead);
  StockReport report;
  ASSERT_TRUE(BuildStockReport(*goods, *counts, report));
  EXPECT_EQ(StockReportCsv(report),
            "\xEF\xBB\xBF\"kod\";\"nazwa\";\"stan w pliku towarów\";\"policzono\";\"różnica\";"
            "\"uwagi\"\r\n"
            "\"1\";\"Chleb żytni\";2,000;2,000;0,000;\"zgodne\"\r\n"
            "\"2\";\"Mleko\";1,000;2,500;1,500;\"różnica\"\r\n"
            "\"3\";\"Masło \"\"Extra\"\"\";0,500;;-0,500;\"niepoliczony\"\r\n"
            "\"9\";\"\";;0,100;0,100;\"policzony, brak w pliku towarów\"\r\n");
  EXPECT_EQ(StockReportSummary(report),
            "Towarów w pliku towarów: 3, policzonych kodów: 3.\n"
            "Zgodnych: 1, z różnicą: 1, niepoliczonych: 1.\n"
            "Policzonych spoza pliku towarów: 1.\n");
}

}  // namespace
}  // namespace kolektor::testing
