// Large files through the real DLL: the conversions must stay within half
// a second of the fixed pauses. Run alone (RUN_SERIAL) so that other tests
// do not share the two cores while the clock runs; a run over its bound is
// repeated (best_of.h).
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/win32/best_of.h"
#include "tests/win32/plugin_loader.h"
#include "tests/win32/standin_env.h"

namespace kolektor::wintest {
namespace {

TEST(WinPerformance, HundredThousandLinesWithinHalfASecondOfThePause) {
  const std::string dir = FreshDir("export_big");
  StandinEnv env(dir);
  std::string goods;
  goods.reserve(100000 * 70);
  const std::string name = Cp1250("Śmietana 18% Łaciata 200g, kubek");
  for (int i = 0; i < 100000; ++i)
    goods += "TOW;590" + std::to_string(1000000000 + i) + ";" + name + ";1899;2499;" +
             std::to_string(i % 50000) + ";23\r\n";
  WriteFileBytes(dir + "exp.txt", goods);
  const DWORD took = ShortestOf(3, 4500, [&] {
    Host host(5);
    const DWORD start = GetTickCount();
    EXPECT_EQ(LoadPlugin().eksport(host.instance(), 1, (dir + "exp.txt").c_str()), 1);
    const DWORD run = GetTickCount() - start;
    const DWORD conversion = host.event_ticks.at(4) - host.event_ticks.at(3);
    std::printf("export of 100000 lines: %lu ms in all, %lu ms converting\n",
                static_cast<unsigned long>(run), static_cast<unsigned long>(conversion));
    return run;
  });
  EXPECT_LE(took, 4500u);
  const std::string lookup = ReadFileBytes(dir + "a");
  EXPECT_EQ(std::count(lookup.begin(), lookup.end(), '\n'), 100000);
}

// One import of `records` records; returns its duration in ms.
DWORD TimedImport(int records, std::string& counts) {
  const std::string dir = FreshDir("import_big_" + std::to_string(records));
  CreateDirectoryA((dir + "INW").c_str(), nullptr);
  const std::string counts_path = NoSlash(FullPath(dir)) + "\\INW\\imp.txt";
  StandinEnv env(dir);
  std::string data;
  for (int i = 0; i < records; ++i)
    data += "590" + std::to_string(1000000000 + i) + "," + std::to_string(i % 1000) + ".25\r\n";
  WriteFileBytes(dir + "kolektor-standin.dat", data);
  Host host(25);
  MessageBoxCatcher boxes;
  const DWORD start = GetTickCount();
  EXPECT_EQ(LoadPlugin().import_(host.instance(), 5, counts_path.c_str()), 1);
  const DWORD took = GetTickCount() - start;
  counts = ReadFileBytes(counts_path);
  return took;
}

TEST(WinPerformance, HundredThousandRecordsWithinHalfASecondOfThePauses) {
  std::string counts;
  const DWORD one = TimedImport(1, counts);
  const DWORD many = ShortestOf(3, std::min<DWORD>(one + 500u, 7500u + 300u),
                                [&] { return TimedImport(100000, counts); });
  std::printf("import of 1 record: %lu ms, of 100000 records: %lu ms in all\n",
              static_cast<unsigned long>(one), static_cast<unsigned long>(many));
  // The records themselves cost next to nothing; what a one-record import
  // spends beyond its 7 s of pauses is wine starting the utility, the
  // 100 ms polls and five message boxes.
  EXPECT_LE(many, one + 500u);
  EXPECT_LE(many, 7500u + 300u);
  EXPECT_EQ(std::count(counts.begin(), counts.end(), '\n'), 100000);
  EXPECT_EQ(counts.substr(0, 23), "INW;5901000000000;00250");
}

struct TracedRun {
  DWORD exported = 0, imported = 0;
  long lines = 0;
};

// One traced export and import of 100000 in a fresh folder of its own.
TracedRun TracedExportAndImport(int attempt) {
  TracedRun r;
  const std::string dir = FreshDir("traced_big_" + std::to_string(attempt));
  CopyFileA((BinDir() + "kolektor.dll").c_str(), (dir + "kolektor.dll").c_str(), FALSE);
  WriteFileBytes(dir + "kolektor.log", "");
  host::Plugin plugin;
  std::string error;
  EXPECT_TRUE(host::LoadPlugin(dir + "kolektor.dll", plugin, error)) << error;
  if (!error.empty()) return r;
  StandinEnv env(dir);
  std::string goods, data;
  for (int i = 0; i < 100000; ++i) {
    goods += "TOW;590" + std::to_string(1000000000 + i) + ";Chleb;1899;2499;" +
             std::to_string(i % 50000) + ";23\r\n";
    data += "590" + std::to_string(1000000000 + i) + "," + std::to_string(i % 1000) + ".25\r\n";
  }
  WriteFileBytes(dir + "exp.txt", goods);
  WriteFileBytes(dir + "kolektor-standin.dat", data);
  CreateDirectoryA((dir + "INW").c_str(), nullptr);
  host::Session session(plugin.api, 7);
  session.settings = {{"port", "1"},
                      {"baud", "9600"},
                      {"cena", "Cena det"},
                      {"maxKod", "13"},
                      {"timeout", "5 min"}};
  host::MessageBoxWatch boxes(&session, true);
  DWORD start = GetTickCount();
  EXPECT_EQ(session.Export(1, dir + "exp.txt"), 1);
  r.exported = GetTickCount() - start;
  start = GetTickCount();
  EXPECT_EQ(session.Import(2, NoSlash(FullPath(dir)) + "\\INW\\imp.txt"), 1);
  r.imported = GetTickCount() - start;
  const std::string trace = ReadFileBytes(dir + "kolektor.log");
  r.lines = static_cast<long>(std::count(trace.begin(), trace.end(), '\n'));
  std::printf(
      "traced: export of 100000 lines %lu ms, import of 100000 records %lu ms, %ld trace lines\n",
      static_cast<unsigned long>(r.exported), static_cast<unsigned long>(r.imported), r.lines);
  EXPECT_GT(r.lines, 20);
  EXPECT_LT(r.lines, 100) << "no line per record";
  return r;
}

// With the support trace on (a copy of the DLL beside its own kolektor.log):
// the same export and import, a few dozen lines of trace, not one a record.
TEST(WinPerformance, TracedExportAndImportOfAHundredThousand) {
  TracedRun best;
  for (int attempt = 0; attempt < 3; ++attempt) {
    const TracedRun r = TracedExportAndImport(attempt);
    best = attempt == 0 ? r
                        : TracedRun{std::min(best.exported, r.exported),
                                    std::min(best.imported, r.imported), r.lines};
    if (best.exported <= 4500u && best.imported <= 7500u + 300u) break;
    std::printf("over its bound: run again\n");
  }
  EXPECT_LE(best.exported, 4500u);
  EXPECT_LE(best.imported, 7500u + 300u);
}

}  // namespace
}  // namespace kolektor::wintest
