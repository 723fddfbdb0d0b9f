// The plug-in's fixed pauses, timed from both sides. Run alone (RUN_SERIAL):
// an upper bound on a duration only holds while no other test shares the
// two cores; the tests that run in parallel check the lower bounds only.
// A run over its upper bound is repeated (best_of.h); each is checked for
// the lower bound and its result.
#include <gtest/gtest.h>

#include <functional>

#include "tests/win32/best_of.h"
#include "tests/win32/plugin_loader.h"
#include "tests/win32/standin_env.h"

namespace kolektor::wintest {
namespace {

TEST(WinPauses, ClearExportAndImportPauseAsLongAsTheHostExpects) {
  const std::string dir = FreshDir("pauses");
  StandinEnv env(dir);
  WriteFileBytes(dir + "exp.txt", "TOW;1;Chleb;100;150;2000;5\r\n");
  CreateDirectoryA((dir + "INW").c_str(), nullptr);
  const std::string counts = NoSlash(FullPath(dir)) + "\\INW\\imp.txt";
  WriteFileBytes(dir + "download.src", "1,2\r\n");
  StandinEnv::Set("KOLEKTOR_STANDIN_DATA", dir + "download.src");
  const Plugin& p = LoadPlugin();
  Host host(404);
  MessageBoxCatcher boxes;

  struct Case {
    const char* what;
    std::function<Word()> run;
    DWORD pause;  // the fixed pauses of the step, in ms
  };
  const Case cases[] = {
      {"clear", [&] { return p.zeruj(host.instance(), 1); }, 1000},
      {"export", [&] { return p.eksport(host.instance(), 2, (dir + "exp.txt").c_str()); }, 4000},
      {"import", [&] { return p.import_(host.instance(), 3, counts.c_str()); }, 1000 + 1000 + 5000},
  };
  for (const Case& c : cases) {
    // One tick of the system clock early at most; the rest of the step
    // (the stand-in utility's start under wine included) within 700 ms.
    const DWORD took = ShortestOf(3, c.pause + 700, [&] {
      const DWORD start = GetTickCount();
      EXPECT_EQ(c.run(), 1) << c.what;
      const DWORD run = GetTickCount() - start;
      std::printf("%s: %lu ms\n", c.what, static_cast<unsigned long>(run));
      EXPECT_GE(run, c.pause - 20) << c.what;
      return run;
    });
    EXPECT_LE(took, c.pause + 700) << c.what;
  }
  EXPECT_TRUE(host.errors.empty()) << host.errors.at(0);
}

}  // namespace
}  // namespace kolektor::wintest
