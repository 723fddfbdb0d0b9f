// The only way the plug-in reaches the operating system. The commands take
// a Platform as a parameter: win32.cpp is the real one, the tests hand in a
// scriptable fake with a virtual clock and injected faults.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kolektor {

// What makes a file itself, whatever spelling of its path led to it
// (trailing dots, 8.3 aliases, "..", another drive mapping). A file system
// that keeps no file ids (some shares) answers index 0 for every file, an
// id to be ignored: it never makes two files one.
struct FileId {
  std::uint64_t volume = 0;
  std::uint64_t index = 0;
  friend bool operator==(const FileId& a, const FileId& b) {
    return a.index != 0 && a.volume == b.volume && a.index == b.index;
  }
};

// An open file, handled as a byte stream (binary mode, no translation).
class File {
 public:
  virtual ~File() = default;
  // Reads up to `size` bytes: the count read, 0 at the end, -1 on an error.
  virtual long Read(char* buffer, std::size_t size) = 0;
  // Writes `size` bytes at the current position; returns how many were taken.
  virtual std::size_t Write(const char* data, std::size_t size) = 0;
  // The file's size in bytes; false when it cannot be told.
  virtual bool Size(std::uint64_t& size) = 0;
  // Moves the position for the next read or write; false on failure.
  virtual bool Seek(std::uint64_t position) = 0;
  // Which file this is; false when the system cannot tell.
  virtual bool Identity(FileId& id) = 0;
  // Cuts the file back to `size` bytes, dropping what is buffered, and
  // moves the position there; false when it could not be cut.
  virtual bool Truncate(std::uint64_t size) = 0;
  // Writes out what is buffered and has the system put it on the disk, so
  // that a power loss cannot take it back; false on failure.
  virtual bool Flush() = 0;
  // Writes out what is buffered and closes; false when that failed.
  // Closing twice is harmless; the destructor closes a file left open.
  virtual bool Close() = 0;
};

enum class OpenMode {
  kRead,           // existing file, reading only
  kWriteTruncate,  // created, or emptied when it exists
  kWriteKeep,      // created when missing, existing content kept
};

// How the child's window is shown.
enum class WindowState {
  kDefault,            // start-up record all zero but its size
  kMinimizedInactive,  // STARTF_USESHOWWINDOW with SW_SHOWMINNOACTIVE
};

// Who a process is: its id, which the system hands out again once the
// process has ended, and the moment it was created, which tells the two
// apart.
struct ProcessIdentity {
  std::uint32_t id = 0;
  std::uint64_t created = 0;  // 100 ns units since 1601 (UTC); 0: not known
  friend bool operator==(const ProcessIdentity& a, const ProcessIdentity& b) {
    return a.id == b.id && a.created == b.created;
  }
};

// Told of each process StartTied makes, as soon as it exists.
using ChildCreated = std::function<void(const ProcessIdentity&)>;

enum class OrphanEnd {
  kEnded,     // it was there, had never run, and is gone now
  kNotThere,  // no such process (ended, or its id now names another)
  kRunning,   // it has run: left alone
  kFailed,    // it could not be looked at or ended
};

struct ChildProcess {
  std::uintptr_t process = 0;  // 0: not started
  std::uintptr_t thread = 0;
  std::uint32_t id = 0;       // the system's process id, for the support trace
  std::uint64_t created = 0;  // its creation time, as ProcessIdentity
  // StartTied: the job that ends the child when this process ends (0: it
  // could not be tied), and whether the child holds its own handle of the
  // lock it was given.
  std::uintptr_t job = 0;
  bool holds_lock = false;
};

inline constexpr std::uint32_t kStillActive = 259;

struct LocalTime {
  int year, month, day, hour, minute, second;
  int millisecond = 0;
};

// The system's codes for a file that another program holds open without
// sharing it (a virus scanner, an indexer, a backup): worth a short wait.
inline constexpr std::uint32_t kErrorSharingViolation = 32;
inline constexpr std::uint32_t kErrorLockViolation = 33;
inline bool HeldByAnotherProgram(std::uint32_t error) {
  return error == kErrorSharingViolation || error == kErrorLockViolation;
}

// Milliseconds from a counter of `frequency` ticks a second, without the
// overflow of counter * 1000 (weeks of uptime at a few GHz).
inline std::uint64_t CounterMilliseconds(std::uint64_t counter, std::uint64_t frequency) {
  return counter / frequency * 1000u + counter % frequency * 1000u / frequency;
}

using RegistryKey = std::uintptr_t;
using LockHandle = std::uintptr_t;

enum class MoveResult {
  kMoved,
  kNoSource,      // there was no such file
  kTargetExists,  // nothing was changed
  kFailed,        // open without delete sharing, locked, no right: unchanged
};

enum class LockResult {
  kTaken,    // held until Unlock, or until the process ends
  kBusy,     // another process (on this or another machine) holds it
  kFailed,   // could not be created: missing folder, no right to write
  kBlocked,  // a file of that name that cannot be used (read-only, no
             // access for this user) or a folder of that name
  kTooLong,  // the path is longer than the system's 259 characters
};

class Platform {
 public:
  virtual ~Platform() = default;

  // Pauses the calling thread; 0 gives up the rest of the time slice.
  virtual void Sleep(std::uint32_t milliseconds) = 0;

  // Opens a file; nullptr when it cannot be opened in that mode.
  virtual std::unique_ptr<File> Open(const std::string& path, OpenMode mode) = 0;
  virtual bool FileExists(const std::string& path) = 0;
  // Deletes a file; false when it was not deleted (also when missing).
  virtual bool RemoveFile(const std::string& path) = 0;
  // Renames a file within its folder; never replaces an existing `to`.
  // After a failed Open, RemoveFile or kFailed rename, LastError() tells
  // a file held by another program (HeldByAnotherProgram) from the rest.
  virtual MoveResult RenameFile(const std::string& from, const std::string& to) = 0;
  // The identity of an existing file, without opening it for reading or
  // writing; false when it does not exist or cannot be told.
  virtual bool FileIdentity(const std::string& path, FileId& id) = 0;

  // An exclusive lock file, shared with no one and gone when released or
  // when the process holding it dies, also over a network share.
  virtual LockResult Lock(const std::string& path, LockHandle& handle) = 0;
  virtual void Unlock(LockHandle handle) = 0;

  // Opens a key of the local-machine hive for reading.
  virtual bool RegistryOpen(const std::string& key, RegistryKey& handle) = 0;
  // Reads a string value into at most `max_bytes` bytes, its terminating
  // zero included; false when missing, too long or not a string.
  virtual bool RegistryReadString(RegistryKey handle, const std::string& name,
                                  std::size_t max_bytes, std::string& value) = 0;
  virtual bool RegistryClose(RegistryKey handle) = 0;

  // The short (8.3) form of an existing path; false when it has none.
  virtual bool ShortPath(const std::string& path, std::string& short_path) = 0;

  // Starts a child with the command line (the program is found by the
  // system's usual search) in `current_directory` (empty: the caller's).
  virtual ChildProcess Start(const std::string& command_line, const std::string& current_directory,
                             WindowState window) = 0;
  // Starts a child as Start does, tied to this process: a job ends it
  // when this process ends, however it ends (killed, crashed, switched
  // off), and it gets its own handle of `lock`, so that the lock stays
  // taken for as long as it lives, also where it could not be tied (an
  // older Windows that already runs the host in a job). `job` and
  // `holds_lock` of the result tell which of the two held. `created` hears
  // of each process made for it the moment it exists, suspended, before it
  // is tied or has run anything (two where a first one could not be tied).
  virtual ChildProcess StartTied(const std::string& command_line,
                                 const std::string& current_directory, WindowState window,
                                 LockHandle lock, const ChildCreated& created) = 0;
  // Waits with no time limit until the child has ended.
  virtual void WaitForEnd(ChildProcess child) = 0;
  // The exit status, kStillActive while it runs; false when not known.
  virtual bool ExitStatus(ChildProcess child, std::uint32_t& status) = 0;
  // Ends the child with that exit code and waits (a few seconds at most)
  // until it is gone, so that the files and the lock it held are closed.
  virtual bool Terminate(ChildProcess child, std::uint32_t exit_code) = 0;
  // Closes the process handle, then the thread handle, then its job:
  // whatever the child left running ends with it.
  virtual void CloseChild(ChildProcess child) = 0;

  // This process: its id and creation time.
  virtual ProcessIdentity ThisProcess() = 0;
  // The system's clock, in the units of ProcessIdentity::created.
  virtual std::uint64_t SystemTime() = 0;
  // Whether a process of that id runs now, and when it was created (0 when
  // that cannot be told, as for a process this user may not look at).
  virtual bool ProcessWithId(std::uint32_t id, std::uint64_t& created) = 0;
  // The running processes started from `program` (a file name, any case)
  // by a parent of that id.
  virtual std::vector<ProcessIdentity> ChildrenOf(std::uint32_t parent_id,
                                                  std::string_view program) = 0;
  // Ends `who` only if it is still that process (same id and creation
  // time) and has never run: every thread of it suspended as created.
  virtual OrphanEnd EndIfNeverRun(const ProcessIdentity& who) = 0;

  // Shows a message box with an OK button and returns when it is closed.
  virtual void ShowMessage(const std::string& text, const std::string& caption) = 0;

  virtual LocalTime Now() = 0;
  // A steady clock in milliseconds, for durations.
  virtual std::uint64_t Milliseconds() = 0;

  // The system's error code of the call that has just failed on this
  // thread, for the support trace; 0 when there is none.
  virtual std::uint32_t LastError() = 0;
  // This process's id, for the support trace: two tills' lines in one
  // trace are told apart by it.
  virtual std::uint32_t ProcessId() = 0;
  // The support trace: on when a file of the given name exists beside the
  // plug-in itself (its module's folder, not the host's; checked once per
  // operation). A line that cannot be written is dropped, and writing
  // never changes LastError().
  virtual bool TraceEnabled(std::string_view file_name) = 0;
  virtual void TraceWrite(std::string_view file_name, std::string_view utf8_line) = 0;
};

}  // namespace kolektor
