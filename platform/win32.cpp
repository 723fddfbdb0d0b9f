// The plug-in's only contact with Windows itself.
#include "platform/win32.h"

#include <windows.h>
// After windows.h, which it needs.
#include <tlhelp32.h>

#include <vector>

#include "platform/win32_file.h"

namespace kolektor {

namespace {

HANDLE AsHandle(std::uintptr_t value) { return reinterpret_cast<HANDLE>(value); }

// The support trace is capped at about 1 MB.
constexpr LONGLONG kTraceLimit = 1 << 20;

// A file in the folder of the module that holds this code: the plug-in's
// own folder, not the host's.
std::string TracePath(std::string_view file_name) {
  HMODULE module = nullptr;
  char path[MAX_PATH] = {};
  if (::GetModuleHandleExA(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          reinterpret_cast<LPCSTR>(&TracePath), &module))
    ::GetModuleFileNameA(module, path, sizeof path);
  std::string folder(path);
  return folder.substr(0, folder.find_last_of('\\') + 1) + std::string(file_name);
}

// Appending only, shared with readers and other writers.
HANDLE OpenTrace(const std::string& path, DWORD disposition) {
  return ::CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Moves the trace's lines to NAME.1 and empties it in place. The file
// itself never goes away: an operation that asks meanwhile whether the
// trace is on is told yes, and a host killed in the middle cannot switch
// the trace off. One process rotates at a time (a lock on a byte no line
// reaches); the others go on appending, and only what they append between
// the copy and the cut is lost.
void RotateTrace(const std::string& path) {
  const HANDLE file =
      ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  OVERLAPPED turn;
  ZeroMemory(&turn, sizeof turn);
  turn.OffsetHigh = 0x40000000;
  if (!::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &turn)) {
    ::CloseHandle(file);
    return;
  }
  LARGE_INTEGER size;
  // Another process may have rotated it just now.
  if (::GetFileSizeEx(file, &size) && size.QuadPart >= kTraceLimit) {
    const HANDLE old = ::CreateFileA((path + ".1").c_str(), GENERIC_WRITE, 0, nullptr,
                                     CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    bool copied = old != INVALID_HANDLE_VALUE;
    std::vector<char> buffer(1 << 16);
    for (DWORD got = 0; copied;) {
      copied = ::ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr);
      if (!copied || got == 0) break;
      DWORD written = 0;
      copied = ::WriteFile(old, buffer.data(), got, &written, nullptr) && written == got;
    }
    if (old != INVALID_HANDLE_VALUE) copied = ::CloseHandle(old) && copied;
    // Emptied only once its lines are safe in NAME.1.
    LARGE_INTEGER start;
    start.QuadPart = 0;
    if (copied && ::SetFilePointerEx(file, start, nullptr, FILE_BEGIN)) ::SetEndOfFile(file);
  }
  ::UnlockFileEx(file, 0, 1, 0, &turn);
  ::CloseHandle(file);
}

// A lock file being deleted by its last holder is gone within moments.
constexpr int kDeletePendingTries = 3;
constexpr DWORD kDeletePendingPause = 50;
// How long a terminated child may take to be gone: a read on the serial
// port is cancelled first.
constexpr DWORD kTerminateWait = 5000;

// Keeps a registry call's error code as the thread's last error.
bool Fail(LONG error) {
  ::SetLastError(static_cast<DWORD>(error));
  return false;
}

// A job that ends every process in it when its last handle is closed: by
// the import when the utility has ended, by the system when the host dies.
HANDLE KillOnCloseJob() {
  const HANDLE job = ::CreateJobObjectA(nullptr, nullptr);
  if (job == nullptr) return nullptr;
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits;
  ZeroMemory(&limits, sizeof limits);
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  if (!::SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits)) {
    ::CloseHandle(job);
    return nullptr;
  }
  return job;
}

// Whether the job this process runs in (if any) lets a child leave it.
bool HostJobAllowsBreakaway() {
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits;
  ZeroMemory(&limits, sizeof limits);
  return ::QueryInformationJobObject(nullptr, JobObjectExtendedLimitInformation, &limits,
                                     sizeof limits, nullptr) &&
         (limits.BasicLimitInformation.LimitFlags & JOB_OBJECT_LIMIT_BREAKAWAY_OK) != 0;
}

// A child started suspended and not wanted after all.
void Discard(const ChildProcess& child) {
  ::TerminateProcess(AsHandle(child.process), 0);
  ::CloseHandle(AsHandle(child.process));
  ::CloseHandle(AsHandle(child.thread));
}

std::uint64_t Ticks(const FILETIME& time) {
  return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// When the process of that handle was created; 0 when it cannot be told.
std::uint64_t CreationTime(HANDLE process) {
  FILETIME created, exited, kernel, user;
  return ::GetProcessTimes(process, &created, &exited, &kernel, &user) ? Ticks(created) : 0;
}

// A handle of the process `who` names, if it is still that process and
// has not ended; nullptr otherwise. `denied` tells a process that exists
// but may not be opened.
HANDLE OpenIdentified(const ProcessIdentity& who, DWORD access, bool& denied) {
  denied = false;
  const HANDLE process =
      ::OpenProcess(PROCESS_QUERY_INFORMATION | SYNCHRONIZE | access, FALSE, who.id);
  if (process == nullptr) {
    denied = ::GetLastError() == ERROR_ACCESS_DENIED;
    return nullptr;
  }
  DWORD code = 0;
  const bool same = who.created == 0 || CreationTime(process) == who.created;
  if (!same || !::GetExitCodeProcess(process, &code) || code != STILL_ACTIVE) {
    ::CloseHandle(process);
    return nullptr;
  }
  return process;
}

// Whether every thread of the process has been suspended since before it
// ran: each one's suspend count is above 0. Asking suspends the thread for
// a moment and resumes it at once.
bool NeverRun(DWORD process_id) {
  const HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return false;
  THREADENTRY32 entry;
  entry.dwSize = sizeof entry;
  int threads = 0;
  bool suspended = true;
  for (BOOL more = ::Thread32First(snapshot, &entry); more && suspended;
       more = ::Thread32Next(snapshot, &entry)) {
    if (entry.th32OwnerProcessID != process_id) continue;
    ++threads;
    const HANDLE thread = ::OpenThread(THREAD_SUSPEND_RESUME, FALSE, entry.th32ThreadID);
    const DWORD before = thread == nullptr ? static_cast<DWORD>(-1) : ::SuspendThread(thread);
    if (before != static_cast<DWORD>(-1)) ::ResumeThread(thread);
    suspended = before != static_cast<DWORD>(-1) && before > 0;
    if (thread != nullptr) ::CloseHandle(thread);
  }
  ::CloseHandle(snapshot);
  return threads > 0 && suspended;
}

ChildProcess Create(const std::string& command_line, const std::string& current_directory,
                    WindowState window, DWORD flags) {
  std::vector<char> line(command_line.begin(), command_line.end());
  line.push_back('\0');  // CreateProcessA may write into its command line
  STARTUPINFOA startup;
  ZeroMemory(&startup, sizeof startup);
  startup.cb = sizeof startup;
  if (window == WindowState::kMinimizedInactive) {
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWMINNOACTIVE;
  }
  PROCESS_INFORMATION info;
  ZeroMemory(&info, sizeof info);
  if (!::CreateProcessA(
          nullptr, line.data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS | flags, nullptr,
          current_directory.empty() ? nullptr : current_directory.c_str(), &startup, &info))
    return ChildProcess{};
  ChildProcess child;
  child.process = reinterpret_cast<std::uintptr_t>(info.hProcess);
  child.thread = reinterpret_cast<std::uintptr_t>(info.hThread);
  child.id = info.dwProcessId;
  child.created = CreationTime(info.hProcess);
  return child;
}

class Win32Platform final : public Platform {
 public:
  void Sleep(std::uint32_t milliseconds) override { ::Sleep(milliseconds); }

  std::unique_ptr<File> Open(const std::string& path, OpenMode mode) override {
    return OpenWin32File(path, mode);
  }

  bool FileExists(const std::string& path) override {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
  }

  bool RemoveFile(const std::string& path) override { return ::DeleteFileA(path.c_str()) != 0; }

  MoveResult RenameFile(const std::string& from, const std::string& to) override {
    // No MOVEFILE_REPLACE_EXISTING: an existing `to` is never replaced.
    if (::MoveFileExA(from.c_str(), to.c_str(), 0)) return MoveResult::kMoved;
    switch (::GetLastError()) {
      case ERROR_FILE_NOT_FOUND:
      case ERROR_PATH_NOT_FOUND:
        return MoveResult::kNoSource;
      case ERROR_ALREADY_EXISTS:
      case ERROR_FILE_EXISTS:
        return MoveResult::kTargetExists;
      default:
        return MoveResult::kFailed;
    }
  }

  bool FileIdentity(const std::string& path, FileId& id) override {
    // No access asked for: only the file's identity is read.
    const HANDLE handle =
        ::CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    const bool known = HandleIdentity(handle, id);
    const DWORD error = ::GetLastError();
    ::CloseHandle(handle);
    ::SetLastError(error);
    return known;
  }

  LockResult Lock(const std::string& path, LockHandle& handle) override {
    // The ANSI calls take a path of at most MAX_PATH - 1 characters.
    if (path.size() >= MAX_PATH) {
      ::SetLastError(ERROR_FILENAME_EXCED_RANGE);
      return LockResult::kTooLong;
    }
    // A lock file whose last holder is just closing it answers "access
    // denied" for a moment (delete pending); a folder of that name, a
    // read-only file or one this user may not open answer so for good.
    for (int attempt = 0;; ++attempt) {
      // Shared with no one, and deleted when the last handle is closed,
      // also by the system when the host's process dies; a file server
      // keeps the same rules for every machine that opens it.
      const HANDLE file =
          ::CreateFileA(path.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, OPEN_ALWAYS,
                        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
      if (file != INVALID_HANDLE_VALUE) {
        handle = reinterpret_cast<LockHandle>(file);
        return LockResult::kTaken;
      }
      const DWORD error = ::GetLastError();
      switch (error) {
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
          return LockResult::kBusy;
        case ERROR_FILENAME_EXCED_RANGE:
          return LockResult::kTooLong;
        case ERROR_ACCESS_DENIED:
          if (attempt < kDeletePendingTries) {
            ::Sleep(kDeletePendingPause);
            continue;
          }
          {
            const bool exists = ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
            ::SetLastError(error);
            return exists ? LockResult::kBlocked : LockResult::kFailed;
          }
        default:
          return LockResult::kFailed;
      }
    }
  }

  void Unlock(LockHandle handle) override { ::CloseHandle(AsHandle(handle)); }

  // The registry answers with its error code; it is kept as the thread's
  // last error for the support trace. The host's 32-bit installer writes
  // its values to the registry's 32-bit view (WOW6432Node on 64-bit
  // Windows); that view is read whatever this DLL was built for.
  bool RegistryOpen(const std::string& key, RegistryKey& handle) override {
    HKEY opened = nullptr;
    const LONG result =
        ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ | KEY_WOW64_32KEY, &opened);
    if (result != ERROR_SUCCESS) return Fail(result);
    handle = reinterpret_cast<RegistryKey>(opened);
    return true;
  }

  bool RegistryReadString(RegistryKey handle, const std::string& name, std::size_t max_bytes,
                          std::string& value) override {
    // One spare zero byte behind the host's limit, so a value stored
    // without its terminator is still read safely.
    std::vector<char> buffer(max_bytes + 1, '\0');
    DWORD type = 0;
    DWORD size = static_cast<DWORD>(max_bytes);
    const LONG result = ::RegQueryValueExA(reinterpret_cast<HKEY>(handle), name.c_str(), nullptr,
                                           &type, reinterpret_cast<BYTE*>(buffer.data()), &size);
    if (result != ERROR_SUCCESS) return Fail(result);
    if (type != REG_SZ && type != REG_EXPAND_SZ) return Fail(ERROR_INVALID_DATATYPE);
    if (size > max_bytes) return Fail(ERROR_MORE_DATA);
    std::size_t length = 0;
    while (length < size && buffer[length] != '\0') ++length;
    // Unterminated and filling the whole buffer: it would need one byte more.
    if (length == max_bytes) return Fail(ERROR_MORE_DATA);
    value.assign(buffer.data(), length);
    return true;
  }

  bool RegistryClose(RegistryKey handle) override {
    const LONG result = ::RegCloseKey(reinterpret_cast<HKEY>(handle));
    return result == ERROR_SUCCESS || Fail(result);
  }

  bool ShortPath(const std::string& path, std::string& short_path) override {
    const DWORD needed = ::GetShortPathNameA(path.c_str(), nullptr, 0);
    if (needed == 0) return false;
    std::vector<char> buffer(needed + 1, '\0');
    const DWORD got = ::GetShortPathNameA(path.c_str(), buffer.data(), needed);
    if (got == 0 || got >= needed + 1) return false;
    short_path.assign(buffer.data(), got);
    return true;
  }

  ChildProcess Start(const std::string& command_line, const std::string& current_directory,
                     WindowState window) override {
    return Create(command_line, current_directory, window, 0);
  }

  ChildProcess StartTied(const std::string& command_line, const std::string& current_directory,
                         WindowState window, LockHandle lock,
                         const ChildCreated& created) override {
    const HANDLE job = KillOnCloseJob();
    DWORD tie_error = job == nullptr ? ::GetLastError() : 0;
    // Suspended: it runs nothing before it is tied and holds the lock.
    ChildProcess child = Create(command_line, current_directory, window, CREATE_SUSPENDED);
    if (child.process == 0) {
      if (job != nullptr) ::CloseHandle(job);
      return child;
    }
    // Until it is in the job, a host that dies leaves it suspended for good.
    created(ProcessIdentity{child.id, child.created});
    bool tied = job != nullptr && ::AssignProcessToJobObject(job, AsHandle(child.process));
    if (job != nullptr && !tied) tie_error = ::GetLastError();
    if (!tied && job != nullptr && HostJobAllowsBreakaway()) {
      // Before Windows 8 a process belongs to one job only: a host run in a
      // job of its own must let the child leave it, which it may be
      // started so only.
      const ChildProcess away = Create(command_line, current_directory, window,
                                       CREATE_SUSPENDED | CREATE_BREAKAWAY_FROM_JOB);
      if (away.process != 0) created(ProcessIdentity{away.id, away.created});
      if (away.process != 0 && ::AssignProcessToJobObject(job, AsHandle(away.process))) {
        Discard(child);  // it has run nothing yet
        child = away;
        tied = true;
      } else if (away.process != 0) {
        Discard(away);
      }
    }
    if (tied)
      child.job = reinterpret_cast<std::uintptr_t>(job);
    else if (job != nullptr)
      ::CloseHandle(job);
    // Its own handle of the lock: the lock file stays open, and the folder
    // refused as busy, for as long as the child lives.
    HANDLE copy = nullptr;
    child.holds_lock = lock != 0 && ::DuplicateHandle(::GetCurrentProcess(), AsHandle(lock),
                                                      AsHandle(child.process), &copy, 0, FALSE,
                                                      DUPLICATE_SAME_ACCESS);
    ::ResumeThread(AsHandle(child.thread));
    ::SetLastError(tie_error);  // why it is not tied, for the support trace
    return child;
  }

  void WaitForEnd(ChildProcess child) override {
    ::WaitForSingleObject(AsHandle(child.process), INFINITE);
  }

  bool ExitStatus(ChildProcess child, std::uint32_t& status) override {
    DWORD code = 0;
    if (!::GetExitCodeProcess(AsHandle(child.process), &code)) return false;
    status = code;
    return true;
  }

  bool Terminate(ChildProcess child, std::uint32_t exit_code) override {
    const bool ended = ::TerminateProcess(AsHandle(child.process), exit_code) != 0;
    const DWORD error = ::GetLastError();
    ::WaitForSingleObject(AsHandle(child.process), kTerminateWait);
    ::SetLastError(error);
    return ended;
  }

  void CloseChild(ChildProcess child) override {
    if (child.process != 0) ::CloseHandle(AsHandle(child.process));
    if (child.thread != 0) ::CloseHandle(AsHandle(child.thread));
    if (child.job != 0) ::CloseHandle(AsHandle(child.job));
  }

  ProcessIdentity ThisProcess() override {
    return ProcessIdentity{::GetCurrentProcessId(), CreationTime(::GetCurrentProcess())};
  }

  std::uint64_t SystemTime() override {
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    return Ticks(now);
  }

  bool ProcessWithId(std::uint32_t id, std::uint64_t& created) override {
    created = 0;
    bool denied = false;
    const HANDLE process = OpenIdentified(ProcessIdentity{id, 0}, 0, denied);
    if (process == nullptr) return denied;
    created = CreationTime(process);
    ::CloseHandle(process);
    return true;
  }

  std::vector<ProcessIdentity> ChildrenOf(std::uint32_t parent_id,
                                          std::string_view program) override {
    std::vector<ProcessIdentity> children;
    const HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return children;
    const std::string name(program);
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32First(snapshot, &entry); more;
         more = ::Process32Next(snapshot, &entry)) {
      if (entry.th32ParentProcessID != parent_id || ::lstrcmpiA(entry.szExeFile, name.c_str()) != 0)
        continue;
      const HANDLE process = ::OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, entry.th32ProcessID);
      if (process == nullptr) continue;
      children.push_back(ProcessIdentity{entry.th32ProcessID, CreationTime(process)});
      ::CloseHandle(process);
    }
    ::CloseHandle(snapshot);
    return children;
  }

  OrphanEnd EndIfNeverRun(const ProcessIdentity& who) override {
    bool denied = false;
    // The handle holds the process itself: its id cannot pass to another
    // one between the look and the end.
    const HANDLE process = OpenIdentified(who, PROCESS_TERMINATE, denied);
    if (process == nullptr) return denied ? OrphanEnd::kFailed : OrphanEnd::kNotThere;
    OrphanEnd result = OrphanEnd::kRunning;
    if (NeverRun(who.id)) {
      const bool ended = ::TerminateProcess(process, 0) != 0 &&
                         ::WaitForSingleObject(process, kTerminateWait) == WAIT_OBJECT_0;
      result = ended ? OrphanEnd::kEnded : OrphanEnd::kFailed;
    }
    ::CloseHandle(process);
    return result;
  }

  void ShowMessage(const std::string& text, const std::string& caption) override {
    ::MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_OK);
  }

  std::uint64_t Milliseconds() override {
    // The performance counter never wraps (GetTickCount does after 49 days).
    LARGE_INTEGER frequency, counter;
    if (!::QueryPerformanceFrequency(&frequency) || !::QueryPerformanceCounter(&counter))
      return ::GetTickCount();
    return CounterMilliseconds(static_cast<std::uint64_t>(counter.QuadPart),
                               static_cast<std::uint64_t>(frequency.QuadPart));
  }

  std::uint32_t LastError() override { return ::GetLastError(); }

  std::uint32_t ProcessId() override { return ::GetCurrentProcessId(); }

  bool TraceEnabled(std::string_view file_name) override {
    return FileExists(TracePath(file_name));
  }

  void TraceWrite(std::string_view file_name, std::string_view line) override {
    const DWORD kept_error = ::GetLastError();
    const std::string path = TracePath(file_name);
    HANDLE file = OpenTrace(path, OPEN_EXISTING);
    LARGE_INTEGER size;
    if (file != INVALID_HANDLE_VALUE && ::GetFileSizeEx(file, &size) &&
        size.QuadPart >= kTraceLimit) {
      // Full: the older lines move to NAME.1, and the trace goes on in the
      // same file, emptied.
      ::CloseHandle(file);
      RotateTrace(path);
      file = OpenTrace(path, OPEN_EXISTING);
    }
    if (file != INVALID_HANDLE_VALUE) {
      std::string bytes(line);
      bytes += "\r\n";
      DWORD written = 0;
      ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
      ::CloseHandle(file);
    }
    ::SetLastError(kept_error);
  }

  LocalTime Now() override {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    return LocalTime{now.wYear,   now.wMonth,  now.wDay,         now.wHour,
                     now.wMinute, now.wSecond, now.wMilliseconds};
  }
};

}  // namespace

Platform& SystemPlatform() {
  // No state: one object serves every instance and call.
  static Win32Platform platform;
  return platform;
}

}  // namespace kolektor
