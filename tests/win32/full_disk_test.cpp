// The journal's append on a disk that fills up part-way: in the prefix
// "fulldisk" every write past 4 MiB fails (scripts/wine-run.sh), so a
// journal just below that size cannot take the block. The import fails,
// a.dat stays, and Inwent.bak is byte for byte what it was.
#include <gtest/gtest.h>

#include "tests/win32/plugin_loader.h"
#include "tests/win32/standin_env.h"

namespace kolektor::wintest {
namespace {

constexpr std::size_t kDiskLimit = 4u << 20;

TEST(WinFullDisk, AFailedJournalAppendLeavesTheJournalAsItWas) {
  const std::string download = "1,1\r\n2,2\r\n3,3\r\n4,4\r\n5,5\r\n6,6\r\n7,7\r\n8,8\r\n";
  // Room for part of the header; for the header and part of the records.
  for (const std::size_t room : {40u, 120u}) {
    SCOPED_TRACE(room);
    const std::string dir = FreshDir("full_disk_" + std::to_string(room));
    const std::string invent_dir = NoSlash(FullPath(dir));
    CreateDirectoryA((dir + "INW").c_str(), nullptr);
    StandinEnv env(dir);
    WriteFileBytes(dir + "download.src", download);
    StandinEnv::Set("KOLEKTOR_STANDIN_DATA", dir + "download.src");
    std::string journal = "earlier\r\n";
    journal += std::string(kDiskLimit - room - journal.size() - 2, 'x') + "\r\n";
    const std::string journal_path = invent_dir + "\\Inwent.bak";
    WriteFileBytes(journal_path, journal);
    ASSERT_EQ(ReadFileBytes(journal_path).size(), kDiskLimit - room);

    Host host(81);
    MessageBoxCatcher boxes;
    EXPECT_EQ(LoadPlugin().import_(host.instance(), 5, (invent_dir + "\\INW\\imp.txt").c_str()), 0);
    EXPECT_EQ(host.errors, std::vector<std::string>{Cp1250("Błąd zapisu do pliku roboczego.")});
    EXPECT_TRUE(ReadFileBytes(journal_path) == journal) << "Inwent.bak byte for byte as before";
    EXPECT_FALSE(Exists(journal_path + ".append"));
    EXPECT_EQ(ReadFileBytes(invent_dir + "\\a.dat"), download) << "a.dat kept";
  }
}

}  // namespace
}  // namespace kolektor::wintest
