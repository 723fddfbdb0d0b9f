// Every platform call of a full export and a full import made to fail in
// turn: exactly one error with the result 0 (or success when the fault
// cannot matter), the goods file unchanged, the host's counts file
// untouched until the data file was read, a downloaded a.dat kept whenever
// the import fails, the journal never left with a cut block, nothing left
// open; and the same outcome with the support trace on. Then the same
// calls meet a file held for a moment by another program instead, and are
// waited for.
#include <gtest/gtest.h>

#include "base/held_files.h"
#include "base/texts.h"
#include "import/journal.h"
#include "plugin/plugin_api.h"
#include "tests/native/test_host.h"

namespace kolektor::testing {
namespace {

const std::string kGoodsPath = "C:\\DANE\\exp.txt";
const std::string kGoods = "TOW;1;Chleb;100;150;2000;5\r\nTOW;2;Mleko;200;250;1000;5\r\n";
const std::string kLookup = "1,Chleb,1.50,2.000\r\n2,Mleko,2.50,1.000\r\n";

struct ExportCase : Till {
  ExportCase() {
    platform.read_chunk = 16;
    platform.files[kGoodsPath] = kGoods;
  }
};

// Runs `c` with the nth call of `operation` failing, and `traced` the same
// way with the support trace on, and checks what holds whatever fails:
// tracing changes nothing, one error exactly when the result is 0, each
// error explained and the host's last word. Returns the result.
HostWord RunFailing(Till& c, Till& traced, const char* operation, int nth,
                    const std::function<HostWord(Till&)>& run) {
  c.platform.FailAt(operation, nth);
  const HostWord result = run(c);
  traced.platform.trace_on = true;
  traced.platform.FailAt(operation, nth);
  EXPECT_EQ(run(traced), result);
  EXPECT_EQ(traced.platform.files, c.platform.files);
  EXPECT_EQ(traced.log, c.log);
  EXPECT_FALSE(traced.platform.trace.empty());
  EXPECT_EQ(c.host.errors.size(), result == 1 ? 0u : 1u);
  for (const std::string& e : c.host.errors) EXPECT_NE(text::Explain(e), nullptr) << e;
  if (result == 0) EXPECT_EQ(LastHostCall(c.log), "error " + c.host.errors.at(0));
  return result;
}

TEST(FaultMatrix, Export) {
  ExportCase clean;
  ASSERT_EQ(clean.Export(kGoodsPath.c_str()), 1);
  int cases = 0;
  for (const char* operation : FakePlatform::kOperations) {
    for (int nth = 1; nth <= clean.platform.Calls(operation); ++nth, ++cases) {
      SCOPED_TRACE(std::string(operation) + " #" + std::to_string(nth));
      ExportCase c, traced;
      const HostWord result = RunFailing(c, traced, operation, nth,
                                         [](Till& t) { return t.Export(kGoodsPath.c_str()); });
      if (result == 1) {
        EXPECT_EQ(c.platform.files["C:\\DANE\\a"], kLookup);
        EXPECT_EQ(c.platform.starts.size(), 1u);
      } else {
        EXPECT_TRUE(c.platform.starts.empty() || std::string(operation) == "start");
      }
      EXPECT_EQ(c.platform.files[kGoodsPath], kGoods);
      EXPECT_EQ(c.platform.OpenFiles(), 0);
      EXPECT_EQ(c.platform.open_children, 0);
    }
  }
  EXPECT_GE(cases, 10);
  std::printf("export fault matrix: %d calls failed in turn\n", cases);
}

const std::string kCounts = "C:\\DANE\\INW\\imp.txt";
const std::string kData = "C:\\DANE\\a.dat";
const std::string kJournal = "C:\\DANE\\Inwent.bak";
const std::string kDownload = "1,2\r\n2,0.5\r\n";
const std::string kCountsFile = "INW;1;02000\r\nINW;2;00500\r\n";
const std::string kEarlierData = "9,9\r\n";  // a failed import's counts
const std::string kKept = kData + ".20261207-090503";

struct ImportCase : Till {
  explicit ImportCase(std::uint32_t exit_code) {
    platform.read_chunk = 8;
    platform.files[kCounts] = "host's counts";
    platform.files[kJournal] = "earlier\r\n";
    platform.files[kData] = kEarlierData;
    platform.child.running_queries = 2;
    // A utility that reports a failure but delivered whole records: still
    // a success, after a look at how the data file ends.
    platform.child.exit_code = exit_code;
    download = kDownload;
  }
};

TEST(FaultMatrix, Import) {
  int cases = 0;
  for (const std::uint32_t exit_code : {0u, 1u}) {
    ImportCase clean(exit_code);
    ASSERT_EQ(clean.Import(kCounts.c_str()), 1);
    const std::string full_journal = clean.platform.files[kJournal];
    for (const char* operation : FakePlatform::kOperations) {
      for (int nth = 1; nth <= clean.platform.Calls(operation); ++nth, ++cases) {
        SCOPED_TRACE(std::string(operation) + " #" + std::to_string(nth) + ", exit code " +
                     std::to_string(exit_code));
        ImportCase c(exit_code), traced(exit_code);
        const HostWord result = RunFailing(c, traced, operation, nth,
                                           [](Till& t) { return t.Import(kCounts.c_str()); });
        const bool record = c.platform.files.count(AppendRecordPath(kJournal)) != 0;
        if (result == 1) {
          EXPECT_EQ(c.platform.files[kCounts], kCountsFile);
          EXPECT_EQ(c.platform.files[kJournal], full_journal);
          EXPECT_FALSE(record);
          // A data file that could not be deleted after success stays; the
          // next import moves it aside before the download. It is the last
          // file the import deletes.
          const bool final_delete =
              std::string(operation) == "remove" && nth == clean.platform.Calls("remove");
          EXPECT_EQ(c.platform.files.count(kData), final_delete ? 1u : 0u);
        } else {
          if (c.downloads > 0) EXPECT_EQ(c.platform.files[kData], kDownload) << "a.dat kept";
          const bool counts_opened =
              std::find(c.log.begin(), c.log.end(), "open write " + kCounts) != c.log.end();
          if (!counts_opened) EXPECT_EQ(c.platform.files[kCounts], "host's counts");
          // No cut block: as before, or its record stays for the next
          // import to cut it back.
          if (record) {
            c.platform.FailAt(operation, 0);
            EXPECT_EQ(RepairJournal(c.platform, kJournal, nullptr), JournalRepair::kRepaired);
          }
          EXPECT_EQ(c.platform.files[kJournal], "earlier\r\n");
        }
        // The earlier a.dat is never lost: kept aside, or left where it was.
        const bool kept = c.platform.files.count(kKept) != 0;
        EXPECT_EQ(kept ? c.platform.files[kKept] : c.platform.files[kData], kEarlierData);
        EXPECT_TRUE(c.platform.locks.empty());
        EXPECT_EQ(c.platform.OpenFiles(), 0);
        EXPECT_EQ(c.platform.open_children, 0);
      }
    }
  }
  EXPECT_GE(cases, 20);
  std::printf("import fault matrix: %d calls failed in turn\n", cases);
}

// A virus scanner or an indexer holding a file for a moment: every open,
// move and delete that meets a sharing violation once is waited for, and
// the operation ends as if nothing had happened; the trace says so.
TEST(FaultMatrix, FilesHeldForAMomentAreWaitedFor) {
  int cases = 0;
  for (const bool import : {false, true}) {
    ExportCase clean_export;
    ImportCase clean_import(0);
    auto run = [import](Till& till) {
      return import ? till.Import(kCounts.c_str()) : till.Export(kGoodsPath.c_str());
    };
    FakePlatform& clean = import ? clean_import.platform : clean_export.platform;
    ASSERT_EQ(run(import ? static_cast<Till&>(clean_import) : clean_export), 1);
    for (const char* operation : {"open", "move", "remove"}) {
      for (int nth = 1; nth <= clean.Calls(operation); ++nth, ++cases) {
        SCOPED_TRACE(std::string(import ? "import " : "export ") + operation + " #" +
                     std::to_string(nth));
        ExportCase e;
        ImportCase i(0);
        Till& till = import ? static_cast<Till&>(i) : e;
        FakePlatform& p = till.platform;
        p.trace_on = true;
        p.fault_error = kErrorSharingViolation;
        p.FailAt(operation, nth);
        EXPECT_EQ(run(till), 1);
        EXPECT_EQ(p.files, clean.files);
        EXPECT_EQ(p.clock_ms, clean.clock_ms + kHeldWaitStep) << "one wait of the first step";
        bool traced = false;
        for (const std::string& line : p.trace)
          traced = traced || line.find(
                                 "held by another program (system error 32), waiting 36 "
                                 "ms") != std::string::npos;
        EXPECT_TRUE(traced);
      }
    }
  }
  EXPECT_GE(cases, 10);
}

}  // namespace
}  // namespace kolektor::testing
