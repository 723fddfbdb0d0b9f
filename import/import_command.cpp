#include "import/import_command.h"

#include "base/file_names.h"
#include "base/folder_path.h"
#include "base/held_files.h"
#include "base/host_interface.h"
#include "base/host_link.h"
#include "base/settings_table.h"
#include "base/texts.h"
#include "base/time_text.h"
#include "base/trace.h"
#include "import/data_conversion.h"
#include "import/journal.h"
#include "import/utility_record.h"
#include "platform/platform.h"

namespace kolektor {

namespace {

namespace t = text;

constexpr std::uint32_t kPauseAfterNotice = 1000;
constexpr std::uint32_t kPauseAfterDelete = 1000;
constexpr std::uint32_t kPollPause = 100;
// The utility may still be flushing a.dat when it ends.
constexpr std::uint32_t kPauseAfterDownload = 5000;

enum class Download { kEnded, kTimedOut };

// Polls every 100 ms until the utility ends or the limit is reached.
Download Poll(Platform& platform, ChildProcess child, std::uint32_t tick_limit,
              std::uint32_t& polls, std::uint32_t& status) {
  platform.Sleep(0);
  polls = 0;
  status = kStillActive;
  // A status that cannot be queried counts as still running: converting
  // a file the utility may still be writing would lose counts.
  if (!platform.ExitStatus(child, status)) status = kStillActive;
  while (status == kStillActive) {
    if (!platform.ExitStatus(child, status)) status = kStillActive;
    platform.Sleep(kPollPause);
    ++polls;
    if (polls == tick_limit && status == kStillActive) {
      platform.Terminate(child, 0);
      return Download::kTimedOut;
    }
  }
  return Download::kEnded;
}

Download Supervise(Platform& platform, ChildProcess child, std::uint32_t tick_limit, Trace& trace,
                   std::uint32_t& status) {
  const std::uint64_t started = trace.on() ? platform.Milliseconds() : 0;
  std::uint32_t polls = 0;
  const Download download = Poll(platform, child, tick_limit, polls, status);
  if (trace.on()) {
    if (download == Download::kTimedOut)
      trace.Line("still running at the time limit: terminated");
    else
      trace.Number("exit code", status);
    trace.Number("polls", polls);
    trace.Number("waited ms", platform.Milliseconds() - started);
  }
  return download;
}

// Held for the whole import; the system drops it if the host dies.
class DirectoryLock {
 public:
  explicit DirectoryLock(Platform& platform) : platform_(platform) {}
  ~DirectoryLock() {
    if (taken_) platform_.Unlock(handle_);
  }
  DirectoryLock(const DirectoryLock&) = delete;
  DirectoryLock& operator=(const DirectoryLock&) = delete;

  LockResult Take(const std::string& path) {
    const LockResult result = platform_.Lock(path, handle_);
    taken_ = result == LockResult::kTaken;
    return result;
  }
  LockHandle handle() const { return handle_; }

 private:
  Platform& platform_;
  LockHandle handle_ = 0;
  bool taken_ = false;
};

// Whether two paths name one existing file.
bool SameFile(Platform& platform, const std::string& a, const std::string& b) {
  FileId id_a, id_b;
  return platform.FileIdentity(a, id_a) && platform.FileIdentity(b, id_b) && id_a == id_b;
}

// Copies found within one second get -2, -3... after the time.
constexpr int kKeptCopiesPerSecond = 99;

// Windows' ANSI calls take paths of at most 259 characters. Every file the
// import makes in invent_dir must fit, not only the lock file: a folder
// that takes the lock but not the journal's record would fail each import
// after its download. The longest name is a kept copy of an earlier a.dat,
// a.dat.YYYYMMDD-HHMMSS-99.
constexpr std::size_t kPathLimit = 259;
constexpr std::size_t kLongestNameInFolder =
    kDataFileName.size() + std::string_view(".YYYYMMDD-HHMMSS-99").size();
static_assert(kKeptCopiesPerSecond == 99, "the longest kept name ends in -99");
static_assert(kLongestNameInFolder >= kJournalFileName.size() + kAppendRecordSuffix.size() &&
              kLongestNameInFolder >= kLockFileName.size() &&
              kLongestNameInFolder >= kUtilityRecordName.size());
// An a.dat already in the journal goes aside under a name just as long.
static_assert(kImportedDataPrefix.size() == kDataFileName.size() + 1);

// An a.dat larger than a terminal's memory is no download of one.
constexpr std::uint64_t kLargestDownload = 16u << 20;

// Whether the import that downloaded a.dat finished its journal step and
// was stopped only before deleting it: its counts, converted as that
// import converted them, are exactly the journal's last block.
bool AlreadyInJournal(Platform& platform, const std::string& data_path,
                      const std::string& journal_path, Trace* trace) {
  const std::unique_ptr<File> data = OpenWaitingWhileHeld(
      platform, trace, "opening the earlier data file", data_path, OpenMode::kRead);
  if (!data) return false;
  std::string counts;
  const bool converted = CountsOfDownload(*data, kLargestDownload, counts);
  data->Close();
  return converted && CompareLastBlock(platform, journal_path, counts, trace) == LastBlock::kSame;
}

}  // namespace

std::string KeptDataSuffix(const LocalTime& t) { return TimeText(t, "YMD-hms"); }

KeepResult KeepEarlierData(Platform& platform, const std::string& data_path,
                           const std::string& journal_path, Trace* trace) {
  // Kept as unimported, its counts would be counted twice by whoever
  // recovers them; moved aside, not deleted, in case it is not what it
  // seems (a download that happened to equal the last one).
  const bool imported = AlreadyInJournal(platform, data_path, journal_path, trace);
  const std::string base = imported ? data_path.substr(0, data_path.find_last_of('\\') + 1) +
                                          std::string(kImportedDataPrefix)
                                    : data_path + ".";
  const std::string kept = base + KeptDataSuffix(platform.Now());
  for (int n = 1; n <= kKeptCopiesPerSecond; ++n) {
    const std::string target = n == 1 ? kept : kept + "-" + std::to_string(n);
    MoveResult result = MoveResult::kFailed;
    WaitWhileHeld(platform, trace, "moving the earlier data file", [&] {
      result = platform.RenameFile(data_path, target);
      return result != MoveResult::kFailed;
    });
    switch (result) {
      case MoveResult::kMoved:
        if (trace != nullptr)
          trace->Value(imported ? "an earlier data file whose counts are the journal's last block "
                                  "(imported, not deleted) moved aside as"
                                : "an earlier data file kept as",
                       target);
        return KeepResult::kDone;
      case MoveResult::kNoSource:
        return KeepResult::kDone;
      case MoveResult::kTargetExists:
        continue;  // an earlier copy is never replaced
      case MoveResult::kFailed:
        if (trace != nullptr) trace->Failure("moving the earlier data file to " + target);
        return KeepResult::kFailed;
    }
  }
  if (trace != nullptr) trace->Line("every kept name of this second is taken: a.dat stays");
  return KeepResult::kNoFreeName;
}

bool InventDir(std::string_view counts_path, std::string& invent_dir) {
  int slashes = 0;
  std::size_t size = counts_path.size();
  while (size > 0 && slashes < 2) {
    --size;
    if (counts_path[size] == '\\') ++slashes;
  }
  if (slashes < 2) return false;
  invent_dir = AsFolder(std::string(counts_path.substr(0, size)));
  return true;
}

std::string DownloadCommandLine(std::string_view port, std::string_view baud) {
  std::string line = std::string(kDownloadUtility) + " " + std::string(kDataFileName) + ",";
  line += DownloadPart(kParamPort, port, port);
  line += ',';
  line += DownloadPart(kParamBaud, baud, "");
  return line;
}

HostWord RunImport(Platform& platform, const HostLink& host, Trace& trace,
                   const std::string& counts) {
  host.Status(t::kTransactionInProgress);
  platform.Sleep(kPauseAfterNotice);
  const std::string port = host.Param(kParamPort);
  const std::string baud = host.Param(kParamBaud);
  const std::string command_line = DownloadCommandLine(port, baud);
  const std::uint32_t tick_limit = TickLimit(host.Param(kParamTimeout));

  trace.Value("counts file", counts);
  std::string invent_dir;
  if (!InventDir(counts, invent_dir) || invent_dir.empty()) {
    // No folder for a.dat and the journal (an empty one would be the
    // host's own current folder): nothing may be deleted or run.
    trace.Line("the counts path has no folder two levels up for a.dat and the journal");
    host.Error(t::kCountsOpenFailed);
    return 0;
  }
  trace.Value("invent_dir", invent_dir);
  if (JoinPath(invent_dir, std::string(kLongestNameInFolder, '_')).size() > kPathLimit) {
    trace.Line("invent_dir is too long for the files the import makes in it");
    host.Error(t::Compound(t::kFolderTooLongBegin, invent_dir, t::kFolderTooLongEnd));
    return 0;
  }
  // Two tills on a shared folder, or two host windows: the second import
  // would move or convert the first one's a.dat and mix the journal.
  DirectoryLock lock(platform);
  const std::string lock_path = JoinPath(invent_dir, kLockFileName);
  const std::string record_path = JoinPath(invent_dir, kUtilityRecordName);
  LockResult locked = lock.Take(lock_path);
  // A utility left suspended with its own handle of the lock by a host
  // that died (one it could not tie to itself) keeps the folder busy for
  // good: it is ended, never one whose host still runs.
  if (locked == LockResult::kBusy &&
      !EndOrphanedUtilities(platform, record_path, host.trace(), false).empty())
    locked = lock.Take(lock_path);
  switch (locked) {
    case LockResult::kTaken:
      break;
    case LockResult::kBusy:
      trace.Failure("taking the folder's lock file (another import holds it)");
      host.Error(t::Compound(t::kImportBusyBegin, invent_dir, t::kImportBusyEnd));
      return 0;
    case LockResult::kFailed:
      trace.Failure("creating the folder's lock file");
      host.Error(t::Compound(t::kImportLockFailedBegin, invent_dir, t::kImportLockFailedEnd));
      return 0;
    case LockResult::kBlocked:
      trace.Failure("opening the folder's lock file (read-only, no access, or a folder)");
      host.Error(t::Compound(t::kLockBlockedBegin, lock_path, t::kLockBlockedEnd));
      return 0;
    case LockResult::kTooLong:
      trace.Failure("the folder's lock file (its path is too long)");
      host.Error(t::Compound(t::kFolderTooLongBegin, invent_dir, t::kFolderTooLongEnd));
      return 0;
  }
  const std::string data_path = JoinPath(invent_dir, kDataFileName);
  const std::string journal_path = JoinPath(invent_dir, kJournalFileName);
  trace.Value("data file", data_path);
  trace.Value("journal", journal_path);

  // A host that died while it started its utility left it suspended.
  EndOrphanedUtilities(platform, record_path, host.trace(), true);

  // An append that a kill or a power loss cut short is undone before
  // anything else touches the journal.
  std::string held;
  if (RepairJournal(platform, journal_path, host.trace(), &held) == JournalRepair::kFailed) {
    host.Error(held.empty() ? std::string(t::kWorkFileWriteFailed)
                            : t::Compound(t::kJournalHeldBegin, held, t::kJournalHeldEnd));
    return 0;
  }

  // An old data file must not be converted again as if it were new, nor
  // lost: it holds the counts of an import that failed.
  switch (KeepEarlierData(platform, data_path, journal_path, host.trace())) {
    case KeepResult::kDone:
      break;
    case KeepResult::kFailed:
      host.Error(t::Compound(t::kKeepDataFailedBegin, data_path, t::kKeepDataFailedEnd));
      return 0;
    case KeepResult::kNoFreeName:
      host.Error(t::Compound(t::kKeepDataNoNameBegin, data_path, t::kKeepDataNoNameEnd));
      return 0;
  }
  platform.Sleep(kPauseAfterDelete);

  host.Message(platform, data_path, std::string(t::kCaptionDataPath));
  host.Message(platform, journal_path, std::string(t::kCaptionJournalPath));
  host.Message(platform, command_line, std::string(t::kCaptionCommandLine));
  host.Message(platform, invent_dir, std::string(t::kCaptionInventDir));
  host.Message(platform, counts, std::string(t::kCaptionCountsPath));

  trace.Value("starting", command_line);
  trace.Value("in the folder", invent_dir);
  // Tied to the host: a host that dies leaves no utility behind that could
  // write a.dat into the next import of this folder. Until it is tied, the
  // record names it.
  UtilityRecord record(platform, record_path, host.trace());
  record.Begin(command_line.substr(0, command_line.find(' ')));
  const ChildProcess child =
      platform.StartTied(command_line, invent_dir, WindowState::kMinimizedInactive, lock.handle(),
                         [&](const ProcessIdentity& made) { record.Add(made); });
  if (child.process == 0) {
    trace.Failure("starting the download utility");
    record.Remove();
    host.Error(t::DriverStartFailed(JoinPath(invent_dir, command_line)));
    return 0;
  }
  if (child.job == 0)
    trace.Failure("tying the download utility to the host");
  else
    trace.Line("the download utility ends with the host (a job)");
  trace.Number("process id", child.id);
  trace.Line(child.holds_lock ? "the download utility holds the folder's lock while it runs"
                              : "the download utility could not be given the folder's lock");
  std::uint32_t exit_code = kStillActive;
  const Download download = Supervise(platform, child, tick_limit, trace, exit_code);
  if (download == Download::kTimedOut) {
    platform.CloseChild(child);
    record.Remove();
    host.Error(t::kNoConnection);
    return 0;
  }

  // Whatever the utility left running (a helper still writing a.dat) gets
  // the pause, as it always had; closing the job then ends what remains.
  platform.Sleep(kPauseAfterDownload);
  platform.CloseChild(child);
  record.Remove();
  // A counts path that spells a.dat or the journal another way ("\.\", an
  // 8.3 alias, a link): creating the counts file would empty a.dat or the
  // journal, and the journal step would append the journal to itself,
  // giving the host every count twice.
  auto counts_is_ours = [&] {
    if (!SameFile(platform, counts, data_path) && !SameFile(platform, counts, journal_path))
      return false;
    trace.Line("the counts file is a.dat or the journal itself: refused");
    host.Error(t::kCountsOpenFailed);
    return true;
  };
  if (counts_is_ours()) return 0;
  if (!ConvertDataFile(platform, data_path, counts, host,
                       exit_code == 0 ? DownloadExit::kZero : DownloadExit::kFailure))
    return 0;
  // A journal that did not exist yet is made by the conversion itself.
  if (counts_is_ours()) return 0;

  TJournalTools journal;
  if (!journal.Append(platform, counts, journal_path, JournalDirection::kImport, host.trace(),
                      &held)) {
    // The data file stays: it is the only other copy of these counts.
    if (held.empty())
      host.Error(t::kWorkFileWriteFailed);
    else if (held == counts)
      host.Error(t::Compound(t::kCountsHeldBegin, counts, t::kCountsHeldEnd));
    else
      host.Error(t::Compound(t::kJournalHeldBegin, held, t::kJournalHeldEnd));
    return 0;
  }
  if (!WaitWhileHeld(platform, host.trace(), "deleting the data file",
                     [&] { return platform.RemoveFile(data_path); }))
    trace.Failure("deleting the data file");
  return 1;
}

}  // namespace kolektor
