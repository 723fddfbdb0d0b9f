// A counts path one folder below a drive's root (X:\INW\imp.txt, usual on
// a mapped drive), with the host's current folder on X: elsewhere. The
// prefix "drive" maps X: for this test (scripts/wine-run.sh).
#include <gtest/gtest.h>

#include "tests/win32/plugin_loader.h"
#include "tests/win32/standin_env.h"

namespace kolektor::wintest {
namespace {

TEST(WinDriveRoot, CountsOneFolderBelowTheRootOfAMappedDrive) {
  ASSERT_NE(GetFileAttributesA("X:\\"), INVALID_FILE_ATTRIBUTES) << "X: is mapped";
  for (const char* name : {"X:\\a.dat", "X:\\Inwent.bak", "X:\\INW\\imp.txt", "X:\\ZRB\\a.dat"})
    DeleteFileA(name);
  CreateDirectoryA("X:\\INW", nullptr);
  CreateDirectoryA("X:\\ZRB", nullptr);
  const std::string dir = FreshDir("drive_root");
  StandinEnv env(dir);
  WriteFileBytes(dir + "download.src", "5901234123457,12\r\n12,0.5\r\n");
  StandinEnv::Set("KOLEKTOR_STANDIN_DATA", dir + "download.src");
  WriteFileBytes("X:\\Inwent.bak", "earlier\r\n");
  char kept[MAX_PATH] = {};
  GetCurrentDirectoryA(sizeof kept, kept);
  ASSERT_TRUE(SetCurrentDirectoryA("X:\\ZRB")) << "the host's current folder on X:";

  Host host(71);
  MessageBoxCatcher boxes;
  const Word result = LoadPlugin().import_(host.instance(), 5, "X:\\INW\\imp.txt");
  SetCurrentDirectoryA(kept);
  EXPECT_EQ(result, 1) << (host.errors.empty() ? "" : host.errors[0]);
  EXPECT_EQ(ReadFileBytes("X:\\INW\\imp.txt"), "INW;5901234123457;12000\r\nINW;12;00500\r\n");
  EXPECT_FALSE(Exists("X:\\ZRB\\a.dat")) << "nothing in the host's folder";
  EXPECT_FALSE(Exists("X:\\a.dat")) << "converted and deleted";
  const std::string journal = ReadFileBytes("X:\\Inwent.bak");
  EXPECT_EQ(journal.substr(0, 9), "earlier\r\n");
  EXPECT_EQ(journal.substr(journal.size() - 39), "INW;5901234123457;12000\r\nINW;12;00500\r\n");
  const std::vector<std::string> starts = env.Starts();
  ASSERT_EQ(starts.size(), 1u);
  EXPECT_EQ(starts[0], "IR_READ2.EXE|IR_READ2.EXE a.dat,1,5,1,1,1,1,0|X:\\|-");
  ASSERT_EQ(boxes.seen.size(), 5u) << boxes.Listing();
  EXPECT_EQ(boxes.seen[0].text, "X:\\a.dat");
  EXPECT_EQ(boxes.seen[1].text, "X:\\Inwent.bak");
  EXPECT_EQ(boxes.seen[3].text, "X:\\");
}

}  // namespace
}  // namespace kolektor::wintest
