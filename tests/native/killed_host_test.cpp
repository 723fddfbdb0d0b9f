// The host killed (Task Manager, a crash, the power button) at every step
// of an import that changes something, and then the next import in a new
// process: every record the terminal handed out is in exactly one place
// (the journal's blocks, a kept a.dat copy, or a.dat itself), and no
// download utility is left suspended by the dead host.
#include <gtest/gtest.h>

#include "import/journal.h"
#include "import/utility_record.h"
#include "tests/native/test_host.h"

namespace kolektor::testing {
namespace {

const std::string kCounts = "C:\\DANE\\INW\\imp.txt";
const std::string kData = "C:\\DANE\\a.dat";
const std::string kJournal = "C:\\DANE\\Inwent.bak";
const std::string kRecord = "C:\\DANE\\kolektor.pid";
const std::string kFirst = "101,1\r\n102,2.5\r\n103,3\r\n";
const std::string kSecond = "201,1\r\n";

// Lines of `bytes` that begin with `prefix`.
int LinesBeginning(const std::string& bytes, const std::string& prefix) {
  int found = 0;
  for (std::size_t at = 0; at < bytes.size();) {
    const std::size_t end = bytes.find('\n', at);
    if (bytes.compare(at, prefix.size(), prefix) == 0) ++found;
    at = end == std::string::npos ? bytes.size() : end + 1;
  }
  return found;
}

// How many times a record (its code) is found where a shop looks for
// counts: the journal, a.dat and the copies kept as not imported. A copy
// moved aside as imported (a.imp.*) is no such place.
int Places(const FakePlatform& platform, const std::string& code) {
  int found = 0;
  for (const auto& [path, bytes] : platform.files) {
    if (path == kJournal) found += LinesBeginning(bytes, "INW;" + code + ";");
    if (path == kData || path.rfind(kData + ".", 0) == 0)
      found += LinesBeginning(bytes, code + ",");
  }
  return found;
}

bool Has(const std::vector<std::string>& lines, const std::string& part) {
  for (const std::string& line : lines)
    if (line.find(part) != std::string::npos) return true;
  return false;
}

// A suspended IR_READ2.EXE of a host that is gone.
bool SuspendedOrphan(const FakePlatform& platform, std::uint32_t dead_host) {
  for (const FakePlatform::Process& p : platform.processes)
    if (!p.ended && p.suspended && p.parent == dead_host && p.program == "IR_READ2.EXE")
      return true;
  return false;
}

TEST(KilledHost, EveryRecordInOnePlaceAfterAKillAtAnyStep) {
  int changes = 0;  // the steps of one import that change something
  int imported_copies = 0;
  int orphans = 0;
  for (int kill = 0; kill == 0 || kill <= changes; ++kill) {
    for (const bool tied : {true, false}) {
      SCOPED_TRACE("killed at change " + std::to_string(kill) + (tied ? "" : ", untied"));
      Till till;
      FakePlatform& p = till.platform;
      p.files[kJournal] = "earlier\r\n";
      p.files[kCounts] = "host's counts";
      p.child.running_queries = 2;
      if (!tied) p.FailAt("tie", 1);
      till.download = kFirst;
      p.KillAt(kill);
      HostWord result = 0;
      try {
        result = till.Import(kCounts.c_str());
      } catch (const FakePlatform::ProcessDeath&) {
      }
      if (kill == 0) {
        ASSERT_EQ(result, 1);
        changes = p.Calls("open") + p.Calls("write") + p.Calls("flush") + p.Calls("truncate") +
                  p.Calls("remove") + p.Calls("move") + p.Calls("lock") + p.Calls("start") +
                  p.Calls("tie") + p.Calls("resume");
        continue;
      }
      ASSERT_TRUE(p.killed());
      const std::uint32_t dead_host = p.self.id;
      const bool downloaded = till.downloads == 1;
      p.HostDied();
      // Made but neither tied nor resumed when the host died.
      const bool orphan = SuspendedOrphan(p, dead_host);

      // The next import, in a new process, with its own download.
      p.FailAt("tie", 0);
      p.now.minute = 30;
      p.trace_on = true;
      till.download = kSecond;
      EXPECT_EQ(till.Import(kCounts.c_str(), 2), 1)
          << (till.host.errors.empty() ? "" : till.host.errors.back());
      for (const std::string code : {"101", "102", "103"})
        EXPECT_EQ(Places(p, code), downloaded ? 1 : 0) << code;
      EXPECT_EQ(Places(p, "201"), 1);
      EXPECT_FALSE(SuspendedOrphan(p, dead_host)) << "the killed host's utility is ended";
      EXPECT_EQ(!p.orphans_ended.empty(), orphan);
      orphans += orphan ? 1 : 0;
      if (orphan)
        EXPECT_TRUE(Has(p.trace, "left suspended by a host that ended (process 4242): ended"));
      EXPECT_EQ(p.files.count(kRecord), 0u);
      EXPECT_EQ(p.files.count(AppendRecordPath(kJournal)), 0u);
      const bool imported = p.files.count("C:\\DANE\\a.imp.20261207-093003") != 0;
      if (imported) {
        ++imported_copies;
        EXPECT_EQ(p.files["C:\\DANE\\a.imp.20261207-093003"], kFirst);
        EXPECT_TRUE(Has(p.trace, "whose counts are the journal's last block"));
      }
    }
  }
  EXPECT_GE(changes, 20);
  // Between the journal's record gone and a.dat deleted: the kill at the
  // deletion of a.dat, tied and untied.
  EXPECT_EQ(imported_copies, 2);
  EXPECT_GE(orphans, 4) << "a kill between the utility's making and its job";
  std::printf(
      "killed at each of %d steps, tied and untied: %d suspended utilities left, all "
      "ended by the next import\n",
      changes, orphans);
}

// Only a never-run process of the program the record names, of a host that
// is gone, is ended: by its recorded identity, or as that host's child
// made just after the start line; never one whose host runs, one that has
// run, another program, another process under a reused id, or a child of a
// process that now has the dead host's id.
TEST(KilledHost, OnlyTheDeadHostsSuspendedUtilityIsEnded) {
  constexpr std::uint64_t kStart = FakePlatform::kSystemTimeBase;
  constexpr std::uint64_t kSecondTicks = 10000000;
  using Process = FakePlatform::Process;
  const std::string dead = "host 4000 100\r\nstart IR_READ2.EXE " + std::to_string(kStart) + "\r\n";
  struct Case {
    const char* name;
    std::string record;
    std::vector<Process> processes;
    std::vector<std::uint32_t> ended;
    bool record_stays = false;
  } cases[] = {
      {"recorded and suspended",
       dead + "utility 500 " + std::to_string(kStart + 5) + "\r\n",
       {{{500, kStart + 5}, 4000, "IR_READ2.EXE", true}},
       {500}},
      {"recorded but its id now names another process",
       dead + "utility 500 " + std::to_string(kStart + 5) + "\r\n",
       {{{500, kStart + 6}, 4001, "IR_READ2.EXE", true}},
       {}},
      {"recorded but it has run",
       dead + "utility 500 " + std::to_string(kStart + 5) + "\r\n",
       {{{500, kStart + 5}, 4000, "IR_READ2.EXE", false}},
       {}},
      {"its host still runs",
       "host 4000 100\r\nstart IR_READ2.EXE 1\r\nutility 500 " + std::to_string(kStart + 5) +
           "\r\n",
       {{{4000, 100}, 1, "ZRB.EXE", false}, {{500, kStart + 5}, 4000, "IR_READ2.EXE", true}},
       {},
       true},
      {"not yet named: the dead host's child just after the start line",
       dead,
       {{{501, kStart + 3 * kSecondTicks}, 4000, "ir_read2.exe", true},
        {{502, kStart + 3 * kSecondTicks}, 4000, "OTHER.EXE", true},
        {{503, kStart + 3 * kSecondTicks}, 4001, "IR_READ2.EXE", true},
        {{504, kStart + 120 * kSecondTicks}, 4000, "IR_READ2.EXE", true},
        {{505, kStart - 10 * kSecondTicks}, 4000, "IR_READ2.EXE", true}},
       {501}},
      {"not yet named, and the host's id taken by a process made before it (its parent?)",
       dead,
       {{{4000, 900}, 1, "NEW.EXE", false}, {{501, kStart + 1}, 4000, "IR_READ2.EXE", true}},
       {}},
      {"not yet named, and the host's id taken again after it was made",
       dead,
       {{{4000, kStart + 9}, 1, "NEW.EXE", false}, {{501, kStart + 1}, 4000, "IR_READ2.EXE", true}},
       {501}},
      {"the host's id taken by a process that may not be looked at",
       dead,
       {{{4000, 0}, 1, "SYSTEM.EXE", false}, {{501, kStart + 1}, 4000, "IR_READ2.EXE", true}},
       {},
       true},
      {"a line cut by the kill",
       dead + "utility 500 " + std::to_string(kStart + 5),
       {{{500, kStart + 5}, 4000, "IR_READ2.EXE", true}},
       {500}},
      {"no host line whole", "host 40", {{{500, kStart + 5}, 4000, "IR_READ2.EXE", true}}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EventLog log;
    FakePlatform platform(log);
    platform.files[kRecord] = c.record;
    platform.processes = c.processes;
    const std::vector<ProcessIdentity> ended =
        EndOrphanedUtilities(platform, kRecord, nullptr, true);
    std::vector<std::uint32_t> ids;
    for (const ProcessIdentity& who : ended) ids.push_back(who.id);
    EXPECT_EQ(ids, c.ended);
    for (const Process& p : platform.processes) {
      const bool should_end =
          std::find(c.ended.begin(), c.ended.end(), p.identity.id) != c.ended.end();
      EXPECT_EQ(p.ended, should_end) << p.identity.id;
    }
    // A record whose host runs is left for it.
    EXPECT_EQ(platform.files.count(kRecord), c.record_stays ? 1u : 0u);
  }
}

}  // namespace
}  // namespace kolektor::testing
