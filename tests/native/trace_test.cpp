// The support trace: what an export and an import leave in it, the system's
// error codes of failures, and that tracing never changes what happens.
#include "base/trace.h"

#include <gtest/gtest.h>

#include "plugin/plugin_api.h"
#include "tests/native/test_host.h"

namespace kolektor::testing {
namespace {

const std::string kKey = "Software\\Orvisk\\ZRBWin\\Instalacja";

bool Has(const std::vector<std::string>& lines, const std::string& part) {
  for (const std::string& line : lines)
    if (line.find(part) != std::string::npos) return true;
  return false;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string all;
  for (const std::string& line : lines) all += line + "\n";
  return all;
}

struct Traced : Till {
  Traced() {
    platform.trace_on = true;
    platform.now.millisecond = 42;
    platform.files["C:\\DANE\\exp.txt"] = "TOW;1;Chleb;100;150;2000;5\r\nTOW;2;Mąka;1;1;1;1\r\n";
    download = "1,2\r\n2,3\r\n3,4\r\n";
    platform.child.running_queries = 2;
    platform.child.exit_code = 7;
  }
};

TEST(Trace, WhatEachOperationLeaves) {
  struct Case {
    const char* name;
    std::function<void(Traced&)> arrange;
    bool import;
    int result;
    std::vector<std::string> lines;  // each must appear in the trace
  } cases[] = {
      {"export",
       [](Traced& t) { t.platform.child.running_queries = 0; },
       false,
       1,
       {"2026-12-07 09:05:03.042 [ZRBDLLInwEksportujTowary #7 pid 4711] start",
        "parameter cena: Cena det", "status to the host: \\nTransakcja w toku...",
        "goods file: C:\\DANE\\exp.txt", "lookup file: C:\\DANE\\a", "goods lines read: 2",
        "lookup records written: 2", "HKLM\\" + kKey + " value Binaria: C:\\ZRB",
        "starting: C:\\ZRB\\DLOOKUP2.EXE a,1,5,1", "in the folder: C:\\DANE", "process id: 4242",
        "exit code: 7", "result 1 after 4000 ms"}},
      {"import",
       [](Traced&) {},
       true,
       1,
       {"[ZRBDLLInwImport #7 pid 4711] start", "parameter port: 1", "invent_dir: C:\\DANE",
        "data file: C:\\DANE\\a.dat", "journal: C:\\DANE\\Inwent.bak",
        "message box sciezka_a: C:\\DANE\\a.dat", "starting: IR_READ2.EXE a.dat,1,5,1,1,1,1,0",
        "exit code: 7", "polls: 2", "waited ms: 200", "counts records written: 3",
        "lines appended to the journal: 3", "result 1 after 7200 ms"}},
      {"registry key missing",
       [](Traced& t) { t.platform.registry.clear(); },
       false,
       0,
       {"opening the registry key HKLM\\" + kKey +
            " (for its value Binaria) failed, system error 2",
        "error to the host: Błąd otwarcia rejestru.", "result 0"}},
      {"value too long",
       [](Traced& t) { t.platform.registry[kKey]["Binaria"] = std::string(300, 'x'); },
       false,
       0,
       {"reading HKLM\\" + kKey + " value Binaria failed, system error 234"}},
      {"counts folder read-only",
       [](Traced& t) { t.platform.unopenable.insert("C:\\DANE\\INW\\imp.txt"); },
       true,
       0,
       {"creating the counts file failed", "error to the host: Błąd otwarcia pliku \"imp\"."}},
      {"a.dat kept aside",
       [](Traced& t) { t.platform.files["C:\\DANE\\a.dat"] = "9,9\r\n"; },
       true,
       1,
       {"an earlier data file kept as: C:\\DANE\\a.dat.20261207-090503"}},
      {"lookup write",
       [](Traced& t) { t.platform.FailAt("write", 1); },
       false,
       0,
       {"writing the lookup file failed, system error 1117"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Traced t;
    c.arrange(t);
    const HostWord result =
        c.import ? t.Import("C:\\DANE\\INW\\imp.txt", 7) : t.Export("C:\\DANE\\exp.txt", 7);
    EXPECT_EQ(result, c.result);
    for (const std::string& line : c.lines)
      EXPECT_TRUE(Has(t.platform.trace, line)) << line << "\nin:\n" << Joined(t.platform.trace);
  }
}

// However an import ends, its trace has its start and its result: also
// with no instance, no callbacks, or an error of the runtime library (the
// exported wrapper answers 0 for it, as before).
TEST(Trace, EveryEndOfAnImportIsTraced) {
  struct Case {
    const char* name;
    std::function<HostWord(Traced&)> run;
    std::string line;
  } cases[] = {
      {"no instance",
       [](Traced& t) { return ImportCounts(t.platform, nullptr, 7, "C:\\DANE\\INW\\imp.txt"); },
       "the host passed no instance"},
      {"no error callback",
       [](Traced& t) {
         t.host.Unregister(kRegisterError);
         return t.Import("C:\\DANE\\INW\\imp.txt", 7);
       },
       "has not registered its parameter and error callbacks"},
      {"out of memory at the lock",
       [](Traced& t) {
         t.platform.fault_throws = true;
         t.platform.FailAt("lock", 1);
         EXPECT_THROW(t.Import("C:\\DANE\\INW\\imp.txt", 7), std::bad_alloc);
         return HostWord{0};
       },
       "stopped by an error of the runtime library: std::bad_alloc"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Traced t;
    EXPECT_EQ(c.run(t), 0);
    ASSERT_FALSE(t.platform.trace.empty());
    EXPECT_TRUE(Has({t.platform.trace.front()}, "[ZRBDLLInwImport #7 pid 4711] start"));
    EXPECT_TRUE(Has(t.platform.trace, c.line)) << Joined(t.platform.trace);
    EXPECT_TRUE(Has({t.platform.trace.back()}, "result 0 after")) << Joined(t.platform.trace);
  }
}

// The durations' clock from the performance counter: exact, and no
// overflow where counter * 1000 would wrap (weeks of uptime at a few GHz).
TEST(Trace, CounterMillisecondsNeverOverflow) {
  struct Case {
    std::uint64_t counter, frequency, milliseconds;
  } cases[] = {
      {0, 1000000, 0},
      {3579545, 3579545, 1000},
      {3579544, 3579545, 999},
      {9223372036854775808ull, 3000000000ull, 3074457345618ull},
      {18446744073709551615ull, 10000000ull, 1844674407370955ull},
  };
  for (const Case& c : cases)
    EXPECT_EQ(CounterMilliseconds(c.counter, c.frequency), c.milliseconds) << c.counter;
}

TEST(Trace, OffWritesNothing) {
  Traced t;
  t.platform.trace_on = false;
  EXPECT_EQ(t.Export("C:\\DANE\\exp.txt", 7), 1);
  EXPECT_EQ(t.Import("C:\\DANE\\INW\\imp.txt", 7), 1);
  EXPECT_TRUE(t.platform.trace.empty());
}

}  // namespace
}  // namespace kolektor::testing
