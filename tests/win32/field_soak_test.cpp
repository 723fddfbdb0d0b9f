// The field soak as a test: seeded, randomized rounds of imports through
// the real DLL, each import in a zrbhost process of its own, each round
// with codes of its own scanned on the simulated terminal and one fault of
// kFaults. After every round the checks of kChecks must hold; on a
// violation the round's files are kept in a folder named with the seed and
// round, and the test prints what was violated and how to run that round
// again, and fails.
//
// Lanes run side by side, each in its own folders and with its own
// terminal, so that the import's 7 s of fixed pauses overlap. The test
// harness steers the soak through its environment (the plug-in reads none
// of it; the hosts do not even get it):
//   KOLEKTOR_SOAK_SEED     the seed; a fresh one, printed first, when unset
//   KOLEKTOR_SOAK_ROUNDS   rounds in all (default 40)
//   KOLEKTOR_SOAK_MINUTES  rounds until this many minutes have passed
//   KOLEKTOR_SOAK_LANES    lanes (default 4)
//   KOLEKTOR_SOAK_REPLAY   N: only round N's lane, its rounds up to N
// scripts/soak.sh runs it for longer.
#include <gtest/gtest.h>
#include <windows.h>

// After windows.h, whose types it uses.
#include <tlhelp32.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "tests/win32/held_file.h"
#include "tests/win32/plugin_loader.h"
#include "tests/win32/program_run.h"
#include "tests/win32/standin_env.h"

namespace kolektor::wintest {
namespace {

// ------------------------------------------------------------------ tables

enum class Fault {
  kNone,
  kKill,
  kSecondImport,
  kHeldData,
  kHeldJournal,
  kHeldCounts,
  kFullDisk,
  kCutDownload
};

// One fault a round; `weight` in twentieths of the rounds.
struct FaultRow {
  Fault fault;
  const char* name;
  int weight;
};
constexpr FaultRow kFaults[] = {
    {Fault::kNone, "none", 2},  // first: also the closing import of a lane
    {Fault::kKill, "host killed", 6},
    {Fault::kSecondImport, "a second import into the folder at the same time", 2},
    {Fault::kHeldData, "a.dat held by another program", 2},
    {Fault::kHeldJournal, "the journal held by another program", 2},
    {Fault::kHeldCounts, "the counts file held by another program", 2},
    // Every write of the host and its utility past a size fails.
    {Fault::kFullDisk, "the disk fills part-way", 2},
    // The utility's writes stop part-way (a full disk, a broken cable),
    // and it ends with exit code 0 or 1.
    {Fault::kCutDownload, "the download cut part-way", 2},
};
static_assert(sizeof(kFaults) / sizeof(kFaults[0]) == 8);

// When a killed host dies: a random moment, or one of the narrow windows
// the field met, found by watching for their sign and waiting a random
// few milliseconds more.
enum class Moment { kAnyTime, kUtilityStart, kAppending, kBlockComplete };
struct MomentRow {
  Moment moment;
  const char* name;
  int weight;
  int low, high;  // ms after the host's start (kAnyTime) or after the sign
};
constexpr MomentRow kKillMoments[] = {
    {Moment::kAnyTime, "at a random moment", 4, 800, 8900},
    // The last message box reported: the utility is being created
    // suspended, tied to the host and resumed.
    {Moment::kUtilityStart, "as the download utility starts", 2, 0, 40},
    // The journal's record of an append lies beside it.
    {Moment::kAppending, "while the journal block is appended", 1, 0, 3},
    // The block is complete (the record gone) but a.dat is not deleted yet.
    {Moment::kBlockComplete, "between the complete block and deleting a.dat", 1, 0, 3},
};

// Where in the import's writes the disk is full.
enum class DiskTarget { kData, kCounts, kJournal };
struct DiskRow {
  DiskTarget target;
  const char* name;
};
constexpr DiskRow kDiskTargets[] = {{DiskTarget::kData, "inside a.dat"},
                                    {DiskTarget::kCounts, "inside the counts file"},
                                    {DiskTarget::kJournal, "inside the journal's new block"}};

// Another program (file_holder) takes a file from a moment after its sign
// and holds it for 0.1-5 s.
enum class Sign { kHostStart, kDataAppears };
struct HoldRow {
  Fault fault;
  Sign sign;
  int low, high;  // ms after the sign
};
constexpr HoldRow kHolds[] = {
    // Over the conversion (5 s after the download) or the final delete.
    {Fault::kHeldData, Sign::kDataAppears, 0, 6500},
    // Over the repair at the start or the append after the conversion;
    // file_holder waits for a journal that does not exist yet.
    {Fault::kHeldJournal, Sign::kHostStart, 0, 9000},
    // An earlier counts file held when the conversion would create it, or
    // the new one held when the journal step reads it.
    {Fault::kHeldCounts, Sign::kHostStart, 0, 8000},
};
constexpr int kHoldLow = 100, kHoldHigh = 5000;

enum class Check {
  kExactlyOnce,
  kOnlyHandedOut,
  kRightCount,
  kSuccessReachedBoth,
  kHistoryKept,
  kToolFlagsUnfinished,
  kOneOfTwo,
  kNoFaultSucceeds,
  kNoLockLeft,
  kNoHang,
  kNoUtilityLeft,
  kHostRuns,
};
struct CheckRow {
  Check check;
  const char* name;
  const char* what;
};
constexpr CheckRow kChecks[] = {
    {Check::kExactlyOnce, "exactly once",
     "every record the terminal handed out is found exactly once: in the journal's complete "
     "blocks, in a kept a.dat copy or in the current a.dat"},
    {Check::kOnlyHandedOut, "nothing invented",
     "every record found was handed out by the terminal, as the terminal wrote it"},
    {Check::kRightCount, "right count",
     "every count in the journal is the terminal's quantity in exact thousandths"},
    {Check::kSuccessReachedBoth, "success means both",
     "a host that heard success finds the counts of its download in its counts file and in a "
     "new complete journal block"},
    {Check::kHistoryKept, "history kept", "complete journal blocks never change"},
    {Check::kToolFlagsUnfinished, "tools flag unfinished",
     "zrbhost journal flags every unfinished block, and only those"},
    {Check::kOneOfTwo, "one of two",
     "of two imports into one folder at once exactly one succeeds, and the other hears that "
     "another import is running"},
    {Check::kNoFaultSucceeds, "no fault, success", "an import with nothing in its way succeeds"},
    {Check::kNoLockLeft, "no lock left", "no program holds kolektor.lock after the round"},
    {Check::kNoHang, "no hang", "every host ends within its time bound"},
    {Check::kNoUtilityLeft, "no utility left",
     "no IR_READ2.EXE of a host is left running or suspended after the next import"},
    {Check::kHostRuns, "host runs", "zrbhost and the terminal run as the soak asks them to"},
};

const char* CheckName(Check check) {
  for (const CheckRow& row : kChecks)
    if (row.check == check) return row.name;
  return "?";
}

constexpr DWORD kHostBound = 90000;    // one host, its import included
constexpr DWORD kRoundBound = 150000;  // everything of one round
constexpr std::size_t kMaxScans = 10;

// ---------------------------------------------------------- settings, dice

struct Settings {
  std::uint64_t seed = 0;
  int lanes = 4;
  int rounds = 40;
  double minutes = 0;
  int replay = 0;  // a round number, or 0
};

std::string Env(const char* name) {
  char value[256];
  const DWORD got = GetEnvironmentVariableA(name, value, sizeof value);
  return got > 0 && got < sizeof value ? std::string(value, got) : std::string();
}

std::uint64_t Mix(std::uint64_t x) {  // splitmix64
  x += 0x9E3779B97F4A7C15ull;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
  return x ^ (x >> 31);
}

Settings ReadSettings() {
  Settings s;
  const std::string seed = Env("KOLEKTOR_SOAK_SEED");
  if (!seed.empty()) {
    s.seed = std::strtoull(seed.c_str(), nullptr, 10);
  } else {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    s.seed = Mix(static_cast<std::uint64_t>(now.QuadPart) ^ GetCurrentProcessId()) % 1000000000;
  }
  if (const std::string v = Env("KOLEKTOR_SOAK_LANES"); !v.empty())
    s.lanes = std::max(1, std::atoi(v.c_str()));
  if (const std::string v = Env("KOLEKTOR_SOAK_ROUNDS"); !v.empty())
    s.rounds = std::max(1, std::atoi(v.c_str()));
  if (const std::string v = Env("KOLEKTOR_SOAK_MINUTES"); !v.empty())
    s.minutes = std::atof(v.c_str());
  if (const std::string v = Env("KOLEKTOR_SOAK_REPLAY"); !v.empty())
    s.replay = std::max(0, std::atoi(v.c_str()));
  return s;
}

// A round's dice depend only on the seed and the round's number.
struct Dice {
  std::mt19937_64 engine;
  Dice(std::uint64_t seed, int round)
      : engine(Mix(seed ^ Mix(static_cast<std::uint64_t>(round)))) {}
  int Between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(engine); }
  double Fraction() { return std::uniform_real_distribution<double>(0.0, 1.0)(engine); }
  template <typename Row, std::size_t N>
  const Row& Pick(const Row (&rows)[N]) {
    int total = 0;
    for (const Row& r : rows) total += r.weight;
    int x = Between(0, total - 1);
    for (const Row& r : rows) {
      if (x < r.weight) return r;
      x -= r.weight;
    }
    return rows[0];
  }
};

// --------------------------------------------------------- what is counted

struct Scan {
  std::string code, quantity;
  std::string thousandths;  // "%05ld" of the exact thousandths
  int round = 0;
  std::size_t offset = 0;  // of its line in its round's terminal bytes
};

// As a person types it on the terminal: mostly whole numbers and weights
// of a few decimals (up to 8 characters, digits and one point), now and
// then a large one. The exact thousandths are the digits themselves.
void Quantity(Dice& dice, Scan& scan) {
  const int kind = dice.Between(0, 19);
  int whole = 0, decimals = 0;
  if (kind < 7) {
    whole = dice.Between(1, 999);
  } else if (kind < 13) {
    whole = dice.Between(0, 999), decimals = dice.Between(1, 2);
  } else if (kind < 19 || dice.Between(0, 1) == 0) {
    whole = dice.Between(0, 9999), decimals = 3;
  } else {
    whole = dice.Between(10000, 999999), decimals = dice.Between(0, 1);
  }
  int fraction = 0;
  for (int i = 0; i < decimals; ++i) fraction = fraction * 10 + dice.Between(0, 9);
  if (whole == 0 && fraction == 0) whole = 1;
  scan.quantity = std::to_string(whole);
  long long exact = whole * 1000ll;
  if (decimals > 0) {
    char digits[8];
    std::snprintf(digits, sizeof digits, "%0*d", decimals, fraction);
    scan.quantity += std::string(".") + digits;
    exact += fraction * (decimals == 1 ? 100 : decimals == 2 ? 10 : 1);
  }
  char formatted[24];
  std::snprintf(formatted, sizeof formatted, "%05lld", exact);
  scan.thousandths = formatted;
}

struct RoundPlan {
  int number = 0;
  const FaultRow* fault = nullptr;
  const MomentRow* moment = nullptr;  // kKill
  int kill_after = 0;
  const DiskRow* disk = nullptr;  // kFullDisk
  double point = 0;               // kFullDisk, kCutDownload: where, 0..1
  int cut_exit = 0;               // kCutDownload
  const HoldRow* hold = nullptr;
  int hold_after = 0, hold_ms = 0;
  bool earlier_counts = false;  // kHeldCounts
  int second_after = -1;        // kSecondImport: -1 with the first, else ms after its lock
  std::vector<Scan> scans;
  std::string Describe() const {
    std::string d = fault->name;
    if (moment != nullptr)
      d += " " + std::string(moment->name) + " (+" + std::to_string(kill_after) + " ms)";
    if (disk != nullptr)
      d += " " + std::string(disk->name) + " (at " + std::to_string(int(point * 100)) + "%)";
    if (fault->fault == Fault::kCutDownload)
      d += " at " + std::to_string(int(point * 100)) + "%, exit code " + std::to_string(cut_exit);
    if (hold != nullptr)
      d += " from +" + std::to_string(hold_after) + " ms for " + std::to_string(hold_ms) + " ms" +
           (earlier_counts ? " (an earlier counts file)" : "");
    if (fault->fault == Fault::kSecondImport)
      d += second_after < 0 ? " (both at once)"
                            : " (" + std::to_string(second_after) + " ms after the first's lock)";
    return d;
  }
};

RoundPlan Plan(std::uint64_t seed, int number) {
  Dice dice(seed, number);
  RoundPlan p;
  p.number = number;
  p.fault = &dice.Pick(kFaults);
  switch (p.fault->fault) {
    case Fault::kKill:
      p.moment = &dice.Pick(kKillMoments);
      p.kill_after = dice.Between(p.moment->low, p.moment->high);
      break;
    case Fault::kFullDisk:
      p.disk = &kDiskTargets[dice.Between(0, 2)];
      p.point = dice.Fraction();
      break;
    case Fault::kCutDownload:
      p.point = dice.Fraction();
      p.cut_exit = dice.Between(0, 1);
      break;
    case Fault::kSecondImport:
      p.second_after = dice.Between(0, 3) == 0 ? -1 : dice.Between(0, 3000);
      break;
    case Fault::kHeldData:
    case Fault::kHeldJournal:
    case Fault::kHeldCounts:
      for (const HoldRow& h : kHolds)
        if (h.fault == p.fault->fault) p.hold = &h;
      p.hold_after = dice.Between(p.hold->low, p.hold->high);
      p.hold_ms = dice.Between(kHoldLow, kHoldHigh);
      p.earlier_counts = dice.Between(0, 1) == 1 && p.fault->fault == Fault::kHeldCounts;
      break;
    case Fault::kNone:
      break;
  }
  // Codes of this round only: its number, the scan's, random digits; 8 to
  // 20 characters, as the terminal takes them.
  const int count = dice.Between(1, static_cast<int>(kMaxScans));
  for (int i = 0; i < count; ++i) {
    Scan s;
    char head[16];
    std::snprintf(head, sizeof head, "%05d%03d", number % 100000, i);
    s.code = head;
    const int extra = dice.Between(0, 12);
    for (int k = 0; k < extra; ++k) s.code += static_cast<char>('0' + dice.Between(0, 9));
    s.round = number;
    Quantity(dice, s);
    // The terminal keeps its records as "code,quantity" CR LF, in order.
    s.offset = p.scans.empty() ? 0
                               : p.scans.back().offset + p.scans.back().code.size() + 1 +
                                     p.scans.back().quantity.size() + 2;
    p.scans.push_back(s);
  }
  return p;
}

// ----------------------------------------------------------- processes

std::mutex g_print;
void Say(const std::string& line) {
  std::lock_guard<std::mutex> hold(g_print);
  std::fputs((line + "\n").c_str(), stdout);
  std::fflush(stdout);
}

// Our environment without anything of the soak's or the stand-in's, and
// the lane's settings after it.
std::string EnvironmentBlock(const std::vector<std::pair<std::string, std::string>>& set) {
  std::string block;
  LPCH own = GetEnvironmentStringsA();
  for (const char* p = own; *p != '\0'; p += std::strlen(p) + 1)
    if (std::strncmp(p, "KOLEKTOR_", 9) != 0) block.append(p, std::strlen(p) + 1);
  FreeEnvironmentStringsA(own);
  for (const auto& [name, value] : set) block += name + "=" + value + '\0';
  block += '\0';
  return block;
}

// Only one program is started at a time with inherited handles, so that
// no lane's output file leaks into another lane's programs.
std::mutex g_spawn;

// Starts a Windows program with its output into `output` ("NUL": none).
PROCESS_INFORMATION Spawn(const std::string& line, const std::string& env,
                          const std::string& output) {
  std::lock_guard<std::mutex> hold(g_spawn);
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  const HANDLE out = CreateFileA(output.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 &inherit, CREATE_ALWAYS, 0, nullptr);
  if (out == INVALID_HANDLE_VALUE) return PROCESS_INFORMATION{};
  PROCESS_INFORMATION info = StartProgram(line, {"", CREATE_NO_WINDOW, out, nullptr, env.c_str()});
  CloseHandle(out);
  return info;
}

void Close(PROCESS_INFORMATION& info) {
  if (info.hProcess != nullptr) CloseHandle(info.hProcess);
  if (info.hThread != nullptr) CloseHandle(info.hThread);
  info = PROCESS_INFORMATION{};
}

// Why the last RunToEnd of this thread gave -1.
thread_local std::string g_run_failure;

// Runs a program to its end (at most `bound` ms); its exit code, or -1.
long RunToEnd(const std::string& line, const std::string& env, const std::string& output,
              DWORD bound = 60000) {
  g_run_failure = "its own exit code";
  PROCESS_INFORMATION info = Spawn(line, env, output);
  if (info.hProcess == nullptr) {
    g_run_failure = "could not start it (error " + std::to_string(GetLastError()) + ")";
    return -1;
  }
  DWORD code = 0;
  const bool ended = WaitForSingleObject(info.hProcess, bound) == WAIT_OBJECT_0 &&
                     GetExitCodeProcess(info.hProcess, &code);
  if (!ended) {
    TerminateProcess(info.hProcess, 1);
    g_run_failure = "still running after " + std::to_string(bound) + " ms";
  }
  Close(info);
  return ended ? static_cast<long>(code) : -1;
}

struct Seen {
  DWORD id, parent;
};
// The running processes of that program name.
std::vector<Seen> Running(const char* name) {
  std::vector<Seen> found;
  const HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snap == INVALID_HANDLE_VALUE) return found;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snap, &entry); more; more = Process32Next(snap, &entry))
    if (lstrcmpiA(entry.szExeFile, name) == 0)
      found.push_back({entry.th32ProcessID, entry.th32ParentProcessID});
  CloseHandle(snap);
  return found;
}

void EndProcess(DWORD id) {
  if (const HANDLE p = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id)) {
    TerminateProcess(p, 1);
    WaitForSingleObject(p, 5000);
    CloseHandle(p);
  }
}

// The Unix path of a path on wine's drive Z:, the whole file system.
std::string UnixPath(const std::string& path) {
  if (path.size() < 2 || (path[0] != 'Z' && path[0] != 'z') || path[1] != ':') return "";
  std::string unix_path = path.substr(2);
  std::replace(unix_path.begin(), unix_path.end(), '\\', '/');
  return unix_path;
}

std::size_t CountLines(const std::string& bytes) {
  return static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n'));
}

bool Has(const std::string& text, const std::string& part) {
  return Flat(text).find(Flat(part)) != std::string::npos;
}

// zrbhost's lines as it meant them: a line broken to fit 80 columns goes on
// in lines indented under it that begin with no number.
std::vector<std::string> Unbroken(const std::string& listing) {
  std::vector<std::string> lines;
  for (std::size_t at = 0; at < listing.size();) {
    std::size_t end = listing.find('\n', at);
    if (end == std::string::npos) end = listing.size();
    std::string line = listing.substr(at, end - at);
    at = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::size_t text = line.find_first_not_of(' ');
    if (!lines.empty() && text != std::string::npos && text > 0 &&
        (line[text] < '0' || line[text] > '9'))
      lines.back() += " " + line.substr(text);
    else
      lines.push_back(line);
  }
  return lines;
}

// ------------------------------------------------------------ the journal

constexpr std::string_view kHeaderStart = "------------ [IMPORT WYKONANY DNIA: ";
constexpr std::string_view kHeaderEnd = "] ------------";
constexpr std::size_t kHeaderBytes = 2 + 36 + 19 + 14 + 2;  // empty line, header, CR LF

struct Block {
  std::size_t start = 0, end = 0;
  std::vector<std::string> lines;
  bool unfinished = false;
};

bool IsHeader(const std::string& line) {
  return line.size() >= kHeaderStart.size() + kHeaderEnd.size() &&
         line.compare(0, kHeaderStart.size(), kHeaderStart) == 0 &&
         line.compare(line.size() - kHeaderEnd.size(), kHeaderEnd.size(), kHeaderEnd) == 0;
}

// The journal's blocks as this soak reads it: a block opens with its
// header line; the empty line before a header belongs to it. A block whose
// last line is cut, or whose next header follows without that empty line,
// is unfinished; so is everything from `unfinished_from` (the size its
// record of an append gives) on.
std::vector<Block> ReadJournal(const std::string& bytes, std::size_t unfinished_from) {
  std::vector<Block> blocks;
  const std::size_t limit = std::min(bytes.size(), unfinished_from);
  std::size_t at = 0;
  bool previous_empty = false;
  std::size_t previous_start = 0;
  while (at < limit) {
    const std::size_t end = bytes.find("\r\n", at);
    const bool cut = end == std::string::npos || end + 2 > limit;
    const std::string line = bytes.substr(at, (cut ? limit : end) - at);
    const std::size_t next = cut ? limit : end + 2;
    if (!cut && IsHeader(line)) {
      if (!blocks.empty()) {
        if (previous_empty) {
          blocks.back().lines.pop_back();  // the empty line is the new block's
        } else {
          blocks.back().unfinished = true;  // cut in the middle of a line
        }
        blocks.back().end = previous_empty ? previous_start : at;
      }
      Block b;
      b.start = previous_empty ? previous_start : at;
      blocks.push_back(b);
    } else if (!blocks.empty()) {
      blocks.back().lines.push_back(line);
      if (cut) blocks.back().unfinished = true;
    }
    previous_empty = !cut && line.empty();
    previous_start = at;
    at = next;
  }
  if (!blocks.empty()) blocks.back().end = limit;
  if (unfinished_from < bytes.size()) {
    Block tail;
    tail.start = unfinished_from;
    tail.end = bytes.size();
    tail.unfinished = true;
    blocks.push_back(tail);
  }
  return blocks;
}

// The journal's size before an append that did not finish, from its record
// beside the journal ("digits CR LF"); npos when there is none, or when it
// was cut while written itself (the journal was not touched then).
std::size_t UnfinishedFrom(const std::string& journal_path) {
  const std::string record = ReadFileBytes(journal_path + ".append");
  if (record.size() < 3 || record.compare(record.size() - 2, 2, "\r\n") != 0)
    return std::string::npos;
  std::size_t size = 0;
  for (std::size_t i = 0; i + 2 < record.size(); ++i) {
    if (record[i] < '0' || record[i] > '9') return std::string::npos;
    size = size * 10 + static_cast<std::size_t>(record[i] - '0');
  }
  return size;
}

// The import's own names: the data file, and its kept copies
// a.dat.YYYYMMDD-HHMMSS with -2 to -99 within one second.
bool IsDataOrKeptCopy(const std::string& name) {
  if (name == "a.dat") return true;
  if (name.size() < 21 || name.size() > 24 || name.compare(0, 6, "a.dat.") != 0 || name[14] != '-')
    return false;
  for (std::size_t i = 6; i < name.size(); ++i) {
    const bool digit = name[i] >= '0' && name[i] <= '9';
    if (i == 14 || (i == 21 && name[i] == '-' && name.size() > 22)) continue;
    if (!digit) return false;
  }
  return true;
}

// Bytes of the terminal whose last record is whole (or no bytes at all).
bool EndsCleanly(const std::string& bytes) {
  return bytes.empty() || bytes.back() == '\n' || bytes.back() == '\r';
}

// "INW;code;thousandths"
bool SplitCount(const std::string& line, std::string& code, std::string& thousandths) {
  if (line.compare(0, 4, "INW;") != 0) return false;
  const std::size_t semicolon = line.find(';', 4);
  if (semicolon == std::string::npos) return false;
  code = line.substr(4, semicolon - 4);
  thousandths = line.substr(semicolon + 1);
  return true;
}

// The lines of a text ended by CR LF; a last line without them too.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  for (std::size_t at = 0; at < text.size();) {
    std::size_t end = text.find("\r\n", at);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(at, end - at));
    at = end + 2;
  }
  return lines;
}

// The codes of counts lines, in order; whatever is no counts line stays whole.
std::vector<std::string> CodesOf(const std::vector<std::string>& lines) {
  std::vector<std::string> codes;
  for (const std::string& line : lines) {
    std::string code, thousandths;
    codes.push_back(SplitCount(line, code, thousandths) ? code : line);
  }
  return codes;
}

// ------------------------------------------------------------------ lanes

struct Violation {
  Check check;
  std::string detail;
};

struct Handout {
  int round = 0;
  std::string bytes;  // what the download wrote into a.dat
};

struct HostTrace {
  HANDLE process = nullptr;  // kept open: its id stays its own
  DWORD id = 0;
  int round = 0;
  bool killed = false;
};

struct Lane {
  int index = 0;
  std::string root, dir, terminal, work;  // dir: invent_dir, with a backslash
  std::map<std::string, Scan> scans;      // every code scanned in this lane
  std::map<std::string, int> handed;      // times each code was handed out
  std::vector<Handout> handouts;
  std::string history;  // the journal's complete blocks after the last round
  std::vector<HostTrace> hosts;
  bool lingering = false;     // a killed host's utility may still stand
  int last_whole_import = 0;  // the last round whose host was not killed
};

struct Soak {
  Settings settings;
  std::string root;
  std::string limited_host;  // the script, as wine starts it
  std::mutex mutex;
  std::vector<std::string> failures;  // one line per violated round
  std::map<std::string, int> faults_run;
  std::atomic<int> rounds{0}, successes{0}, records{0};
};

struct Host {
  PROCESS_INFORMATION info{};
  bool limited = false;
  std::string counts, output, result;
  DWORD started = 0;
  bool running = false, killed = false, hung = false;
  long exit_code = -1;
  std::string said;
  // Through limited_host.sh the output past the full disk is lost; zrbhost's
  // exit code 0 is the plug-in's 1, and so is 3: a read that brought no
  // position, told as a warning.
  bool Succeeded() const {
    return !killed && !hung && (exit_code == 0 || exit_code == 3) &&
           (limited || Has(said, "wynik: 1"));
  }
  // When it ended, and when it showed its first message box: it had taken
  // the folder's lock by then.
  DWORD ended_at = 0, boxes_at = 0;
  void Look(DWORD now) {
    if (running && !limited && boxes_at == 0 && Has(ReadFileBytes(output), "okno komunikatu"))
      boxes_at = now;
  }
  bool Ended() {
    if (!running) return true;
    if (limited) {
      if (!Exists(result)) return false;
      exit_code = std::atol(ReadFileBytes(result).c_str());
    } else {
      if (WaitForSingleObject(info.hProcess, 0) != WAIT_OBJECT_0) return false;
      DWORD code = 0;
      GetExitCodeProcess(info.hProcess, &code);
      exit_code = killed ? -1 : static_cast<long>(code);
    }
    running = false;
    ended_at = GetTickCount();
    said = ReadFileBytes(output);
    if (boxes_at == 0 && Has(said, "okno komunikatu")) boxes_at = ended_at;
    return true;
  }
};

std::string HostArguments(const std::string& counts) {
  return "--yes --set port=1 --set baud=9600 --set \"timeout=1 min\" import \"" + counts + "\"";
}

bool StartHost(Soak& soak, Host& host, const std::string& env, std::uint64_t disk_limit) {
  host.started = GetTickCount();
  host.running = true;
  if (host.limited) {
    const std::string line = "\"" + soak.limited_host + "\" " + std::to_string(disk_limit) + " \"" +
                             UnixPath(host.output) + "\" \"" + UnixPath(host.result) + "\" \"" +
                             UnixPath(BinDir() + "zrbhost.exe") + "\" " +
                             HostArguments(host.counts);
    std::lock_guard<std::mutex> hold(g_spawn);
    std::string mutable_line = line;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    // A Unix program: wine starts it and gives no handle (so not through
    // StartProgram, whose null handle means a failure).
    if (!CreateProcessA(nullptr, mutable_line.data(), nullptr, nullptr, FALSE, 0,
                        const_cast<char*>(env.c_str()), nullptr, &startup, &info))
      return host.running = false;
    Close(info);
    return true;
  }
  host.info =
      Spawn("\"" + BinDir() + "zrbhost.exe\" " + HostArguments(host.counts), env, host.output);
  return host.running = host.info.hProcess != nullptr;
}

void Kill(Host& host) {
  if (!host.running || host.limited) return;
  TerminateProcess(host.info.hProcess, 9);
  WaitForSingleObject(host.info.hProcess, 10000);
  host.killed = true;
}

// Another program holding one of the import's files.
struct Holder {
  PROCESS_INFORMATION info{};
  std::string path;
};

class RoundRun {
 public:
  RoundRun(Soak& soak, Lane& lane, const RoundPlan& plan) : soak_(soak), lane_(lane), plan_(plan) {}
  // False when the lane must stop: a violation, reported and kept.
  bool Run();

 private:
  void Violate(Check check, const std::string& detail) { violations_.push_back({check, detail}); }
  bool PrepareTerminal();
  std::string HostEnvironment() const;
  void Watch();
  void CountHandouts();
  void CheckCounts(const std::vector<std::string>& lines, const std::string& where);
  void CheckHosts();
  void CheckFiles();
  void CheckListing(const std::vector<Block>& blocks);
  void CheckProcesses();
  void Report();
  // The stand-in's log of this round's downloads, one line each as it
  // starts; on a full disk the line may be cut, but is there.
  std::string StartsLog() const {
    return lane_.work + "r" + std::to_string(plan_.number) + "-starts.log";
  }

  Soak& soak_;
  Lane& lane_;
  const RoundPlan& plan_;
  std::string bytes_;  // the terminal's records of this round
  std::string cut_path_;
  std::uint64_t disk_limit_ = 0;
  Host first_, second_;
  bool second_started_ = false;
  std::vector<Holder> holders_;
  std::vector<Violation> violations_;
  std::vector<Handout> round_handouts_;
};

std::string RoundRun::HostEnvironment() const {
  std::vector<std::pair<std::string, std::string>> set = {{"KOLEKTOR_TERMINAL", lane_.terminal},
                                                          {"KOLEKTOR_STANDIN_LOG", StartsLog()}};
  if (plan_.fault->fault == Fault::kCutDownload) {
    set.emplace_back("KOLEKTOR_STANDIN_DATA", cut_path_);
    set.emplace_back("KOLEKTOR_STANDIN_EXIT", std::to_string(plan_.cut_exit));
  }
  return EnvironmentBlock(set);
}

// The round's goods loaded into the terminal, its codes scanned one by one
// as a person scans them; the terminal's records are then this round's
// and no other's.
bool RoundRun::PrepareTerminal() {
  std::string table;
  for (const Scan& s : plan_.scans) table += s.code + ",Towar,1.00,1.000\r\n";
  WriteFileBytes(lane_.terminal + "table.txt", table);
  WriteFileBytes(lane_.terminal + "collected.txt", "");
  const std::string env = EnvironmentBlock({{"KOLEKTOR_TERMINAL", lane_.terminal}});
  for (const Scan& s : plan_.scans) {
    const long code =
        RunToEnd("\"" + BinDir() + "terminal.exe\" scan " + s.code + " " + s.quantity, env, "NUL");
    if (code != 0) {
      Violate(Check::kHostRuns, "terminal scan " + s.code + " " + s.quantity + " ended with " +
                                    std::to_string(code) +
                                    (code == -1 ? ": " + g_run_failure : ""));
      return false;
    }
  }
  bytes_ = ReadFileBytes(lane_.terminal + "collected.txt");
  std::string expected;
  for (const Scan& s : plan_.scans) expected += s.code + "," + s.quantity + "\r\n";
  if (bytes_ != expected) {
    Violate(Check::kHostRuns, "the terminal holds other records than were scanned");
    return false;
  }
  std::size_t offset = 0;
  for (const Scan& s : plan_.scans) lane_.scans[s.code] = s;
  return true;
}

// The round's import and its fault, to the end of every program it
// started, within the round's bound.
void RoundRun::Watch() {
  const std::string env = HostEnvironment();
  const std::string tag = "r" + std::to_string(plan_.number);
  first_.counts = lane_.dir + "INW\\" + tag + "a.txt";
  first_.output = lane_.work + tag + "a.out";
  first_.result = lane_.work + tag + "a.result";
  first_.limited = plan_.fault->fault == Fault::kFullDisk;
  second_.counts = lane_.dir + "INW\\" + tag + "b.txt";
  second_.output = lane_.work + tag + "b.out";
  if (plan_.earlier_counts) WriteFileBytes(first_.counts, "INW;0;01000\r\n");
  if (!StartHost(soak_, first_, env, disk_limit_)) {
    Violate(Check::kHostRuns, "zrbhost could not be started");
    return;
  }
  const Fault fault = plan_.fault->fault;
  if (fault == Fault::kSecondImport && plan_.second_after < 0)
    second_started_ = StartHost(soak_, second_, env, 0);
  const std::string data = lane_.dir + "a.dat", record = lane_.dir + "Inwent.bak.append",
                    lock = lane_.dir + "kolektor.lock";
  DWORD sign = 0;  // when the fault's sign was seen
  bool record_seen = false, done = false;
  DWORD downloading = 0;
  const DWORD start = GetTickCount();
  while (true) {
    const DWORD now = GetTickCount();
    if (second_started_) first_.Look(now), second_.Look(now);
    const bool first_ended = first_.Ended();
    const bool second_ended = !second_started_ || second_.Ended();
    if (first_ended && second_ended) break;
    if (now - start > kRoundBound || (!first_ended && now - first_.started > kHostBound) ||
        (!second_ended && now - second_.started > kHostBound)) {
      for (Host* h : {&first_, &second_}) {
        if (!h->running || (h == &second_ && !second_started_)) continue;
        h->hung = true;
        Violate(Check::kNoHang, std::string(h == &first_ ? "the host" : "the second host") +
                                    " still runs after " +
                                    std::to_string((now - h->started) / 1000) + " s");
        if (!h->limited) Kill(*h);
        h->running = false;
      }
      break;
    }
    if (!done && !first_ended) {
      switch (fault) {
        case Fault::kKill: {
          // The last message box reported: the download begins. A record of
          // an append seen before it is an earlier import's, which this one
          // repairs first.
          if (downloading == 0 && Has(ReadFileBytes(first_.output), "okno komunikatu [sciezka]"))
            downloading = now;
          if (sign == 0) {
            switch (plan_.moment->moment) {
              case Moment::kAnyTime:
                sign = first_.started;
                break;
              case Moment::kUtilityStart:
                sign = downloading;
                break;
              case Moment::kAppending:
                if (downloading != 0 && Exists(record)) sign = now;
                break;
              case Moment::kBlockComplete:
                if (downloading != 0 && Exists(record))
                  record_seen = true;
                else if (record_seen)
                  sign = now;
                break;
            }
          }
          if (sign != 0 && now - sign >= static_cast<DWORD>(plan_.kill_after)) {
            Kill(first_);
            done = true;
          }
          break;
        }
        case Fault::kSecondImport:
          if (sign == 0 && plan_.second_after >= 0 && Exists(lock)) sign = now;
          if (sign != 0 && now - sign >= static_cast<DWORD>(plan_.second_after)) {
            second_started_ = StartHost(soak_, second_, env, 0);
            done = true;
          }
          break;
        case Fault::kHeldData:
        case Fault::kHeldJournal:
        case Fault::kHeldCounts:
          if (sign == 0 && (plan_.hold->sign == Sign::kHostStart || Exists(data))) sign = now;
          if (sign != 0 && now - sign >= static_cast<DWORD>(plan_.hold_after)) {
            Holder h;
            h.path = fault == Fault::kHeldData      ? data
                     : fault == Fault::kHeldJournal ? lane_.dir + "Inwent.bak"
                                                    : first_.counts;
            h.info = HoldFile(h.path, static_cast<DWORD>(plan_.hold_ms), false);
            holders_.push_back(h);
            done = true;
          }
          break;
        default:
          done = true;
      }
    }
    // The narrow windows of a kill are met by watching without pausing,
    // from shortly before the journal step (5 s after the download).
    if (fault == Fault::kKill && !done && plan_.moment->moment >= Moment::kAppending) {
      if (downloading != 0 && now - downloading > 4000) {
        Sleep(0);
        continue;
      }
    }
    Sleep(1);
  }
  for (Holder& h : holders_) {
    // file_holder waits up to 10 s for its file, then holds it at most 5 s.
    if (WaitForSingleObject(h.info.hProcess, 20000) != WAIT_OBJECT_0)
      TerminateProcess(h.info.hProcess, 1);
    Close(h.info);
  }
}

// What the terminal handed out this round: each download the stand-in's
// log shows wrote the terminal's records into a.dat, or the part of them
// that the cut download or the full disk let through. A killed host's
// download may have died before it wrote: a.dat then tells, as the host
// could no longer touch it, unless its conversion had already run (its
// counts file exists), which happens only after a complete download.
void RoundRun::CountHandouts() {
  const std::string log = ReadFileBytes(StartsLog());
  const std::size_t starts = CountLines(log) + (log.empty() || log.back() == '\n' ? 0 : 1);
  std::string written = bytes_;
  if (plan_.fault->fault == Fault::kCutDownload)
    written = ReadFileBytes(cut_path_);
  else if (plan_.fault->fault == Fault::kFullDisk)
    written = bytes_.substr(
        0, static_cast<std::size_t>(std::min<std::uint64_t>(disk_limit_, bytes_.size())));
  std::vector<std::string> downloads;
  if (first_.killed && starts > 0) {
    const std::string now = lane_.dir + "a.dat";
    if (Exists(now)) {
      const std::string in_file = ReadFileBytes(now);
      if (!in_file.empty() && bytes_.compare(0, in_file.size(), in_file) == 0)
        downloads.push_back(in_file);
    } else if (Exists(first_.counts)) {
      downloads.push_back(written);
    }
  } else {
    for (std::size_t i = 0; i < starts; ++i) downloads.push_back(written);
  }
  for (const std::string& d : downloads) {
    round_handouts_.push_back({plan_.number, d});
    lane_.handouts.push_back({plan_.number, d});
    for (const Scan& s : plan_.scans)
      if (s.offset < d.size()) ++lane_.handed[s.code];
  }
}

// The counts lines of a download: its whole records, in exact thousandths.
std::string CountsOf(const Lane& lane, const Handout& h) {
  std::string counts;
  std::vector<const Scan*> in_order;
  for (const auto& entry : lane.scans)
    if (entry.second.round == h.round) in_order.push_back(&entry.second);
  std::sort(in_order.begin(), in_order.end(),
            [](const Scan* a, const Scan* b) { return a->offset < b->offset; });
  for (const Scan* s : in_order) {
    // A record counts once its CR is there (the conversion ignores LF).
    const std::size_t cr = s->offset + s->code.size() + 1 + s->quantity.size();
    if (cr < h.bytes.size()) counts += "INW;" + s->code + ";" + s->thousandths + "\r\n";
  }
  return counts;
}

// Every count is the terminal's quantity in exact thousandths.
void RoundRun::CheckCounts(const std::vector<std::string>& lines, const std::string& where) {
  int reported = 0;
  for (const std::string& line : lines) {
    std::string code, thousandths;
    const auto scan =
        SplitCount(line, code, thousandths) ? lane_.scans.find(code) : lane_.scans.end();
    if (scan == lane_.scans.end() || thousandths == scan->second.thousandths || reported++ >= 5)
      continue;
    Violate(Check::kRightCount, where + " holds " + line + " for the quantity " +
                                    scan->second.quantity + ", exactly " +
                                    scan->second.thousandths + " thousandths");
  }
}

void RoundRun::CheckHosts() {
  std::vector<Host*> hosts = {&first_};
  if (second_started_) hosts.push_back(&second_);
  int successes = 0;
  for (Host* h : hosts) {
    if (h->killed || h->hung) continue;
    if (h->exit_code != 0 && h->exit_code != 1 && h->exit_code != 3)
      Violate(Check::kHostRuns, "zrbhost ended with exit code " + std::to_string(h->exit_code) +
                                    ": " + h->said.substr(0, 300));
    if (!h->Succeeded()) continue;
    ++successes;
    soak_.successes++;
    // Its download: one of this round's, which all hold the same records.
    if (round_handouts_.size() < static_cast<std::size_t>(successes)) {
      Violate(Check::kSuccessReachedBoth,
              "success after " + std::to_string(round_handouts_.size()) + " downloads");
      continue;
    }
    // The records of its download, each once, in its order; their
    // quantities are the right count's to check.
    const std::string counts = CountsOf(lane_, round_handouts_[0]);
    const std::vector<std::string> codes = CodesOf(Lines(counts));
    const std::string got = ReadFileBytes(h->counts);
    if (CodesOf(Lines(got)) != codes || (!got.empty() && got.back() != '\n'))
      Violate(Check::kSuccessReachedBoth, "the counts file " + h->counts + " holds\n" + got +
                                              "where the terminal handed out\n" +
                                              round_handouts_[0].bytes);
    CheckCounts(Lines(got), "the counts file " + h->counts);
    const std::string journal = ReadFileBytes(lane_.dir + "Inwent.bak");
    bool found = false;
    for (const Block& b : ReadJournal(journal, UnfinishedFrom(lane_.dir + "Inwent.bak")))
      found =
          found || (!b.unfinished && b.start >= lane_.history.size() && CodesOf(b.lines) == codes);
    if (!found)
      Violate(Check::kSuccessReachedBoth,
              "no new complete journal block holds the records of the download:\n" + counts);
  }
  if (plan_.fault->fault == Fault::kNone && !first_.Succeeded() && !first_.hung)
    Violate(Check::kNoFaultSucceeds, "the import failed: " + first_.said.substr(0, 400));
  if (second_started_) {
    // A second host slowed down past the end of the first (a loaded
    // machine) imports after it, as it should; at the same time one of
    // the two must be refused.
    const Host& later =
        second_.boxes_at != 0 && (first_.boxes_at == 0 || second_.boxes_at > first_.boxes_at)
            ? second_
            : first_;
    const Host& earlier = &later == &first_ ? second_ : first_;
    const bool after =
        later.boxes_at != 0 && earlier.ended_at != 0 && later.boxes_at >= earlier.ended_at;
    const Host& loser = first_.Succeeded() ? second_ : first_;
    if (successes == 2 && !after)
      Violate(Check::kOneOfTwo, "both imported into the folder at once");
    else if (successes < 2 && !Has(loser.said, "trwa już inny import"))
      Violate(Check::kOneOfTwo, std::to_string(successes) +
                                    " successes; the other said: " + loser.said.substr(0, 400));
  }
}

// The records found in the lane's folder: the journal's complete blocks,
// kept a.dat copies, the current a.dat; against what was handed out.
void RoundRun::CheckFiles() {
  const std::string journal = ReadFileBytes(lane_.dir + "Inwent.bak");
  const std::size_t from = UnfinishedFrom(lane_.dir + "Inwent.bak");
  if (journal.compare(0, lane_.history.size(), lane_.history) != 0)
    Violate(Check::kHistoryKept, "the journal's first " + std::to_string(lane_.history.size()) +
                                     " bytes, its complete blocks after the last round, changed");
  const std::vector<Block> blocks = ReadJournal(journal, from);
  std::map<std::string, int> found;
  std::size_t history = 0;
  int reported = 0;
  const Block* last_block = nullptr;
  for (const Block& b : blocks) {
    if (b.unfinished) continue;
    history = b.end;
    last_block = &b;
    if (b.start >= lane_.history.size()) CheckCounts(b.lines, "the journal");
    for (const std::string& line : b.lines) {
      std::string code, thousandths;
      const auto scan =
          SplitCount(line, code, thousandths) ? lane_.scans.find(code) : lane_.scans.end();
      if (scan == lane_.scans.end()) {
        Violate(Check::kOnlyHandedOut,
                "the journal holds \"" + line + "\", which was never scanned");
        continue;
      }
      ++found[code];
    }
  }
  // Two downloads cut early can be the same bytes ("008" of two codes
  // that begin alike): each file takes a download no other file took, and
  // only a file left with none counts one again, which shows a record in
  // two places.
  std::vector<bool> taken(lane_.handouts.size(), false);
  WIN32_FIND_DATAA entry;
  const HANDLE search = FindFirstFileA((lane_.dir + "a.dat*").c_str(), &entry);
  for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &entry)) {
    const std::string name = entry.cFileName;
    if (!IsDataOrKeptCopy(name)) continue;  // a name the import gives what is imported already
    const std::string bytes = ReadFileBytes(lane_.dir + name);
    if (bytes.empty()) continue;
    const Handout* match = nullptr;
    std::size_t match_at = 0;
    for (std::size_t i = 0; i < lane_.handouts.size(); ++i)
      if (lane_.handouts[i].bytes == bytes && (match == nullptr || taken[match_at] || !taken[i]))
        match = &lane_.handouts[i], match_at = i;
    if (match != nullptr) taken[match_at] = true;
    if (match == nullptr) {
      Violate(Check::kOnlyHandedOut, name + " holds bytes that no download wrote:\n" + bytes);
      continue;
    }
    // A host that died after the journal's block was complete, before it
    // deleted a.dat, leaves both: one download, already in the journal,
    // which the next import must not keep as unimported.
    if (name == "a.dat" && last_block != nullptr && EndsCleanly(bytes) &&
        CodesOf(Lines(CountsOf(lane_, *match))) == CodesOf(last_block->lines))
      continue;
    for (const auto& [code, s] : lane_.scans)
      if (s.round == match->round && s.offset < bytes.size()) ++found[code];
  }
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
  reported = 0;
  for (const auto& [code, s] : lane_.scans) {
    const int handed = lane_.handed.count(code) ? lane_.handed.at(code) : 0;
    const int seen = found.count(code) ? found.at(code) : 0;
    if (seen == handed || reported++ >= 8) continue;
    const std::string record = code + "," + s.quantity + " (round " + std::to_string(s.round) + ")";
    if (handed == 0)
      Violate(Check::kOnlyHandedOut,
              record + " was never handed out, yet found " + std::to_string(seen) + " times");
    else
      Violate(Check::kExactlyOnce, record + " handed out " + std::to_string(handed) +
                                       " times, found " + std::to_string(seen) + " times");
  }
  CheckListing(blocks);
  lane_.history = journal.substr(0, history);
}

// zrbhost journal flags exactly the blocks this soak reads as unfinished.
void RoundRun::CheckListing(const std::vector<Block>& blocks) {
  if (!Exists(lane_.dir + "Inwent.bak")) return;
  const std::string out = lane_.work + "r" + std::to_string(plan_.number) + "-journal.out";
  const long code =
      RunToEnd("\"" + BinDir() + "zrbhost.exe\" journal \"" + lane_.dir + "Inwent.bak\"",
               EnvironmentBlock({}), out);
  const std::string listing = ReadFileBytes(out);
  if (code != 0) {
    Violate(Check::kHostRuns,
            "zrbhost journal ended with " + std::to_string(code) + ": " + listing);
    return;
  }
  std::vector<int> flagged, unfinished;
  std::size_t rows = 0;
  for (const std::string& line : Unbroken(listing)) {
    std::size_t i = 0;
    while (i < line.size() && line[i] == ' ') ++i;
    if (i == 0 || i >= line.size() || line[i] < '0' || line[i] > '9') continue;
    ++rows;
    if (Has(line, "niedokończony")) flagged.push_back(std::atoi(line.c_str() + i));
  }
  for (std::size_t n = 0; n < blocks.size(); ++n)
    if (blocks[n].unfinished) unfinished.push_back(static_cast<int>(n + 1));
  if (rows != blocks.size() || flagged != unfinished) {
    std::string mine, its;
    for (int n : unfinished) mine += " " + std::to_string(n);
    for (int n : flagged) its += " " + std::to_string(n);
    Violate(Check::kToolFlagsUnfinished, "the journal has " + std::to_string(blocks.size()) +
                                             " blocks, unfinished:" + mine +
                                             "; zrbhost journal lists " + std::to_string(rows) +
                                             ", flags:" + its + "\n" + listing);
  }
}

// No utility of a host of this lane outlives the next import that runs
// past its first pause: a killed host's may still stand until an import
// of the lane that was not killed itself has run (one killed in its first
// pause never reached the step that ends it), none other; and no lock is
// held once everything of the round has ended.
void RoundRun::CheckProcesses() {
  if (!first_.killed) lane_.last_whole_import = plan_.number;
  if (first_.killed) {
    // The job ends the utility with its host; give it a moment.
    for (int i = 0; i < 300; ++i) {
      bool left = false;
      for (const Seen& s : Running("IR_READ2.EXE"))
        left = left || s.parent == first_.info.dwProcessId;
      if (!left) break;
      Sleep(10);
    }
  }
  bool lingering = false;
  for (const Seen& s : Running("IR_READ2.EXE")) {
    for (const HostTrace& h : lane_.hosts) {
      if (h.id != s.parent) continue;
      if (h.killed && h.round > lane_.last_whole_import) {
        lingering = true;
        continue;
      }
      Violate(Check::kNoUtilityLeft,
              "IR_READ2.EXE (process " + std::to_string(s.id) + ") of the host of round " +
                  std::to_string(h.round) + (h.killed ? ", killed," : "") +
                  " still exists after round " + std::to_string(plan_.number));
    }
  }
  lane_.lingering = lingering;
  const std::string lock = lane_.dir + "kolektor.lock";
  if (!lingering && Exists(lock) && HeldElsewhere(lock))
    Violate(Check::kNoLockLeft, lock + " is held after the round");
}

void RoundRun::Report() {
  std::string heard;
  for (const Host* h : {&first_, &second_}) {
    if (h == &second_ && !second_started_) continue;
    heard += h->killed ? " killed" : h->hung ? " hung" : h->Succeeded() ? " success" : " failure";
    const std::string mark = "błąd: ";
    const std::size_t error = h->said.find(mark);
    if (!h->Succeeded() && error != std::string::npos) {
      const std::size_t from = error + mark.size();
      std::string text = h->said.substr(from, h->said.find('\n', from) - from);
      if (!text.empty() && text.back() == '\r') text.pop_back();
      heard += " (" + text + ")";
    }
  }
  std::size_t handed = 0;
  for (const Handout& h : round_handouts_)
    for (const Scan& s : plan_.scans) handed += s.offset < h.bytes.size() ? 1 : 0;
  Say("round " + std::to_string(plan_.number) + " (lane " + std::to_string(lane_.index + 1) +
      "): " + plan_.Describe() + "; " + std::to_string(plan_.scans.size()) + " scanned, " +
      std::to_string(handed) + " handed out;" + heard);
  if (violations_.empty()) return;
  const std::string kept = soak_.root + "soak-failed-" + std::to_string(soak_.settings.seed) +
                           "-round" + std::to_string(plan_.number);
  std::error_code ignored;
  std::filesystem::remove_all(kept, ignored);
  std::filesystem::copy(NoSlash(lane_.root), kept, std::filesystem::copy_options::recursive,
                        ignored);
  std::string text = "VIOLATION in round " + std::to_string(plan_.number) + " (lane " +
                     std::to_string(lane_.index + 1) + ", seed " +
                     std::to_string(soak_.settings.seed) + "): " + plan_.Describe() + "\n";
  for (const Violation& v : violations_)
    text += "  [" + std::string(CheckName(v.check)) + "] " + v.detail + "\n";
  text += "  the lane's files: " + kept + "\n";
  text += "  again: scripts/soak.sh --seed " + std::to_string(soak_.settings.seed) + " --lanes " +
          std::to_string(soak_.settings.lanes) + " --replay " + std::to_string(plan_.number) +
          "   (KOLEKTOR_SOAK_SEED=" + std::to_string(soak_.settings.seed) +
          " KOLEKTOR_SOAK_LANES=" + std::to_string(soak_.settings.lanes) +
          " KOLEKTOR_SOAK_REPLAY=" + std::to_string(plan_.number) + ")";
  Say(text);
  std::lock_guard<std::mutex> hold(soak_.mutex);
  for (const Violation& v : violations_)
    soak_.failures.push_back("round " + std::to_string(plan_.number) + ": [" + CheckName(v.check) +
                             "] " + v.detail.substr(0, v.detail.find('\n')));
}

bool RoundRun::Run() {
  if (PrepareTerminal()) {
    const std::uint64_t bytes = bytes_.size();
    if (plan_.fault->fault == Fault::kCutDownload) {
      cut_path_ = lane_.work + "r" + std::to_string(plan_.number) + "-cut.dat";
      WriteFileBytes(cut_path_, bytes_.substr(0, static_cast<std::size_t>(plan_.point * bytes)));
    }
    if (plan_.fault->fault == Fault::kFullDisk) {
      // The sizes the import's files reach: a.dat, the counts file, the
      // journal with its new block.
      std::uint64_t counts = 0;
      for (const Scan& s : plan_.scans) counts += 4 + s.code.size() + 1 + s.thousandths.size() + 2;
      const std::uint64_t journal = ReadFileBytes(lane_.dir + "Inwent.bak").size();
      std::uint64_t low = 0, high = bytes;  // a.dat
      if (plan_.disk->target == DiskTarget::kCounts) low = bytes, high = counts;
      if (plan_.disk->target == DiskTarget::kJournal)
        low = std::max(journal, counts), high = journal + kHeaderBytes + counts;
      disk_limit_ = low + static_cast<std::uint64_t>(plan_.point * static_cast<double>(high - low));
    }
    Watch();
    if (first_.info.hProcess != nullptr)
      lane_.hosts.push_back(
          {first_.info.hProcess, first_.info.dwProcessId, plan_.number, first_.killed});
    if (second_.info.hProcess != nullptr)
      lane_.hosts.push_back({second_.info.hProcess, second_.info.dwProcessId, plan_.number, false});
    if (first_.info.hThread != nullptr) CloseHandle(first_.info.hThread);
    if (second_.info.hThread != nullptr) CloseHandle(second_.info.hThread);
    CheckProcesses();
    CountHandouts();
    CheckHosts();
    CheckFiles();
  }
  soak_.rounds++;
  for (const Handout& h : round_handouts_)
    for (const Scan& s : plan_.scans) soak_.records += s.offset < h.bytes.size() ? 1 : 0;
  {
    std::lock_guard<std::mutex> hold(soak_.mutex);
    ++soak_.faults_run[plan_.fault->name];
  }
  Report();
  return violations_.empty();
}

void RunLane(Soak& soak, Lane& lane, DWORD deadline) {
  const Settings& s = soak.settings;
  for (int n = lane.index + 1;; n += s.lanes) {
    const bool time_up = static_cast<LONG>(GetTickCount() - deadline) >= 0;
    const bool last = (s.replay != 0 && n > s.replay) || (s.minutes > 0 ? time_up : n > s.rounds);
    // A utility that the last round's killed host left is the next
    // import's to end: one more import without a fault comes after it.
    if (last && !lane.lingering) break;
    RoundPlan plan = Plan(s.seed, n);
    if (last) {
      RoundPlan closing;
      closing.number = n;
      closing.fault = &kFaults[0];
      closing.scans = plan.scans;
      plan = closing;
    }
    RoundRun round(soak, lane, plan);
    // A violation stops the lane: what follows would restate it.
    if (!round.Run() || last) break;
  }
  // A utility this lane's hosts left behind is ended, so the prefix stays
  // clean for the next run (the violation was reported).
  for (const Seen& p : Running("IR_READ2.EXE"))
    for (const HostTrace& h : lane.hosts)
      if (h.id == p.parent) EndProcess(p.id);
  for (HostTrace& h : lane.hosts) CloseHandle(h.process);
}

TEST(WinFieldSoak, EveryRecordHandedOutIsFoundExactlyOnce) {
  Soak soak;
  soak.settings = ReadSettings();
  const Settings& s = soak.settings;
  Say("field soak: seed " + std::to_string(s.seed) + " (again: KOLEKTOR_SOAK_SEED=" +
      std::to_string(s.seed) + "), " + std::to_string(s.lanes) + " lanes, " +
      (s.minutes > 0 ? std::to_string(s.minutes) + " minutes"
                     : std::to_string(s.rounds) + " rounds") +
      (s.replay != 0 ? ", replaying up to round " + std::to_string(s.replay) : ""));
  soak.root = FullPath(BinDir() + "..\\testdata\\");
  soak.limited_host = WinePath(KOLEKTOR_SOURCE_DIR "/tests/win32/limited_host.sh");
  ASSERT_FALSE(UnixPath(soak.root).empty()) << "the soak's folders lie on wine's drive Z:";
  const std::string run_dir = soak.root + "soak-" + std::to_string(s.seed) + "\\";
  std::error_code ignored;
  std::filesystem::remove_all(run_dir, ignored);
  std::vector<Lane> lanes(static_cast<std::size_t>(s.lanes));
  for (int i = 0; i < s.lanes; ++i) {
    Lane& lane = lanes[static_cast<std::size_t>(i)];
    lane.index = i;
    lane.root = run_dir + "lane" + std::to_string(i + 1) + "\\";
    lane.dir = lane.root + "DANE\\";
    lane.terminal = lane.root + "terminal\\";
    lane.work = lane.root + "soak\\";
    for (const std::string& d : {lane.dir + "INW\\", lane.terminal, lane.work})
      std::filesystem::create_directories(d, ignored);
  }
  const DWORD deadline = GetTickCount() + static_cast<DWORD>(s.minutes * 60000);
  const DWORD begun = GetTickCount();
  std::vector<std::thread> threads;
  for (Lane& lane : lanes) {
    if (s.replay != 0 && lane.index != (s.replay - 1) % s.lanes) continue;
    threads.emplace_back([&soak, &lane, deadline] { RunLane(soak, lane, deadline); });
  }
  for (std::thread& t : threads) t.join();

  // Nothing of any host is left running: not a utility, not a host.
  for (const char* name : {"IR_READ2.EXE", "zrbhost.exe", "file_holder.exe"}) {
    for (const Seen& p : Running(name)) {
      soak.failures.push_back(std::string("[") + CheckName(Check::kNoUtilityLeft) + "] " + name +
                              " (process " + std::to_string(p.id) + ") still runs after the soak");
      EndProcess(p.id);
    }
  }
  std::map<std::string, int> faults = soak.faults_run;
  std::string summary = "field soak, seed " + std::to_string(s.seed) + ": " +
                        std::to_string(soak.rounds.load()) + " rounds in " +
                        std::to_string((GetTickCount() - begun) / 1000) + " s, " +
                        std::to_string(soak.successes.load()) + " successful imports, " +
                        std::to_string(soak.records.load()) + " records handed out; faults:";
  for (const auto& [name, count] : faults)
    summary += " " + name + " " + std::to_string(count) + ";";
  summary += " violations: " + std::to_string(soak.failures.size());
  Say(summary);
  for (const std::string& f : soak.failures) ADD_FAILURE() << f;
  if (soak.failures.empty()) std::filesystem::remove_all(run_dir, ignored);
}

}  // namespace
}  // namespace kolektor::wintest
