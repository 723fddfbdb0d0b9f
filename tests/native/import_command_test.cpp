// The import step: callbacks, pauses, message boxes, the download's
// supervision and time limits, and what every failure leaves behind.
#include "import/import_command.h"

#include <gtest/gtest.h>

#include "base/folder_path.h"
#include "base/settings_table.h"
#include "import/journal.h"
#include "plugin/plugin_api.h"
#include "tests/native/test_host.h"

namespace kolektor::testing {
namespace {

const std::string kCounts = "C:\\DANE\\INW\\imp.txt";
const std::string kData = "C:\\DANE\\a.dat";
const std::string kJournal = "C:\\DANE\\Inwent.bak";
const std::string kLock = "C:\\DANE\\kolektor.lock";
const std::string kKept = "C:\\DANE\\a.dat.20261207-090503";
const std::string kRecord = "C:\\DANE\\kolektor.pid";
// The longest folder an import takes: with "\\a.dat.YYYYMMDD-HHMMSS-99"
// 259 characters. One more is too long.
const std::string kLongestDir = "C:\\" + std::string(231, 'd');
const std::string kTooLongDir = kLongestDir + "d";

struct ImportRun : Till {
  ImportRun() { download = "5901234123457,12\r\n12,0.5\r\n"; }
  HostWord Run(const std::string& counts = kCounts) { return Import(counts.c_str(), 9); }
};

TEST(Import, SuccessInOrder) {
  ImportRun r;
  r.host.params["port"] = "1";
  r.host.params["baud"] = "9600";
  r.platform.files[kData] = "old data";
  r.platform.child.running_queries = 3;
  EXPECT_EQ(r.Run(), 1);
  const std::string cmd = "IR_READ2.EXE a.dat,1,5,1,1,1,1,0";
  const EventLog expected = {
      "status \nTransakcja w toku...",
      "sleep 1000",
      "param port",
      "param baud",
      "param timeout",
      "lock " + kLock,
      // Are the earlier a.dat's counts the journal's last block? It ends
      // inside a record: it was never imported.
      "open read " + kData,
      "close " + kData,
      "move " + kData + " -> " + kKept,
      "sleep 1000",
      "box sciezka_a: " + kData,
      "box sciezka_bak: " + kJournal,
      "box download: " + cmd,
      "box invent_dir: C:\\DANE",
      "box sciezka: " + kCounts,
      // Who starts the utility, and then the utility itself, are on the
      // disk before it is tied to the host and resumed.
      "open write " + kRecord,
      "flush " + kRecord,
      "start " + cmd + " in C:\\DANE",
      "flush " + kRecord,
      "sleep 0",
      // The job ends what the utility left running only after the pause:
      // a helper of the utility may still be writing a.dat.
      "sleep 5000",
      "close_child",
      "close " + kRecord,
      "delete " + kRecord,
      "open read " + kData,
      "open write " + kCounts,
      "close " + kData,
      "close " + kCounts,
      "open read " + kCounts,
      "open append " + kJournal,
      // The journal's size before the append is on the disk before the
      // journal is touched, and goes only once the block is there too.
      "open write " + kJournal + ".append",
      "flush " + kJournal + ".append",
      "close " + kJournal + ".append",
      "flush " + kJournal,
      "close " + kCounts,
      "close " + kJournal,
      "delete " + kJournal + ".append",
      "delete " + kData,
      "unlock",
  };
  EXPECT_EQ(r.log, expected);
  EXPECT_EQ(r.platform.files[kKept], "old data") << "the earlier a.dat is kept aside";
  EXPECT_EQ(r.platform.files[kCounts], "INW;5901234123457;12000\r\nINW;12;00500\r\n");
  EXPECT_EQ(r.platform.files[kJournal],
            "\r\n------------ [IMPORT WYKONANY DNIA: 2026-12-07 09:05:03] ------------\r\n"
            "INW;5901234123457;12000\r\nINW;12;00500\r\n");
  EXPECT_EQ(r.platform.files.count(kData), 0u);
  EXPECT_EQ(r.platform.starts.at(0).window, WindowState::kMinimizedInactive);
  // 1 s + 1 s + three polls of 100 ms + 5 s.
  EXPECT_EQ(r.platform.clock_ms, 7300u);
  EXPECT_FALSE(r.platform.terminated);
  EXPECT_EQ(r.platform.open_children, 0);
  for (HostWord handle : r.host.handles_seen) EXPECT_EQ(handle, 9);
}

TEST(Import, CommandLines) {
  struct Case {
    std::string port, baud, command;
  } cases[] = {
      {"COM1", "9600", "IR_READ2.EXE a.dat,1,5,1,1,1,1,0"},
      {"COM2", "115200", "IR_READ2.EXE a.dat,2,1,1,1,1,1,0"},
      {"COM3", "57600", "IR_READ2.EXE a.dat,3,2,1,1,1,1,0"},
      {"COM4", "38400", "IR_READ2.EXE a.dat,4,3,1,1,1,1,0"},
      {"17", "19200", "IR_READ2.EXE a.dat,17,4,1,1,1,1,0"},
      {"COM10", "4800", "IR_READ2.EXE a.dat,COM10,"},
      {"", "", "IR_READ2.EXE a.dat,,"},
  };
  for (const Case& c : cases) {
    ImportRun r;
    r.host.params["port"] = c.port;
    r.host.params["baud"] = c.baud;
    EXPECT_EQ(r.Run(), 1);
    EXPECT_EQ(r.platform.starts.at(0).command_line, c.command);
  }
}

TEST(Import, InventDir) {
  struct Case {
    std::string counts;
    bool ok;
    std::string dir;
  } cases[] = {
      {"C:\\DANE\\INW\\imp.txt", true, "C:\\DANE"},
      {"C:\\A\\B\\C\\imp.txt", true, "C:\\A\\B"},
      // A drive or a share alone is its root, not the current folder there.
      {"C:\\INW\\imp.txt", true, "C:\\"},
      {"\\\\srv\\dane\\INW\\imp.txt", true, "\\\\srv\\dane\\"},
      {"\\\\srv\\dane\\x\\INW\\imp.txt", true, "\\\\srv\\dane\\x"},
      {"\\INW\\imp.txt", true, ""},
      {"C:\\imp.txt", false, ""},
      {"imp.txt", false, ""},
      {"", false, ""},
      {"C:\\DANE\\INW\\", true, "C:\\DANE"},
  };
  for (const Case& c : cases) {
    std::string dir = "unchanged";
    EXPECT_EQ(InventDir(c.counts, dir), c.ok) << c.counts;
    if (c.ok) EXPECT_EQ(dir, c.dir) << c.counts;
  }
}

TEST(Import, TickLimitsReachedExactly) {
  struct Case {
    const char* timeout;
    std::uint32_t ticks;
  } cases[] = {{"1 min", 600},      {"2 min", 1200},   {"5 min", 3000},   {"10 min", 6000},
               {"15 min", 9000},    {"30 min", 18000}, {"60 min", 36000}, {"120 min", 72000},
               {"600 min", 360000}, {"", 3000},        {"3 min", 3000},   {"1 MIN", 3000}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.timeout);
    EXPECT_EQ(TickLimit(c.timeout), c.ticks);
    ImportRun r;
    r.host.params["timeout"] = c.timeout;
    r.platform.child.running_queries = -1;  // never ends
    r.platform.files[kCounts] = "host's counts";
    EXPECT_EQ(r.Run(), 0);
    EXPECT_TRUE(r.platform.terminated);
    EXPECT_EQ(r.host.errors,
              std::vector<std::string>{Cp1250("Nie udało się nawiązac połączenia!")});
    // The first query, then one per poll.
    EXPECT_EQ(r.platform.polls, c.ticks + 1u);
    EXPECT_EQ(r.platform.clock_ms, 2000u + 100u * c.ticks);
    EXPECT_EQ(r.platform.files[kCounts], "host's counts");
    EXPECT_EQ(r.platform.files.count(kData), 1u) << "a partial a.dat stays";
    EXPECT_EQ(r.platform.open_children, 0);
  }
}

TEST(Import, LimitBoundary) {
  struct Case {
    long running_queries;  // queries that still find it running
    bool terminated;
  } cases[] = {
      {0, false},    // ended before the first query: no poll at all
      {599, false},  // the last poll's query finds it ended
      {600, false},  // ended exactly at the limit poll: not terminated
      {601, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.running_queries);
    ImportRun r;
    r.host.params["timeout"] = "1 min";
    r.platform.child.running_queries = c.running_queries;
    EXPECT_EQ(r.Run(), c.terminated ? 0 : 1);
    EXPECT_EQ(r.platform.terminated, c.terminated);
    if (c.running_queries == 0) EXPECT_EQ(r.platform.polls, 1u);
  }
}

TEST(Import, ExitCode259IsStillRunning) {
  ImportRun r;
  r.host.params["timeout"] = "1 min";
  r.platform.child.running_queries = 0;
  r.platform.child.exit_code = kStillActive;
  EXPECT_EQ(r.Run(), 0);
  EXPECT_TRUE(r.platform.terminated);
}

TEST(Import, UnknownStatusCountsAsRunning) {
  ImportRun r;
  r.host.params["timeout"] = "1 min";
  r.platform.child.running_queries = 0;
  r.platform.FailAt("exit_status", 1);
  EXPECT_EQ(r.Run(), 1);
  EXPECT_EQ(r.platform.polls, 2u) << "one more poll, then the child is seen ended";
}

const char* kStartFailed =
    "Błąd uruchomienia driver'a (C:\\DANE\\IR_READ2.EXE a.dat,1,5,1,1,1,1,0).";

struct ImportFailure {
  const char* name;
  std::function<void(ImportRun&)> arrange;
  const char* error;   // UTF-8
  std::string counts;  // after; "host's counts" when untouched
  bool data_kept;
  std::string journal;  // after
};

TEST(Import, EveryFailureReportedOnceWithWhatItLeaves) {
  const std::string old_journal = "earlier\r\n";
  const ImportFailure cases[] = {
      {"utility missing", [](ImportRun& r) { r.platform.FailAt("start", 1); }, kStartFailed,
       "host's counts", false, old_journal},
      {"no data file", [](ImportRun& r) { r.platform.child.on_start = nullptr; },
       "Brak pliku wynikowego.", "host's counts", false, old_journal},
      {"counts not creatable", [](ImportRun& r) { r.platform.unopenable.insert(kCounts); },
       "Błąd otwarcia pliku \"imp\".", "host's counts", true, old_journal},
      {"data fault", [](ImportRun& r) { r.download = "1,2\r\n\r\n"; },
       "[6] Błąd składni pliku roboczego.", "INW;1;02000\r\n", true, old_journal},
      {"journal not openable", [](ImportRun& r) { r.platform.unopenable.insert(kJournal); },
       "Błąd zapisu do pliku roboczego.", "INW;5901234123457;12000\r\nINW;12;00500\r\n", true,
       old_journal},
      // Half of the 73-byte header reached the disk and was cut back (the
      // writes before: the utility's record, twice, and the two counts).
      {"journal write", [](ImportRun& r) { r.platform.FailAt("write", 6); },
       "Błąd zapisu do pliku roboczego.", "INW;5901234123457;12000\r\nINW;12;00500\r\n", true,
       old_journal},
  };
  for (const ImportFailure& c : cases) {
    SCOPED_TRACE(c.name);
    ImportRun r;
    r.platform.files[kCounts] = "host's counts";
    r.platform.files[kJournal] = old_journal;
    c.arrange(r);
    EXPECT_EQ(r.Run(), 0);
    EXPECT_EQ(r.host.errors, std::vector<std::string>{Cp1250(c.error)});
    EXPECT_EQ(LastHostCall(r.log), "error " + Cp1250(c.error));
    EXPECT_EQ(r.platform.files[kCounts], c.counts);
    EXPECT_EQ(r.platform.files.count(kData), c.data_kept ? 1u : 0u);
    EXPECT_EQ(r.platform.files[kJournal], c.journal);
    EXPECT_EQ(r.platform.messages.size(), 5u) << "the boxes show also before a failure";
    EXPECT_EQ(r.platform.OpenFiles(), 0);
    EXPECT_EQ(r.platform.open_children, 0);
  }
}

TEST(Import, TwoImportsTwoBlocks) {
  ImportRun r;
  ASSERT_EQ(r.Run(), 1);
  const std::string first = r.platform.files[kJournal];
  r.download = "";
  r.platform.now = LocalTime{2026, 12, 8, 10, 0, 0};
  ASSERT_EQ(r.Run(), 1);
  EXPECT_EQ(r.platform.files[kCounts], "");
  EXPECT_EQ(
      r.platform.files[kJournal],
      first + "\r\n------------ [IMPORT WYKONANY DNIA: 2026-12-08 10:00:00] ------------\r\n");
}

TEST(Import, SafeguardsStopBeforeAnythingIsMovedShownOrStarted) {
  struct Case {
    const char* name;
    std::string counts;
    std::function<void(ImportRun&)> arrange;
    std::string error;  // UTF-8
  } cases[] = {
      {"no folder for a.dat", "C:\\imp.txt", [](ImportRun&) {}, "Błąd otwarcia pliku \"imp\"."},
      {"empty folder", "\\INW\\imp.txt", [](ImportRun&) {}, "Błąd otwarcia pliku \"imp\"."},
      {"another import runs", kCounts,
       [](ImportRun& r) { r.platform.locks_elsewhere.insert(kLock); },
       "Do folderu C:\\DANE trwa już inny import (z innego stanowiska lub okna programu). "
       "Poczekaj na jego zakończenie i spróbuj ponownie."},
      {"no lock file", kCounts, [](ImportRun& r) { r.platform.FailAt("lock", 1); },
       "Nie można utworzyć pliku blokady w folderze C:\\DANE (folder nie istnieje lub brak "
       "prawa zapisu)."},
      {"a.dat open elsewhere", kCounts, [](ImportRun& r) { r.platform.unmovable.insert(kData); },
       "Nie można przenieść poprzedniego pliku C:\\DANE\\a.dat pod nową nazwę (jest otwarty w "
       "innym programie lub zablokowany). Plik pozostał bez zmian; zamknij ten program i "
       "spróbuj ponownie."},
      {"a folder or a read-only file named kolektor.lock", kCounts,
       [](ImportRun& r) { r.platform.lock_refusals[kLock] = LockResult::kBlocked; },
       "Nie można użyć pliku blokady C:\\DANE\\kolektor.lock (plik tylko do odczytu, bez prawa "
       "dostępu albo folder o tej nazwie). Usuń go i spróbuj ponownie."},
      {"lock path too long", kCounts,
       [](ImportRun& r) { r.platform.lock_refusals[kLock] = LockResult::kTooLong; },
       "Ścieżka folderu inwentaryzacji C:\\DANE jest za długa: z nazwami plików, które zakłada w "
       "nim import, przekracza 259 znaków, których nie przyjmuje Windows. Wybierz w ZRB krótszą "
       "ścieżkę pliku inwentaryzacji."},
      // The lock file would fit; a kept copy of a.dat (and the journal's
      // record) would not.
      {"folder too long for a kept a.dat", kTooLongDir + "\\INW\\imp.txt", [](ImportRun&) {},
       ("Ścieżka folderu inwentaryzacji " + kTooLongDir +
        " jest za długa: z nazwami plików, które zakłada w nim import, przekracza 259 znaków, "
        "których nie przyjmuje Windows. Wybierz w ZRB krótszą ścieżkę pliku inwentaryzacji.")},
      {"every kept name of this second taken", kCounts,
       [](ImportRun& r) {
         r.platform.files[kKept] = "1";
         for (int n = 2; n <= 99; ++n) r.platform.files[kKept + "-" + std::to_string(n)] = "n";
       },
       "Nie można przenieść poprzedniego pliku C:\\DANE\\a.dat pod nową nazwę: wszystkie nazwy "
       "a.dat.RRRRMMDD-GGMMSS z tej sekundy (do -99) są zajęte. Plik pozostał bez zmian; "
       "spróbuj ponownie za kilka sekund."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ImportRun r;
    r.platform.files[kData] = "kept counts";
    r.platform.files[kCounts] = "host's counts";
    r.platform.files[kJournal] = "earlier\r\n";
    c.arrange(r);
    const auto files_before = r.platform.files;
    EXPECT_EQ(r.Run(c.counts), 0);
    EXPECT_EQ(r.host.errors, std::vector<std::string>{Cp1250(c.error.c_str())});
    EXPECT_EQ(r.platform.files, files_before);
    EXPECT_TRUE(r.platform.messages.empty());
    EXPECT_TRUE(r.platform.starts.empty());
    EXPECT_EQ(r.platform.Calls("remove"), 0);
    EXPECT_TRUE(r.platform.locks.empty());
  }
}

// A download that ends inside a record was cut off, whatever its
// utility's exit code: nothing is taken, and the text says whether the
// utility reported an error. Line ends, blanks, NUL and Ctrl-Z after the
// last record are padding.
TEST(Import, DownloadCutInsideARecordFailsWhateverTheExitCode) {
  const std::string one = "INW;1;02000\r\n";
  const char* reported =
      "Odczyt z terminala nie powiódł się: program IR_READ2.EXE zgłosił błąd, a plik a.dat "
      "urywa się w połowie rekordu. Żadne ilości nie zostały przyjęte; powtórz odczyt.";
  const char* unreported =
      "Odczyt z terminala nie powiódł się: plik a.dat urywa się w połowie rekordu, choć "
      "program IR_READ2.EXE nie zgłosił błędu. Żadne ilości nie zostały przyjęte; powtórz "
      "odczyt.";
  struct Case {
    std::uint32_t exit_code;
    std::string download;
    const char* error;   // nullptr: converted
    std::string counts;  // after
  } cases[] = {
      {0, "1,2\r\n3,4", unreported, "host's counts"},
      {1, "1,2\r\n3,4", reported, "host's counts"},
      {7, "1,2\r\n3,", reported, "host's counts"},
      {0, "1,2\r\n3", unreported, "host's counts"},
      {0, "1,2\r\n" + std::string(600, '7'), unreported, "host's counts"},
      {1, "1,2\r\n" + std::string(600, '7'), reported, "host's counts"},
      {0, "1,2\r\n3,4 \x1A", unreported, "host's counts"},
      {0, "3,4", unreported, "host's counts"},
      {1, "1,2\r\n", nullptr, one},
      {0, "1,2\r\n", nullptr, one},
      {0, "1,2\r", nullptr, one},
      {1, "1,2\r" + std::string(600, '\n'), nullptr, one},
      {0, std::string("1,2\r\n \0\x1A\n\x1A", 10), nullptr, one},
      {0, std::string(100, '\0'), nullptr, ""},
      {0, "", nullptr, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.exit_code) + " " + c.download.substr(0, 12));
    ImportRun r;
    r.download = c.download;
    r.platform.child.exit_code = c.exit_code;
    r.platform.files[kCounts] = "host's counts";
    r.platform.files[kJournal] = "earlier\r\n";
    r.platform.trace_on = true;
    EXPECT_EQ(r.Run(), c.error == nullptr ? 1 : 0);
    EXPECT_EQ(r.platform.files[kCounts], c.counts);
    EXPECT_EQ(r.platform.OpenFiles(), 0);
    bool exit_code_traced = false;
    for (const std::string& line : r.platform.trace)
      exit_code_traced =
          exit_code_traced ||
          line.find("exit code: " + std::to_string(c.exit_code)) != std::string::npos;
    EXPECT_TRUE(exit_code_traced);
    if (c.error == nullptr) continue;
    EXPECT_EQ(r.host.errors, std::vector<std::string>{Cp1250(c.error)});
    EXPECT_EQ(r.platform.files[kData], c.download) << "a.dat kept";
    EXPECT_EQ(r.platform.files[kJournal], "earlier\r\n");
  }
}

// "X:\INW\imp.txt" on a mapped drive: a.dat, the journal, the lock and the
// utility's folder are the drive's root, never the host's current folder
// on that drive; no doubled backslash anywhere.
TEST(Import, DriveOrShareAloneMeansItsRoot) {
  for (const std::string root : {"X:\\", "\\\\srv\\dane\\"}) {
    SCOPED_TRACE(root);
    const std::string counts = root + "INW\\imp.txt";
    ImportRun r;
    r.platform.files[root + "a.dat"] = "9,9\r\n";
    EXPECT_EQ(r.Run(counts), 1);
    EXPECT_EQ(r.platform.starts.at(0).current_directory, root);
    EXPECT_EQ(r.platform.files[counts], "INW;5901234123457;12000\r\nINW;12;00500\r\n");
    EXPECT_EQ(r.platform.files.count(root + "Inwent.bak"), 1u);
    EXPECT_EQ(r.platform.files.count(root + "a.dat"), 0u);
    EXPECT_EQ(r.platform.files[root + "a.dat.20261207-090503"], "9,9\r\n");
    EXPECT_NE(std::find(r.log.begin(), r.log.end(), "lock " + root + "kolektor.lock"), r.log.end());
    const std::vector<std::pair<std::string, std::string>> boxes = {
        {"sciezka_a", root + "a.dat"},
        {"sciezka_bak", root + "Inwent.bak"},
        {"download", "IR_READ2.EXE a.dat,1,5,1,1,1,1,0"},
        {"invent_dir", root},
        {"sciezka", counts}};
    EXPECT_EQ(r.platform.messages, boxes);

    ImportRun failed;
    failed.platform.FailAt("start", 1);
    EXPECT_EQ(failed.Run(counts), 0);
    EXPECT_EQ(failed.host.errors,
              std::vector<std::string>{Cp1250(
                  ("Błąd uruchomienia driver'a (" + root + "IR_READ2.EXE a.dat,1,5,1,1,1,1,0).")
                      .c_str())});
  }
}

// The utility is started tied to the host and with its own handle of the
// folder's lock; where it cannot be tied the import goes on, and the trace
// says why.
TEST(Import, UtilityTiedToTheHostHoldsTheFolderLock) {
  for (const bool tie_fails : {false, true}) {
    ImportRun r;
    r.platform.trace_on = true;
    if (tie_fails) r.platform.FailAt("tie", 1);
    EXPECT_EQ(r.Run(), 1);
    EXPECT_TRUE(r.platform.starts.at(0).tied);
    EXPECT_EQ(r.platform.starts.at(0).lock, 1u) << "the handle of " << kLock;
    const std::string expected = tie_fails ? "tying the download utility to the host failed, "
                                             "system error 1117"
                                           : "the download utility holds the folder's lock";
    EXPECT_NE(std::find_if(r.platform.trace.begin(), r.platform.trace.end(),
                           [&](const std::string& l) { return l.find(expected) != l.npos; }),
              r.platform.trace.end())
        << expected;
  }
}

// A file that another program holds open past the wait (about 2 s): the
// one text names the file and says so, in place of the text its failure
// gives for any other cause; what the import leaves is as for that cause.
TEST(Import, FileHeldPastTheWaitIsNamed) {
  const std::string held_end =
      " jest otwarty w innym programie, który nie zwolnił go przez około 2 sekundy. Zamknij ten "
      "program i powtórz odczyt; plik a.dat zostaje w folderze inwentaryzacji.";
  const std::string journal_end =
      " jest otwarty w innym programie, który nie zwolnił go przez około 2 sekundy, więc ilości "
      "nie zostały dopisane do dziennika. Zamknij ten program i powtórz odczyt; policzone ilości "
      "nie są stracone.";
  const std::string record = kJournal + ".append";
  struct Case {
    const char* name;
    std::function<void(ImportRun&)> arrange;
    std::string error;  // UTF-8
    bool downloaded;
  } cases[] = {
      {"a.dat", [](ImportRun& r) { r.platform.held_for[kData] = 5000; },
       "Plik danych z terminala " + kData + held_end, true},
      {"the counts file", [](ImportRun& r) { r.platform.held_for[kCounts] = 5000; },
       "Plik inwentaryzacji " + kCounts + held_end, true},
      {"the journal", [](ImportRun& r) { r.platform.held_for[kJournal] = 5000; },
       "Plik dziennika " + kJournal + journal_end, true},
      {"the journal, to undo an unfinished append",
       [&](ImportRun& r) {
         r.platform.files[record] = "9\r\n";
         r.platform.held_for[kJournal] = 5000;
       },
       "Plik dziennika " + kJournal + journal_end, false},
      {"the record of an unfinished append",
       [&](ImportRun& r) {
         r.platform.files[record] = "9\r\n";
         r.platform.held_for[record] = 5000;
       },
       "Plik dziennika " + record + journal_end, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ImportRun r;
    r.platform.files[kCounts] = "host's counts";
    r.platform.files[kJournal] = "earlier\r\n";
    c.arrange(r);
    EXPECT_EQ(r.Run(), 0);
    EXPECT_EQ(r.host.errors, std::vector<std::string>{Cp1250(c.error.c_str())});
    EXPECT_EQ(r.platform.files[kJournal], "earlier\r\n");
    EXPECT_EQ(r.platform.files.count(kData), c.downloaded ? 1u : 0u) << "a.dat kept";
    EXPECT_GE(r.platform.clock_ms, 1980u) << "waited first";
  }
}

// The journal step names the file another program held: the counts file
// it copies, the journal, or the journal's record; none for other causes.
TEST(Import, JournalStepTellsWhichFileWasHeld) {
  const std::string record = kJournal + ".append";
  struct Case {
    const char* name;
    std::function<void(FakePlatform&)> arrange;
    std::string held;
  } cases[] = {
      {"counts file", [](FakePlatform& p) { p.held_for[kCounts] = 5000; }, kCounts},
      {"journal", [](FakePlatform& p) { p.held_for[kJournal] = 5000; }, kJournal},
      {"record",
       [&](FakePlatform& p) {
         p.files[record] = "9\r\n";
         p.held_for[record] = 5000;
       },
       record},
      {"journal not openable", [](FakePlatform& p) { p.unopenable.insert(kJournal); }, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EventLog log;
    FakePlatform platform(log);
    platform.files[kCounts] = "INW;1;01000\r\n";
    platform.files[kJournal] = "earlier\r\n";
    c.arrange(platform);
    std::string held;
    EXPECT_FALSE(TJournalTools().Append(platform, kCounts, kJournal, JournalDirection::kImport,
                                        nullptr, &held));
    EXPECT_EQ(held, c.held);
  }
}

TEST(Import, EarlierKeptCopiesAreNeverReplaced) {
  ImportRun r;
  r.platform.files[kData] = "third";
  r.platform.files[kKept] = "first";
  r.platform.files[kKept + "-2"] = "second";
  EXPECT_EQ(r.Run(), 1);
  EXPECT_EQ(r.platform.files[kKept], "first");
  EXPECT_EQ(r.platform.files[kKept + "-2"], "second");
  EXPECT_EQ(r.platform.files[kKept + "-3"], "third");
  EXPECT_EQ(r.platform.files[kCounts], "INW;5901234123457;12000\r\nINW;12;00500\r\n");
}

TEST(Import, NoInstanceOrNoCallbacksTouchesNothing) {
  ImportRun none;
  EXPECT_EQ(ImportCounts(none.platform, nullptr, 1, kCounts.c_str()), 0);
  EXPECT_TRUE(none.log.empty());
  for (HostWord type : {kRegisterParam, kRegisterError}) {
    ImportRun r;
    r.platform.files[kData] = "old";
    r.host.Unregister(type);
    EXPECT_EQ(r.Run(), 0);
    EXPECT_TRUE(r.log.empty());
    EXPECT_EQ(r.platform.files[kData], "old");
  }
}

// A counts path that names a.dat or the journal another way ("\\.\\", an
// 8.3 alias, a link) is refused before the counts file is created: it would
// empty that file, or the journal would be appended to itself.
TEST(Import, CountsPathThatIsADatOrTheJournalIsRefused) {
  const struct {
    std::string counts, same_as;
  } cases[] = {
      {"C:\\DANE\\.\\Inwent.bak", kJournal},
      {"C:\\DANE\\.\\a.dat", kData},
      {"C:\\DANE\\.\\INWENT~1.BAK", kJournal},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.counts);
    ImportRun r;
    r.platform.files[kJournal] = "earlier\r\n";
    r.platform.same_file[c.counts] = c.same_as;
    EXPECT_EQ(r.Run(c.counts), 0);
    EXPECT_EQ(r.host.errors, std::vector<std::string>{Cp1250("Błąd otwarcia pliku \"imp\".")});
    EXPECT_EQ(r.platform.files[kJournal], "earlier\r\n");
    EXPECT_EQ(r.platform.files[kData], *r.download) << "a.dat kept";
    EXPECT_EQ(r.platform.files.count(c.counts), 0u) << "no counts file created";
  }
}

// A share that keeps no file ids answers 0 for every file: such ids make
// no two files one, so neither the export's check of its lookup file nor
// the import's check of its counts file refuses an ordinary run there.
TEST(Import, FilesWithoutIdsAreNotTakenForOneFile) {
  const struct {
    const char* name;
    std::function<HostWord(Till&)> run;
    std::string written, expected;
  } cases[] = {
      {"export beside an earlier lookup file",
       [](Till& t) {
         t.platform.files["C:\\DANE\\exp.txt"] = "TOW;1;Chleb;100;150;2000;5\r\n";
         t.platform.files["C:\\DANE\\a"] = "earlier lookup";
         return t.Export("C:\\DANE\\exp.txt");
       },
       "C:\\DANE\\a", "1,Chleb,1.50,2.000\r\n"},
      {"import over the host's earlier counts file",
       [](Till& t) {
         t.download = "7,1\r\n";
         t.platform.files[kCounts] = "earlier counts";
         t.platform.files[kJournal] = "earlier\r\n";
         return t.Import(kCounts.c_str());
       },
       kCounts, "INW;7;01000\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Till t;
    t.platform.file_ids = false;
    EXPECT_EQ(c.run(t), 1) << (t.host.errors.empty() ? "" : t.host.errors[0]);
    EXPECT_EQ(t.platform.files[c.written], c.expected);
  }
}

TEST(Import, LongCountsPath) {
  ImportRun r;
  const std::string dir = kLongestDir;
  ASSERT_EQ(dir.size() + std::string("\\a.dat.20261207-090503-99").size(), 259u);
  r.platform.files[dir + "\\a.dat"] = "earlier";
  EXPECT_EQ(r.Run(dir + "\\INW\\imp.txt"), 1);
  EXPECT_EQ(r.platform.starts.at(0).current_directory, dir);
  EXPECT_EQ(r.platform.files.count(dir + "\\Inwent.bak"), 1u);
}

}  // namespace
}  // namespace kolektor::testing
