// The field's ways of losing counts, tried on the real DLL: a host killed
// while its download runs or while it starts it, a download cut inside a
// record, and files held for a moment by another program.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which it needs.
#include <tlhelp32.h>

#include <filesystem>
#include <thread>

#include "host/install_check.h"
#include "tests/win32/plugin_loader.h"
#include "tests/win32/program_run.h"
#include "tests/win32/standin_env.h"

namespace kolektor::wintest {
namespace {

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// Every file of a folder whose bytes hold `part`, by name.
std::vector<std::string> FilesHolding(const std::string& dir, const std::string& part) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir))
    if (entry.is_regular_file() && Has(ReadFileBytes(entry.path().string()), part))
      names.push_back(entry.path().filename().string());
  return names;
}

// Started suspended, put into `job` if given, then let run.
PROCESS_INFORMATION Launch(const std::string& line, HANDLE job = nullptr) {
  PROCESS_INFORMATION info = StartProgram(line, {"", CREATE_NO_WINDOW | CREATE_SUSPENDED});
  EXPECT_NE(info.hProcess, nullptr) << line;
  if (job != nullptr) EXPECT_TRUE(AssignProcessToJobObject(job, info.hProcess));
  ResumeThread(info.hThread);
  return info;
}

// Whether a process already in a job can be put into another (Windows 8
// and later, wine): then the plug-in ties its utility to the host also
// when the host runs in a job; before, only the folder's lock holds.
bool NestedJobs() {
  const HANDLE outer = CreateJobObjectA(nullptr, nullptr);
  const HANDLE inner = CreateJobObjectA(nullptr, nullptr);
  PROCESS_INFORMATION probe = Launch("\"" + BinDir() + "file_holder.exe\"", outer);
  const bool nested = AssignProcessToJobObject(inner, probe.hProcess) != 0;
  TerminateProcess(probe.hProcess, 0);
  Finish(probe);
  CloseHandle(inner);
  CloseHandle(outer);
  return nested;
}

// The host is killed (Task Manager, a crash, the power button) while its
// download runs; the utility would write its a.dat 6 s after it started.
// A second import into the same folder at once either finds that utility
// gone or the folder busy, never its counts; a third one after that time
// gets exactly its own. Also with the host in a job that lets no child
// leave it (some launchers and older Windows run programs so).
TEST(WinNothingLost, KilledHostLeavesNoDownloadBehindForTheNextImport) {
  for (const bool host_in_job : {false, true}) {
    SCOPED_TRACE(host_in_job ? "host in a job" : "host on its own");
    const std::string dir = FreshDir(host_in_job ? "killed_host_job" : "killed_host");
    const std::string invent_dir = NoSlash(FullPath(dir));
    for (const char* sub : {"INW1", "INW2", "INW3"}) CreateDirectoryA((dir + sub).c_str(), nullptr);
    StandinEnv env(dir);
    WriteFileBytes(dir + "first.src", "111,1\r\n");
    WriteFileBytes(dir + "second.src", "222,2\r\n");
    WriteFileBytes(dir + "third.src", "333,3\r\n");
    WriteFileBytes(invent_dir + "\\Inwent.bak", "earlier\r\n");
    StandinEnv::Set("KOLEKTOR_STANDIN_DATA", dir + "first.src");
    StandinEnv::Set("KOLEKTOR_STANDIN_WRITE_AFTER_MS", "6000");
    const HANDLE job = host_in_job ? CreateJobObjectA(nullptr, nullptr) : nullptr;
    PROCESS_INFORMATION first = Launch(
        "\"" + BinDir() + "zrbhost.exe\" --yes import \"" + invent_dir + "\\INW1\\imp.txt\"", job);
    for (int i = 0; i < 600 && env.Starts().empty(); ++i) Sleep(50);
    ASSERT_EQ(env.Starts().size(), 1u) << "the first download runs";
    const DWORD download_started = GetTickCount();
    Sleep(300);
    TerminateProcess(first.hProcess, 9);
    Finish(first);

    StandinEnv::Set("KOLEKTOR_STANDIN_DATA", dir + "second.src");
    StandinEnv::Set("KOLEKTOR_STANDIN_WRITE_AFTER_MS", "");
    const std::string second = invent_dir + "\\INW2\\imp.txt";
    Host host(61);
    MessageBoxCatcher boxes;
    const Word result = LoadPlugin().import_(host.instance(), 5, second.c_str());
    if (result == 1) {
      EXPECT_EQ(ReadFileBytes(second), "INW;222;02000\r\n") << "its own counts";
    } else {
      EXPECT_EQ(host.errors,
                std::vector<std::string>{Cp1250(
                    ("Do folderu " + invent_dir +
                     " trwa już inny import (z innego stanowiska lub okna programu). Poczekaj na "
                     "jego zakończenie i spróbuj ponownie.")
                        .c_str())});
      EXPECT_FALSE(Exists(second));
    }
    std::printf("second import after the kill: %s\n", result == 1 ? "done" : "refused as busy");

    while (GetTickCount() - download_started < 7000) Sleep(100);
    StandinEnv::Set("KOLEKTOR_STANDIN_DATA", dir + "third.src");
    const std::string third = invent_dir + "\\INW3\\imp.txt";
    Host host3(62);
    EXPECT_EQ(LoadPlugin().import_(host3.instance(), 6, third.c_str()), 1)
        << (host3.errors.empty() ? "" : host3.errors[0]);
    EXPECT_EQ(ReadFileBytes(third), "INW;333;03000\r\n");
    // Nothing of the killed download reached counts or journal; whatever
    // of it reached the disk is kept aside. Tied to its host, the utility
    // ended with it: it never wrote, and the folder was free at once.
    Sleep(500);
    EXPECT_FALSE(Exists(invent_dir + "\\a.dat"));
    const std::vector<std::string> holding = FilesHolding(dir, "111");
    for (const std::string& name : holding)
      EXPECT_TRUE(name == "first.src" || name.rfind("a.dat.", 0) == 0) << name;
    if (!host_in_job || NestedJobs()) {
      EXPECT_EQ(holding, std::vector<std::string>{"first.src"})
          << "the utility ended with its host";
      EXPECT_EQ(result, 1);
    }
    const std::string journal = ReadFileBytes(invent_dir + "\\Inwent.bak");
    EXPECT_EQ(Has(journal, "INW;222;02000\r\n"), result == 1);
    EXPECT_TRUE(Has(journal, "INW;333;03000\r\n"));
    EXPECT_EQ(env.Starts().size(), result == 1 ? 3u : 2u);
    if (job != nullptr) CloseHandle(job);
  }
}

// a.dat cut inside a record, with exit code 1 (its write failed) or 0 (a
// utility that exits 0 whatever happened, or one ended by a signal under
// wine): nothing is taken, a.dat stays for recovery, the counts file and
// the journal are as they were; the text tells whether the utility
// reported the failure. Cut in the code, after the comma, in the
// quantity, and in the first record.
TEST(WinNothingLost, DownloadCutInsideARecordFailsWhateverTheExitCode) {
  const char* reported =
      "Odczyt z terminala nie powiódł się: program IR_READ2.EXE zgłosił błąd, a plik a.dat "
      "urywa się w połowie rekordu. Żadne ilości nie zostały przyjęte; powtórz odczyt.";
  const char* unreported =
      "Odczyt z terminala nie powiódł się: plik a.dat urywa się w połowie rekordu, choć "
      "program IR_READ2.EXE nie zgłosił błędu. Żadne ilości nie zostały przyjęte; powtórz "
      "odczyt.";
  const struct {
    const char* exit_code;
    std::string cut;
  } cases[] = {
      {"1", "1,2\r\n3,4\r\n5,6"},
      {"0", "1,2\r\n3,4\r\n5,6"},
      {"0", "1,2\r\n3,4\r\n59"},
      {"0", "1,2\r\n3,4\r\n5,"},
      {"0", "59012"},
  };
  int false_successes = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.exit_code) + " " + c.cut);
    const std::string dir = FreshDir("cut_download");
    const std::string invent_dir = NoSlash(FullPath(dir));
    CreateDirectoryA((dir + "INW").c_str(), nullptr);
    const std::string counts = invent_dir + "\\INW\\imp.txt";
    StandinEnv env(dir);
    WriteFileBytes(dir + "download.src", c.cut);
    StandinEnv::Set("KOLEKTOR_STANDIN_DATA", dir + "download.src");
    StandinEnv::Set("KOLEKTOR_STANDIN_EXIT", c.exit_code);
    WriteFileBytes(counts, "host's counts");
    WriteFileBytes(invent_dir + "\\Inwent.bak", "earlier\r\n");
    Host host(63);
    MessageBoxCatcher boxes;
    const Word result = LoadPlugin().import_(host.instance(), 5, counts.c_str());
    false_successes += result == 1;
    EXPECT_EQ(result, 0);
    EXPECT_EQ(host.errors, std::vector<std::string>{
                               Cp1250(std::string(c.exit_code) == "1" ? reported : unreported)});
    EXPECT_EQ(ReadFileBytes(invent_dir + "\\a.dat"), c.cut) << "a.dat kept";
    EXPECT_EQ(ReadFileBytes(counts), "host's counts");
    EXPECT_EQ(ReadFileBytes(invent_dir + "\\Inwent.bak"), "earlier\r\n");
    EXPECT_FALSE(Exists(invent_dir + "\\Inwent.bak.append"));
  }
  std::printf("cut downloads: %d false successes of %zu\n", false_successes, std::size(cases));
}

// When the process of that handle was made.
std::uint64_t CreatedAt(HANDLE process) {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(process, &created, &exited, &kernel, &user);
  return (static_cast<std::uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

// The processes of that name whose parent had that id; fast enough to
// catch a child in the moment between its making and its joining a job.
std::vector<DWORD> ChildrenNamed(DWORD parent_id, const char* name) {
  std::vector<DWORD> found;
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32 entry;
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
    if (entry.th32ParentProcessID == parent_id && lstrcmpiA(entry.szExeFile, name) == 0)
      found.push_back(entry.th32ProcessID);
  CloseHandle(snapshot);
  return found;
}

// Those of them `parent` made: made after it (wine hands ids out again at
// once, so an older process may name the same parent id).
std::vector<DWORD> MadeBy(const PROCESS_INFORMATION& parent, const std::vector<DWORD>& ids) {
  std::vector<DWORD> made;
  for (const DWORD id : ids) {
    const HANDLE child = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, id);
    if (child == nullptr) continue;
    if (CreatedAt(child) >= CreatedAt(parent.hProcess)) made.push_back(id);
    CloseHandle(child);
  }
  return made;
}

// Ends the processes given when it goes out of scope, however the test
// ends: a process left behind would hold the test's output open.
struct Ends {
  std::vector<HANDLE> processes;
  // A handle of the process itself, which its id may not stay (wine
  // hands ids out again at once).
  HANDLE Add(DWORD id) {
    const HANDLE p = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
    if (p != nullptr) processes.push_back(p);
    return p;
  }
  ~Ends() {
    for (const HANDLE p : processes) {
      TerminateProcess(p, 0);
      WaitForSingleObject(p, 5000);
      CloseHandle(p);
    }
  }
};

// The host killed the moment its download utility appears: the utility is
// made suspended and joins the host's job only a few milliseconds later, so
// a kill in between leaves it suspended for good. The next import ends it,
// and only it: a suspended IR_READ2.EXE of this test (a host that lives)
// is left alone. Counts how often the kill fell in that window.
TEST(WinNothingLost, UtilityLeftSuspendedByAKilledHostIsEndedByTheNextImport) {
  const std::string dir = FreshDir("suspended_utility");
  const std::string invent_dir = NoSlash(FullPath(dir));
  CreateDirectoryA((dir + "INW").c_str(), nullptr);
  const std::string counts = invent_dir + "\\INW\\imp.txt";
  StandinEnv env(dir);
  WriteFileBytes(dir + "download.src", "7,1\r\n");
  StandinEnv::Set("KOLEKTOR_STANDIN_DATA", dir + "download.src");
  // Long enough for the watcher to see every utility that runs.
  StandinEnv::Set("KOLEKTOR_STANDIN_RUN_MS", "3000");
  Ends ends;
  // Another host's utility, made and not yet resumed: never to be ended.
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION other{};
  std::string line = "\"" + BinDir() + "IR_READ2.EXE\" a.dat,1,";
  ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE,
                             CREATE_SUSPENDED | CREATE_NO_WINDOW, nullptr, dir.c_str(), &startup,
                             &other));
  ends.Add(other.dwProcessId);
  constexpr int kRounds = 6;
  int suspended = 0;
  for (int round = 0; round < kRounds; ++round) {
    SCOPED_TRACE(round);
    PROCESS_INFORMATION killed =
        Launch("\"" + BinDir() + "zrbhost.exe\" --yes import \"" + counts + "\"");
    std::vector<DWORD> seen;
    for (const DWORD start = GetTickCount(); seen.empty() && GetTickCount() - start < 60000;)
      seen = ChildrenNamed(killed.dwProcessId, "IR_READ2.EXE");
    TerminateProcess(killed.hProcess, 9);
    const std::vector<DWORD> utility = MadeBy(killed, seen);
    Finish(killed);
    ASSERT_EQ(utility.size(), 1u) << "the host started its utility";
    const HANDLE made = ends.Add(utility[0]);
    ASSERT_NE(made, nullptr);
    auto runs = [](HANDLE p) { return WaitForSingleObject(p, 0) == WAIT_TIMEOUT; };
    // A utility in the host's job has ended with it by now: what still
    // runs was never tied to the host, nor resumed.
    Sleep(1500);
    suspended += runs(made) ? 1 : 0;

    Host next(71);
    MessageBoxCatcher boxes;
    EXPECT_EQ(LoadPlugin().import_(next.instance(), 5, counts.c_str()), 1)
        << (next.errors.empty() ? "" : next.errors[0]);
    EXPECT_FALSE(runs(made)) << "no suspended IR_READ2.EXE survives the next import";
    EXPECT_TRUE(runs(other.hProcess)) << "another host's utility is left alone";
    EXPECT_FALSE(Exists(invent_dir + "\\kolektor.pid"));
  }
  CloseHandle(other.hProcess);
  CloseHandle(other.hThread);
  std::printf(
      "host killed as its utility appeared: %d of %d kills left it suspended, each ended "
      "by the next import\n",
      suspended, kRounds);
}

// The simulated IR_READ2.EXE ends with 1 when it cannot write a.dat (here a
// folder of that name), also when a test asked for exit code 0: a download
// cut short never looks whole by its exit code.
TEST(WinNothingLost, SimulatorFailsAFailedWrite) {
  const std::string dir = FreshDir("simulator_write");
  CreateDirectoryA((dir + "a.dat").c_str(), nullptr);
  StandinEnv env(dir);
  WriteFileBytes(dir + "download.src", "1,2\r\n");
  StandinEnv::Set("KOLEKTOR_STANDIN_DATA", dir + "download.src");
  for (const char* asked : {"", "0"}) {
    SCOPED_TRACE(asked);
    StandinEnv::Set("KOLEKTOR_STANDIN_EXIT", asked);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::string line = "\"" + BinDir() + "IR_READ2.EXE\" a.dat,1,";
    ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                               nullptr, dir.c_str(), &startup, &info));
    WaitForSingleObject(info.hProcess, 60000);
    DWORD code = 0;
    GetExitCodeProcess(info.hProcess, &code);
    EXPECT_EQ(code, 1u);
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
  }
}

// "Sprawdź instalację" ends the suspended IR_READ2.EXE that kolektor.pid
// names for a host that is gone, and only it; it lists the copies of a.dat
// already in the journal apart from those not imported.
TEST(WinNothingLost, InstallationCheckEndsOnlyTheRecordedSuspendedUtility) {
  const std::string dir = FreshDir("check_suspended");
  const std::string invent_dir = NoSlash(FullPath(dir));
  CreateDirectoryA((dir + "INW").c_str(), nullptr);
  // A host that has ended, and three utilities: one made suspended and
  // named as its utility, one named too but running (it has run: never to
  // be ended), one made suspended by a host that lives (this test).
  PROCESS_INFORMATION host = Launch("\"" + BinDir() + "file_holder.exe\"");
  const std::uint64_t host_created = CreatedAt(host.hProcess);
  const DWORD host_id = host.dwProcessId;
  Finish(host);
  StandinEnv env(dir);
  StandinEnv::Set("KOLEKTOR_STANDIN_DATA", "none");
  StandinEnv::Set("KOLEKTOR_STANDIN_RUN_MS", "forever");
  Ends ends;
  PROCESS_INFORMATION utilities[3];
  for (int u = 0; u < 3; ++u) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string line = "\"" + BinDir() + "IR_READ2.EXE\" a.dat,1,";
    ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE,
                               (u == 1 ? 0 : CREATE_SUSPENDED) | CREATE_NO_WINDOW, nullptr,
                               dir.c_str(), &startup, &utilities[u]));
    ends.Add(utilities[u].dwProcessId);
  }
  auto named = [&](int u) {
    return "utility " + std::to_string(utilities[u].dwProcessId) + " " +
           std::to_string(CreatedAt(utilities[u].hProcess)) + "\r\n";
  };
  WriteFileBytes(dir + "kolektor.pid", "host " + std::to_string(host_id) + " " +
                                           std::to_string(host_created) +
                                           "\r\nstart IR_READ2.EXE 1\r\n" + named(0) + named(1));
  WriteFileBytes(dir + "a.dat.20261207-090503", "1,2\r\n");
  WriteFileBytes(dir + "a.imp.20261207-100000", "3,4\r\n");
  WriteFileBytes(dir + "a.imp.20261208-100000", "5,6\r\n");
  host::InstallCheckInput input;
  input.counts_path = invent_dir + "\\INW\\imp.txt";
  std::string listing;
  for (const host::InstallCheckItem& item : host::CheckInstallation(input)) {
    listing += item.what + "\n";
    // The host may have died before it took their counts: a warning that
    // sends the person to the journal, not to the copy.
    if (item.what.find("(a.imp.*)") != std::string::npos) {
      EXPECT_EQ(item.level, host::InstallCheckItem::kWarning);
      EXPECT_NE(item.fix.find("zrbhost journal Inwent.bak --extract"), std::string::npos)
          << item.fix;
    }
  }
  EXPECT_EQ(WaitForSingleObject(utilities[0].hProcess, 0), WAIT_OBJECT_0) << "ended";
  EXPECT_EQ(WaitForSingleObject(utilities[1].hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT))
      << "a utility that has run is left alone";
  EXPECT_EQ(WaitForSingleObject(utilities[2].hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT))
      << "another host's utility is left alone";
  for (const std::string& line : std::vector<std::string>{
           "Zakończono wstrzymany program IR_READ2.EXE (proces " +
               std::to_string(utilities[0].dwProcessId) +
               "), który został po odczycie przerwanym zamknięciem ZRB; nie trzymał żadnego "
               "pliku.",
           "Zachowane kopie a.dat w folderze inwentaryzacji: 1 (najnowsza: "
           "a.dat.20261207-090503).",
           "Kopie a.dat, których ilości są już w dzienniku Inwent.bak (a.imp.*): 2 (najnowsza: "
           "a.imp.20261208-100000)."})
    EXPECT_TRUE(Has(listing, line)) << line << "\n" << listing;
  for (PROCESS_INFORMATION& u : utilities) {
    TerminateProcess(u.hProcess, 0);
    Finish(u);
  }
}

// What stops an import before it begins gets its own text: a folder named
// kolektor.lock where the lock file belongs, and folders that exist but
// are too long for the files an import makes in them: with 246 characters
// the lock file's path alone is 260, one more than Windows takes; with 244
// the lock file fits, the journal's record (Inwent.bak.append) does not.
TEST(WinNothingLost, EachCauseThatStopsAnImportHasItsText) {
  const std::string base = NoSlash(FullPath(FreshDir("stop_causes")));
  const std::string blocked = base + "\\blocked";
  CreateDirectoryA(blocked.c_str(), nullptr);
  CreateDirectoryA((blocked + "\\kolektor.lock").c_str(), nullptr);
  auto long_dir = [&](std::size_t size, char fill) {
    const std::string dir = base + "\\" + std::string(size - base.size() - 1, fill);
    EXPECT_TRUE(CreateDirectoryA(dir.c_str(), nullptr)) << dir;
    CreateDirectoryA((dir + "\\INW").c_str(), nullptr);
    return dir;
  };
  auto too_long = [](const std::string& dir) {
    return "Ścieżka folderu inwentaryzacji " + dir +
           " jest za długa: z nazwami plików, które zakłada w nim import, przekracza 259 znaków, "
           "których nie przyjmuje Windows. Wybierz w ZRB krótszą ścieżkę pliku inwentaryzacji.";
  };
  const std::string lock_too_long = long_dir(246, 'd');
  const std::string record_too_long = long_dir(244, 'r');
  const struct {
    std::string invent_dir, error;
  } cases[] = {
      {blocked, "Nie można użyć pliku blokady " + blocked +
                    "\\kolektor.lock (plik tylko do odczytu, bez prawa dostępu albo folder o tej "
                    "nazwie). Usuń go i spróbuj ponownie."},
      {lock_too_long, too_long(lock_too_long)},
      {record_too_long, too_long(record_too_long)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.invent_dir);
    const std::string log_dir = FreshDir("stop_causes_log");
    StandinEnv env(log_dir);
    // A download that would succeed: only the folder stops the import.
    WriteFileBytes(log_dir + "download.src", "1,2\r\n");
    StandinEnv::Set("KOLEKTOR_STANDIN_DATA", log_dir + "download.src");
    Host host(66);
    MessageBoxCatcher boxes;
    const std::string counts = c.invent_dir + "\\INW\\imp.txt";
    EXPECT_EQ(LoadPlugin().import_(host.instance(), 5, counts.c_str()), 0);
    EXPECT_EQ(host.errors, std::vector<std::string>{Cp1250(c.error.c_str())});
    EXPECT_TRUE(boxes.seen.empty()) << boxes.Listing();
    EXPECT_TRUE(env.Starts().empty());
    EXPECT_FALSE(Exists(counts));
  }
}

// A counts path that names a.dat or the journal through "\\.\\": the import
// refuses it with a.dat kept, rather than empty a.dat (the host got no
// counts at all, told done) or append the journal to itself (every count
// twice in the host's file, the journal's history gone).
TEST(WinNothingLost, CountsPathThatIsADatOrTheJournalIsRefused) {
  const struct {
    const char* name;
    bool earlier_journal;
  } cases[] = {{"Inwent.bak", true}, {"Inwent.bak", false}, {"a.dat", true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.name) + (c.earlier_journal ? ", earlier journal" : ""));
    const std::string dir = FreshDir("counts_is_ours");
    const std::string invent_dir = NoSlash(FullPath(dir));
    const std::string journal = invent_dir + "\\Inwent.bak";
    StandinEnv env(dir);
    WriteFileBytes(dir + "download.src", "1,2\r\n3,4\r\n");
    StandinEnv::Set("KOLEKTOR_STANDIN_DATA", dir + "download.src");
    if (c.earlier_journal) WriteFileBytes(journal, "earlier\r\n");
    const std::string counts = invent_dir + "\\.\\" + c.name;
    Host host(67);
    MessageBoxCatcher boxes;
    EXPECT_EQ(LoadPlugin().import_(host.instance(), 5, counts.c_str()), 0);
    EXPECT_EQ(host.errors, std::vector<std::string>{Cp1250("Błąd otwarcia pliku \"imp\".")});
    EXPECT_EQ(ReadFileBytes(invent_dir + "\\a.dat"), "1,2\r\n3,4\r\n") << "a.dat kept";
    if (c.earlier_journal)
      EXPECT_EQ(ReadFileBytes(journal), "earlier\r\n");
    else  // the counts file the host asked for, and no block appended to it
      EXPECT_EQ(ReadFileBytes(journal), "INW;1;02000\r\nINW;3;04000\r\n");
  }
}

// kolektor.dll copied into a folder of its own with kolektor.log beside
// it: the support trace shows each wait.
struct TracedPlugin {
  std::string dir;
  host::Plugin plugin;
  explicit TracedPlugin(const std::string& name) : dir(FreshDir(name)) {
    CopyFileA((BinDir() + "kolektor.dll").c_str(), (dir + "kolektor.dll").c_str(), FALSE);
    WriteFileBytes(dir + "kolektor.log", "");
    std::string error;
    EXPECT_TRUE(host::LoadPlugin(dir + "kolektor.dll", plugin, error)) << error;
  }
  std::string Log() const { return ReadFileBytes(dir + "kolektor.log"); }
};

// Holds `path` from another process for `ms` from the moment it has it;
// returns once it holds the file.
PROCESS_INFORMATION Hold(const std::string& path, DWORD ms) {
  PROCESS_INFORMATION holder =
      Launch("\"" + BinDir() + "file_holder.exe\" \"" + path + "\" " + std::to_string(ms));
  for (int i = 0; i < 400; ++i) {
    const HANDLE probe = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_EXISTING, 0, nullptr);
    if (probe == INVALID_HANDLE_VALUE && GetLastError() == ERROR_SHARING_VIOLATION) break;
    if (probe != INVALID_HANDLE_VALUE) CloseHandle(probe);
    Sleep(10);
  }
  return holder;
}

// Another program holds the data file (import) or the goods file (export)
// without sharing: for 300 ms the operation waits and succeeds, for 5 s it
// fails as it always did.
TEST(WinNothingLost, FilesHeldForAMomentAreWaitedFor) {
  for (const DWORD held : {300u, 5000u}) {
    SCOPED_TRACE(held);
    const bool waits_enough = held < 1000;
    {
      TracedPlugin t("held_import_plugin_" + std::to_string(held));
      const std::string dir = FreshDir("held_import_" + std::to_string(held));
      const std::string invent_dir = NoSlash(FullPath(dir));
      CreateDirectoryA((dir + "INW").c_str(), nullptr);
      StandinEnv env(dir);
      WriteFileBytes(dir + "download.src", "7,1\r\n");
      StandinEnv::Set("KOLEKTOR_STANDIN_DATA", dir + "download.src");
      StandinEnv::Set("KOLEKTOR_STANDIN_RUN_MS", "1000");
      const std::string data = invent_dir + "\\a.dat";
      // The utility writes a.dat, runs 1 s more, and the import opens a.dat
      // 5 s after it ended (and up to a poll of 100 ms): the holder lets go
      // about `held` ms after that.
      PROCESS_INFORMATION holder{};
      std::thread watch([&] {
        for (int i = 0; i < 6000 && !Exists(data); ++i) Sleep(5);
        holder = Hold(data, 6200 + held);
      });
      host::Session session(t.plugin.api, 64);
      host::MessageBoxWatch boxes(&session, true);
      const Word result = session.Import(7, invent_dir + "\\INW\\imp.txt");
      watch.join();
      Finish(holder);
      const std::string log = t.Log();
      EXPECT_TRUE(Has(log,
                      "opening the data file: held by another program (system error 32), "
                      "waiting 36 ms"))
          << log;
      if (waits_enough) {
        EXPECT_EQ(result, 1) << (session.Errors().empty() ? "" : session.Errors()[0]);
        EXPECT_EQ(ReadFileBytes(invent_dir + "\\INW\\imp.txt"), "INW;7;01000\r\n");
      } else {
        EXPECT_EQ(result, 0);
        EXPECT_EQ(session.Errors(),
                  std::vector<std::string>{
                      Cp1250(("Plik danych z terminala " + data +
                              " jest otwarty w innym programie, który nie zwolnił go przez około 2 "
                              "sekundy. Zamknij ten program i powtórz odczyt; plik a.dat zostaje w "
                              "folderze inwentaryzacji.")
                                 .c_str())});
        EXPECT_TRUE(Has(log, "waiting 360 ms")) << "all ten waits";
        EXPECT_EQ(ReadFileBytes(data), "7,1\r\n") << "a.dat kept";
      }
    }
    {
      TracedPlugin t("held_export_plugin_" + std::to_string(held));
      const std::string dir = FreshDir("held_export_" + std::to_string(held));
      StandinEnv env(dir);
      const std::string goods = dir + "exp.txt";
      WriteFileBytes(goods, "TOW;1;Chleb;100;150;2000;5\r\n");
      // The export reads the goods file 4 s after it begins.
      PROCESS_INFORMATION holder = Hold(goods, 4000 + held);
      host::Session session(t.plugin.api, 65);
      const Word result = session.Export(8, goods);
      Finish(holder);
      const std::string log = t.Log();
      EXPECT_TRUE(Has(log,
                      "opening the goods file: held by another program (system error 32), "
                      "waiting 36 ms"))
          << log;
      if (waits_enough) {
        EXPECT_EQ(result, 1) << (session.Errors().empty() ? "" : session.Errors()[0]);
        EXPECT_EQ(ReadFileBytes(dir + "a"), "1,Chleb,1.50,2.000\r\n");
      } else {
        EXPECT_EQ(result, 0);
        EXPECT_EQ(session.Errors(),
                  std::vector<std::string>{Cp1250("Błąd otwarcia pliku \"exp\".")});
        EXPECT_FALSE(Exists(dir + "a"));
      }
    }
  }
}

}  // namespace
}  // namespace kolektor::wintest
