// The real import under wine: five message boxes read and closed by a hook,
// the IR_READ2.EXE stand-in found beside the program, counts and journal.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/win32/plugin_loader.h"
#include "tests/win32/program_run.h"
#include "tests/win32/standin_env.h"

namespace kolektor::wintest {
namespace {

// A fresh folder with the counts file's folder in it, the stand-in steered
// for this test, and what the download will deliver.
struct ImportSetup {
  std::string dir, invent_dir, counts;
  StandinEnv env;
  explicit ImportSetup(const std::string& name) : dir(FreshDir(name)), env(dir) {
    invent_dir = NoSlash(FullPath(dir));
    CreateDirectoryA((dir + "INW").c_str(), nullptr);
    counts = invent_dir + "\\INW\\imp.txt";
    DeleteFileA(counts.c_str());
  }
  void Download(const std::string& bytes) {
    WriteFileBytes(dir + "download.src", bytes);
    StandinEnv::Set("KOLEKTOR_STANDIN_DATA", dir + "download.src");
  }
  // What an earlier import left: its a.dat and the journal.
  void Earlier(const std::string& data, const std::string& journal) {
    WriteFileBytes(invent_dir + "\\a.dat", data);
    WriteFileBytes(invent_dir + "\\Inwent.bak", journal);
  }
};

// The a.dat.<time> copies in a folder.
std::vector<std::string> KeptCopies(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind("a.dat.", 0) == 0) names.push_back(name);
  }
  return names;
}

std::string Journal(const ImportSetup& s) { return ReadFileBytes(s.invent_dir + "\\Inwent.bak"); }

TEST(WinImport, BoxesCommandLineCountsAndJournal) {
  ImportSetup s("import_ok");
  s.Download("5901234123457,12\r\n12,0.5\r\n");
  s.Earlier("old,1\r\n", "earlier\r\n");
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
  EXPECT_EQ(s.env.Starts(),
            std::vector<std::string>{"IR_READ2.EXE|" + cmd + "|" + s.invent_dir + "|-"});
  const std::string counts = "INW;5901234123457;12000\r\nINW;12;00500\r\n";
  EXPECT_EQ(ReadFileBytes(s.counts), counts);
  const std::string journal = ReadFileBytes(s.invent_dir + "\\Inwent.bak");
  ASSERT_GT(journal.size(), 9u + 71u);
  EXPECT_EQ(journal.substr(0, 9), "earlier\r\n");
  EXPECT_EQ(journal.substr(9, 38), "\r\n------------ [IMPORT WYKONANY DNIA: ");
  EXPECT_EQ(journal.substr(9 + 38 + 19), "] ------------\r\n" + counts);
  EXPECT_FALSE(Exists(s.invent_dir + "\\a.dat"));
  const std::vector<std::string> kept = KeptCopies(s.dir);
  ASSERT_EQ(kept.size(), 1u) << "the earlier a.dat is kept aside";
  EXPECT_EQ(ReadFileBytes(s.dir + kept[0]), "old,1\r\n");
  EXPECT_EQ(host.events, (std::vector<std::string>{"status \nTransakcja w toku...", "param port",
                                                   "param baud", "param timeout"}));
  // 1 s + 1 s + 5 s of pauses, plus the stand-in's own run.
  EXPECT_GE(took, 7000u - 40u);
}

TEST(WinImport, NoDataFile) {
  ImportSetup s("import_nodata");
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
  // Well short of the default limit of 5 minutes, with room for polls that
  // a loaded machine stretches (ctest runs many wine processes at once).
  EXPECT_LE(took, 150000u);
  EXPECT_FALSE(Exists(s.counts));
}

TEST(WinImport, ExitCode259IsTakenAsStillRunning) {
  ImportSetup s("import_259");
  StandinEnv::Set("KOLEKTOR_STANDIN_EXIT", "259");
  s.Download("1,1\r\n");
  Host host(24);
  host.params["timeout"] = "1 min";
  MessageBoxCatcher boxes;
  EXPECT_EQ(LoadPlugin().import_(host.instance(), 5, s.counts.c_str()), 0);
  EXPECT_EQ(host.errors, std::vector<std::string>{Cp1250("Nie udało się nawiązac połączenia!")});
  EXPECT_TRUE(Exists(s.invent_dir + "\\a.dat")) << "the data file stays";
}

TEST(WinImport, DataFileOpenElsewhereStopsBeforeTheBoxes) {
  ImportSetup s("import_adat_open");
  s.Download("1,1\r\n");
  s.Earlier("kept,5\r\n", "earlier\r\n");
  WriteFileBytes(s.counts, "host's counts");
  // A viewer that shares reading and writing but not deletion.
  const HANDLE viewer =
      CreateFileA((s.invent_dir + "\\a.dat").c_str(), GENERIC_READ,
                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(viewer, INVALID_HANDLE_VALUE);
  Host host(25);
  MessageBoxCatcher boxes;
  EXPECT_EQ(LoadPlugin().import_(host.instance(), 5, s.counts.c_str()), 0);
  CloseHandle(viewer);
  EXPECT_EQ(host.errors,
            std::vector<std::string>{Cp1250(
                ("Nie można przenieść poprzedniego pliku " + s.invent_dir +
                 "\\a.dat pod nową nazwę (jest otwarty w innym programie lub zablokowany). Plik "
                 "pozostał bez zmian; zamknij ten program i spróbuj ponownie.")
                    .c_str())});
  EXPECT_TRUE(boxes.seen.empty()) << boxes.Listing();
  EXPECT_TRUE(s.env.Starts().empty());
  EXPECT_EQ(ReadFileBytes(s.invent_dir + "\\a.dat"), "kept,5\r\n");
  EXPECT_EQ(ReadFileBytes(s.counts), "host's counts");
  EXPECT_EQ(Journal(s), "earlier\r\n");
  EXPECT_TRUE(KeptCopies(s.dir).empty());
}

// Two tills on a shared folder: the second import finds the first one's
// lock, says so and touches nothing; the first gets exactly its own counts.
TEST(WinImport, SecondImportIntoTheSameFolderIsRefused) {
  ImportSetup s("import_two");
  s.Download("111,2\r\n");
  StandinEnv::Set("KOLEKTOR_STANDIN_RUN_MS", "4000");
  PROCESS_INFORMATION first = StartProgram(
      "\"" + BinDir() + "zrbhost.exe\" --yes import \"" + s.counts + "\"", {"", CREATE_NO_WINDOW});
  ASSERT_NE(first.hProcess, nullptr);
  const std::string lock = s.invent_dir + "\\kolektor.lock";
  for (int i = 0; i < 300 && !Exists(lock); ++i) Sleep(50);
  ASSERT_TRUE(Exists(lock)) << "the first import holds the folder";

  CreateDirectoryA((s.dir + "INW2").c_str(), nullptr);
  const std::string second_counts = s.invent_dir + "\\INW2\\imp.txt";
  Host host(26);
  MessageBoxCatcher boxes;
  EXPECT_EQ(LoadPlugin().import_(host.instance(), 5, second_counts.c_str()), 0);
  EXPECT_EQ(host.errors,
            std::vector<std::string>{Cp1250(
                ("Do folderu " + s.invent_dir +
                 " trwa już inny import (z innego stanowiska lub okna programu). Poczekaj na jego "
                 "zakończenie i spróbuj ponownie.")
                    .c_str())});
  EXPECT_TRUE(boxes.seen.empty());
  EXPECT_FALSE(Exists(second_counts));

  EXPECT_EQ(Finish(first, 60000), 0u) << "the first import succeeds";
  EXPECT_EQ(ReadFileBytes(s.counts), "INW;111;02000\r\n");
  const std::string journal = Journal(s);
  EXPECT_EQ(journal.substr(journal.size() - 17), "\r\nINW;111;02000\r\n");
  EXPECT_EQ(journal.find("IMPORT WYKONANY"), journal.rfind("IMPORT WYKONANY")) << "one block";
  EXPECT_EQ(s.env.Starts().size(), 1u);
  EXPECT_FALSE(Exists(lock));
  EXPECT_FALSE(Exists(s.invent_dir + "\\a.dat"));
  EXPECT_TRUE(KeptCopies(s.dir).empty());
}

// A journal kept for years: the block goes at its very end, past 2 and
// 4 GiB (sparse files: the disk holds only the few bytes written).
TEST(WinImport, HugeJournalGetsItsBlockAtTheEnd) {
  for (const unsigned long long size : {2ull << 30, 4ull << 30, 5ull << 30}) {
    SCOPED_TRACE(size);
    ImportSetup s("import_huge_journal");
    s.Download("7,1\r\n");
    const std::string journal = s.invent_dir + "\\Inwent.bak";
    WriteFileBytes(journal, "earlier\r\n");
    HANDLE file =
        CreateFileA(journal.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(size);
    ASSERT_TRUE(SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file));
    CloseHandle(file);
    Host host(27);
    MessageBoxCatcher boxes;
    EXPECT_EQ(LoadPlugin().import_(host.instance(), 5, s.counts.c_str()), 1);
    file = CreateFileA(journal.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                       nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    LARGE_INTEGER total;
    GetFileSizeEx(file, &total);
    char head[9] = {}, tail[200] = {};
    DWORD got = 0;
    ReadFile(file, head, sizeof head, &got, nullptr);
    SetFilePointerEx(file, end, nullptr, FILE_BEGIN);
    ReadFile(file, tail, sizeof tail, &got, nullptr);
    CloseHandle(file);
    const std::string block(tail, got);
    EXPECT_EQ(std::string(head, 9), "earlier\r\n");
    EXPECT_EQ(static_cast<unsigned long long>(total.QuadPart), size + got);
    EXPECT_EQ(block.substr(0, 38), "\r\n------------ [IMPORT WYKONANY DNIA: ");
    EXPECT_EQ(block.substr(38 + 19), "] ------------\r\nINW;7;01000\r\n");
  }
}

}  // namespace
}  // namespace kolektor::wintest
