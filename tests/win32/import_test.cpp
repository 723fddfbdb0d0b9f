// The real import under wine: five message boxes read and closed by a hook,
// the IR_READ2.EXE stand-in found beside the program, counts and journal.
#include <gtest/gtest.h>

#include "tests/win32/plugin_loader.h"
#include "tests/win32/standin_env.h"

namespace kolektor::wintest {
namespace {

struct ImportSetup {
  std::string dir, invent_dir, counts;
  explicit ImportSetup(const std::string& name) : dir(FreshDir(name)) {
    invent_dir = NoSlash(FullPath(dir));
    CreateDirectoryA((dir + "INW").c_str(), nullptr);
    counts = invent_dir + "\\INW\\imp.txt";
    DeleteFileA(counts.c_str());
  }
  void Download(const std::string& bytes) {
    WriteFileBytes(dir + "download.src", bytes);
    StandinEnv::Set("KOLEKTOR_STANDIN_DATA", dir + "download.src");
  }
};

TEST(WinImport, BoxesCommandLineCountsAndJournal) {
  ImportSetup s("import_ok");
  StandinEnv env(s.dir);
  s.Download("5901234123457,12\r\n12,0.5\r\n");
  WriteFileBytes(s.invent_dir + "\\a.dat", "old,1\r\n");
  WriteFileBytes(s.invent_dir + "\\Inwent.bak", "earlier\r\n");
  Host host(21);
  host.params["port"] = "1";
  host.params["baud"] = "9600";
  MessageBoxCatcher boxes;
  const DWORD start = GetTickCount();
  EXPECT_EQ(LoadPlugin().import_(host.instance(), 5, s.counts.c_str()), 1);
  const DWORD took = GetTickCount() - start;
  EXPECT_TRUE(host.errors.empty()) << host.errors.at(0);
  const std::string cmd = "IR_READ2.EXE a.dat,1,5,1,1,1,1,0";
  ASSERT_EQ(boxes.seen.size(), 5u) << boxes.Listing();
  const MessageBoxSeen expected[] = {{"sciezka_a", s.invent_dir + "\\a.dat"},
                                     {"sciezka_bak", s.invent_dir + "\\Inwent.bak"},
                                     {"download", cmd},
                                     {"invent_dir", s.invent_dir},
                                     {"sciezka", s.counts}};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(boxes.seen[i].caption, expected[i].caption);
    EXPECT_EQ(boxes.seen[i].text, expected[i].text);
  }
  EXPECT_EQ(env.Starts(),
            std::vector<std::string>{"IR_READ2.EXE|" + cmd + "|" + s.invent_dir + "|-"});
  const std::string counts = "INW;5901234123457;12000\r\nINW;12;00500\r\n";
  EXPECT_EQ(ReadFileBytes(s.counts), counts);
  const std::string journal = ReadFileBytes(s.invent_dir + "\\Inwent.bak");
  ASSERT_GT(journal.size(), 9u + 71u);
  EXPECT_EQ(journal.substr(0, 9), "earlier\r\n");
  EXPECT_EQ(journal.substr(9, 38), "\r\n------------ [IMPORT WYKONANY DNIA: ");
  EXPECT_EQ(journal.substr(9 + 38 + 19), "] ------------\r\n" + counts);
  EXPECT_FALSE(Exists(s.invent_dir + "\\a.dat"));
  EXPECT_EQ(host.events, (std::vector<std::string>{"status \nTransakcja w toku...", "param port",
                                                   "param baud", "param timeout"}));
  // 1 s + 1 s + 5 s of pauses, plus the stand-in's own run.
  EXPECT_GE(took, 7000u - 40u);
}

TEST(WinImport, NoDataFile) {
  ImportSetup s("import_nodata");
  StandinEnv env(s.dir);
  StandinEnv::Set("KOLEKTOR_STANDIN_DATA", "none");
  WriteFileBytes(s.invent_dir + "\\a.dat", "stale,1\r\n");
  WriteFileBytes(s.counts, "host's counts");
  Host host(22);
  MessageBoxCatcher boxes;
  EXPECT_EQ(LoadPlugin().import_(host.instance(), 5, s.counts.c_str()), 0);
  EXPECT_EQ(host.errors, std::vector<std::string>{Cp1250("Brak pliku wynikowego.")});
  EXPECT_EQ(ReadFileBytes(s.counts), "host's counts");
  EXPECT_EQ(boxes.seen.size(), 5u) << boxes.Listing();
  EXPECT_FALSE(Exists(s.invent_dir + "\\Inwent.bak"));
}

TEST(WinImport, UtilityThatNeverEndsIsTerminatedAtOneMinute) {
  ImportSetup s("import_forever");
  StandinEnv env(s.dir);
  StandinEnv::Set("KOLEKTOR_STANDIN_RUN_MS", "forever");
  Host host(23);
  host.params["timeout"] = "1 min";
  MessageBoxCatcher boxes;
  const DWORD start = GetTickCount();
  EXPECT_EQ(LoadPlugin().import_(host.instance(), 5, s.counts.c_str()), 0);
  const DWORD took = GetTickCount() - start;
  EXPECT_EQ(host.errors, std::vector<std::string>{Cp1250("Nie udało się nawiązac połączenia!")});
  // 2 s of pauses and 600 polls of at least 100 ms.
  EXPECT_GE(took, 62000u - 100u);
  EXPECT_LE(took, 75000u);
  EXPECT_FALSE(Exists(s.counts));
}

TEST(WinImport, ExitCode259IsTakenAsStillRunning) {
  ImportSetup s("import_259");
  StandinEnv env(s.dir);
  StandinEnv::Set("KOLEKTOR_STANDIN_EXIT", "259");
  s.Download("1,1\r\n");
  Host host(24);
  host.params["timeout"] = "1 min";
  MessageBoxCatcher boxes;
  EXPECT_EQ(LoadPlugin().import_(host.instance(), 5, s.counts.c_str()), 0);
  EXPECT_EQ(host.errors, std::vector<std::string>{Cp1250("Nie udało się nawiązac połączenia!")});
  EXPECT_TRUE(Exists(s.invent_dir + "\\a.dat")) << "the data file stays";
}

}  // namespace
}  // namespace kolektor::wintest
