// A scriptable platform for the native tests: files in memory, a registry
// map, scripted children, a virtual clock, a log of every call, and faults
// injected on the Nth call of any operation.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace kolektor::testing {

// Shared by the fake platform and the test host, so that the order of
// callbacks, pauses and platform calls can be checked as one sequence.
using EventLog = std::vector<std::string>;

struct ChildScript {
  // Exit-status queries that still find the child running; -1: never ends.
  long running_queries = 0;
  std::uint32_t exit_code = 0;
  // Called when the child starts, with its current directory: a download
  // writes its a.dat here.
  std::function<void(const std::string& current_directory)> on_start;
};

class FakePlatform : public Platform {
 public:
  // Every operation a fault can be injected into, as FailAt names them.
  static constexpr const char* kOperations[] = {
      "open",     "read",        "write",     "size",         "seek",      "close",
      "exists",   "remove",      "reg_open",  "reg_read",     "reg_close", "short_path",
      "start",    "exit_status", "terminate", "move",         "identity",  "lock",
      "truncate", "flush",       "tie",       "process_runs", "children",  "end_orphan"};

  explicit FakePlatform(EventLog& log) : log_(log) {}

  // Files by path; a path in `unopenable` cannot be opened at all, one in
  // `unmovable` not renamed (open elsewhere without delete sharing).
  std::map<std::string, std::string> files;
  std::set<std::string> unopenable;
  std::set<std::string> unmovable;
  // Another spelling of a file's path -> the path it is stored under.
  std::map<std::string, std::string> same_file;
  // False: a file system that keeps no file ids (a share that answers 0
  // for every file).
  bool file_ids = true;
  // Lock files held by another process; those this process holds; lock
  // files refused for another cause (a folder of that name, a path too
  // long).
  std::set<std::string> locks_elsewhere;
  std::set<std::string> locks;
  std::map<std::string, LockResult> lock_refusals;
  // Files another program holds without sharing for the milliseconds
  // given, from the first time this process tries them: opening, moving or
  // deleting them meets a sharing violation meanwhile.
  std::map<std::string, std::uint64_t> held_for;
  std::size_t read_chunk = 7;  // small reads cross every buffer boundary

  // Registry: key -> value name -> data; a value in `non_string` is not a
  // string value.
  std::map<std::string, std::map<std::string, std::string>> registry;
  std::set<std::string> non_string;
  // Short forms of paths; a path without an entry has no short form.
  std::map<std::string, std::string> short_paths;

  ChildScript child;
  struct Start {
    std::string command_line, current_directory;
    WindowState window;
    bool tied = false;  // StartTied
    LockHandle lock = 0;
  };
  std::vector<Start> starts;
  std::uint64_t polls = 0;
  bool terminated = false;
  int open_children = 0;

  std::vector<std::pair<std::string, std::string>> messages;  // caption, text
  LocalTime now{2026, 12, 7, 9, 5, 3};
  std::uint64_t clock_ms = 0;

  // Makes the nth call (1-based) of `operation`, one of kOperations, fail.
  void FailAt(const std::string& operation, int nth) { fail_at_[operation] = nth; }
  // An injected write fault ends the process there, as a kill or a power
  // loss would: the part written stays, and ProcessDeath is thrown so that
  // nothing after it runs (destructors only close, as the system would).
  bool fault_kills = false;
  struct ProcessDeath {};
  // An injected fault throws std::bad_alloc instead, as the runtime does
  // when memory runs out.
  bool fault_throws = false;
  int Calls(const std::string& operation) const;
  bool ShouldFail(const std::string& operation);

  // The host killed (Task Manager, a crash) just before the nth platform
  // call that changes something (opening, writing, flushing, cutting,
  // deleting or moving a file, taking a lock, each step of starting a
  // child): ProcessDeath is thrown there, and from then on every call
  // fails and changes nothing, as for a process that is gone; destructors
  // only close. 0: never. HostDied() then does what the system does.
  void KillAt(int nth) { kill_at_ = nth; }
  bool killed() const { return dead_; }
  // The dead host's handles are closed by the system: its locks go (those
  // a living child holds a handle of stay taken), its job ends the
  // children tied to it. The next import runs in a new process.
  void HostDied();

  // The system's processes, as far as the import sees them: the children
  // it started, and any others a test puts there.
  struct Process {
    ProcessIdentity identity;
    std::uint32_t parent = 0;
    std::string program;
    bool suspended = false;  // created suspended and never resumed
    bool tied = false;       // in a job that ends it with its host
    std::string lock;        // the lock file it holds a handle of
    bool ended = false;
  };
  std::vector<Process> processes;
  ProcessIdentity self{4711, 5000000};
  std::vector<ProcessIdentity> orphans_ended;

  void Record(std::string event) { log_.push_back(std::move(event)); }
  int OpenFiles() const { return open_files_; }

  // Platform
  void Sleep(std::uint32_t milliseconds) override;
  std::unique_ptr<File> Open(const std::string& path, OpenMode mode) override;
  bool FileExists(const std::string& path) override;
  bool RemoveFile(const std::string& path) override;
  MoveResult RenameFile(const std::string& from, const std::string& to) override;
  bool FileIdentity(const std::string& path, FileId& id) override;
  LockResult Lock(const std::string& path, LockHandle& handle) override;
  void Unlock(LockHandle handle) override;
  std::string StoredPath(const std::string& path) const;
  bool RegistryOpen(const std::string& key, RegistryKey& handle) override;
  bool RegistryReadString(RegistryKey handle, const std::string& name, std::size_t max_bytes,
                          std::string& value) override;
  bool RegistryClose(RegistryKey handle) override;
  bool ShortPath(const std::string& path, std::string& short_path) override;
  ChildProcess Start(const std::string& command_line, const std::string& current_directory,
                     WindowState window) override;
  ChildProcess StartTied(const std::string& command_line, const std::string& current_directory,
                         WindowState window, LockHandle lock, const ChildCreated& created) override;
  void WaitForEnd(ChildProcess child) override;
  bool ExitStatus(ChildProcess child, std::uint32_t& status) override;
  bool Terminate(ChildProcess child, std::uint32_t exit_code) override;
  void CloseChild(ChildProcess child) override;
  ProcessIdentity ThisProcess() override { return self; }
  std::uint64_t SystemTime() override { return kSystemTimeBase + clock_ms * 10000; }
  bool ProcessWithId(std::uint32_t id, std::uint64_t& created) override;
  std::vector<ProcessIdentity> ChildrenOf(std::uint32_t parent_id,
                                          std::string_view program) override;
  OrphanEnd EndIfNeverRun(const ProcessIdentity& who) override;
  static constexpr std::uint64_t kSystemTimeBase = 134000000000000000;
  void ShowMessage(const std::string& text, const std::string& caption) override;
  LocalTime Now() override;
  std::uint64_t Milliseconds() override { return clock_ms; }
  std::uint32_t LastError() override { return last_error; }
  std::uint32_t ProcessId() override { return self.id; }
  bool TraceEnabled(std::string_view) override { return trace_on; }
  void TraceWrite(std::string_view, std::string_view line) override { trace.emplace_back(line); }

  // The support trace: on or off, and what it received. An injected fault
  // leaves `fault_error` as the system's error code.
  bool trace_on = false;
  std::vector<std::string> trace;
  std::uint32_t last_error = 0;
  std::uint32_t fault_error = 1117;  // ERROR_IO_DEVICE

 private:
  bool Held(const std::string& path);
  friend class FakeFile;
  EventLog& log_;
  std::map<std::string, int> calls_;
  std::map<std::string, int> fail_at_;
  std::vector<std::string> open_keys_;
  std::vector<std::string> lock_paths_;
  std::map<std::string, std::uint64_t> held_until_;
  int open_files_ = 0;
  long queries_ = 0;
  int kill_at_ = 0;
  int changes_ = 0;  // platform calls that change something, for KillAt
  bool dead_ = false;
  std::uint32_t next_child_id_ = 4242;
  std::size_t running_child_ = 0;  // its index in `processes`, plus 1
};

}  // namespace kolektor::testing
