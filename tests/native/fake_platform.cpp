#include "tests/native/fake_platform.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <new>

namespace kolektor::testing {

FileId FakeFileId(const std::string& stored_path) {
  return FileId{1, std::hash<std::string>()(stored_path)};
}

class FakeFile final : public File {
 public:
  FakeFile(FakePlatform& platform, std::string path, OpenMode mode)
      : platform_(platform), path_(std::move(path)), mode_(mode) {
    ++platform_.open_files_;
  }
  ~FakeFile() override { Close(); }  // closing is no kill point: no throw here

  long Read(char* buffer, std::size_t size) override {
    if (platform_.ShouldFail("read")) return -1;
    const std::string& bytes = platform_.files[path_];
    if (position_ >= bytes.size()) return 0;
    const std::size_t n = std::min({size, platform_.read_chunk, bytes.size() - position_});
    std::memcpy(buffer, bytes.data() + position_, n);
    position_ += n;
    return static_cast<long>(n);
  }

  std::size_t Write(const char* data, std::size_t size) override {
    if (mode_ == OpenMode::kRead) return 0;
    if (platform_.ShouldFail("write")) {
      // A full disk takes part of the block; so does a kill.
      const std::size_t part = size / 2;
      Put(data, part);
      if (platform_.fault_kills) throw FakePlatform::ProcessDeath{};
      return part;
    }
    Put(data, size);
    return size;
  }

  bool Size(std::uint64_t& size) override {
    if (platform_.ShouldFail("size")) return false;
    size = platform_.files[path_].size();
    return true;
  }

  bool Seek(std::uint64_t position) override {
    if (platform_.ShouldFail("seek")) return false;
    position_ = static_cast<std::size_t>(position);
    return true;
  }

  bool Identity(FileId& id) override {
    if (platform_.ShouldFail("identity")) return false;
    id = platform_.file_ids ? FakeFileId(platform_.StoredPath(path_)) : FileId{1, 0};
    return true;
  }

  bool Truncate(std::uint64_t size) override {
    platform_.Record("truncate " + path_ + " " + std::to_string(size));
    if (platform_.ShouldFail("truncate")) return false;
    platform_.files[path_].resize(static_cast<std::size_t>(size));
    position_ = static_cast<std::size_t>(size);
    return true;
  }

  bool Flush() override {
    platform_.Record("flush " + path_);
    return !platform_.ShouldFail("flush");
  }

  bool Close() override {
    if (closed_) return result_;
    closed_ = true;
    --platform_.open_files_;
    platform_.Record("close " + path_);
    result_ = !platform_.ShouldFail("close");
    return result_;
  }

 private:
  void Put(const char* data, std::size_t size) {
    std::string& bytes = platform_.files[path_];
    if (bytes.size() < position_ + size) bytes.resize(position_ + size);
    std::memcpy(&bytes[position_], data, size);
    position_ += size;
  }

  FakePlatform& platform_;
  std::string path_;
  OpenMode mode_;
  std::size_t position_ = 0;
  bool closed_ = false;
  bool result_ = true;
};

int FakePlatform::Calls(const std::string& operation) const {
  const auto it = calls_.find(operation);
  return it == calls_.end() ? 0 : it->second;
}

namespace {

// The calls that change something, where a kill can fall: a kill at any
// other call is the same as one at the next of these.
bool Changes(const std::string& operation) {
  for (const char* name : {"open", "write", "flush", "truncate", "remove", "move", "lock", "start",
                           "tie", "resume", "end_orphan"})
    if (operation == name) return true;
  return false;
}

}  // namespace

bool FakePlatform::ShouldFail(const std::string& operation) {
  if (dead_) return true;
  if (Changes(operation) && ++changes_ == kill_at_) {
    dead_ = true;
    Record("killed at " + operation);
    throw ProcessDeath{};
  }
  const int n = ++calls_[operation];
  const auto it = fail_at_.find(operation);
  const bool fail = it != fail_at_.end() && it->second == n;
  if (fail && fault_throws) throw std::bad_alloc();
  if (fail) last_error = fault_error;
  return fail;
}

void FakePlatform::Sleep(std::uint32_t milliseconds) {
  clock_ms += milliseconds;
  // Polls are many; the log keeps only the other pauses.
  if (milliseconds != 100) Record("sleep " + std::to_string(milliseconds));
}

bool FakePlatform::Held(const std::string& path) {
  const auto held = held_for.find(path);
  if (held == held_for.end() || files.count(path) == 0) return false;
  const auto until = held_until_.emplace(path, clock_ms + held->second).first->second;
  if (clock_ms >= until) return false;
  last_error = kErrorSharingViolation;
  return true;
}

std::unique_ptr<File> FakePlatform::Open(const std::string& path, OpenMode mode) {
  const char* how = mode == OpenMode::kRead            ? "read"
                    : mode == OpenMode::kWriteTruncate ? "write"
                                                       : "append";
  Record(std::string("open ") + how + " " + path);
  if (ShouldFail("open") || Held(path)) return nullptr;
  if (unopenable.count(path) != 0) {
    last_error = 5;  // ERROR_ACCESS_DENIED
    return nullptr;
  }
  switch (mode) {
    case OpenMode::kRead:
      if (files.count(path) == 0) {
        last_error = 2;  // ERROR_FILE_NOT_FOUND
        return nullptr;
      }
      break;
    case OpenMode::kWriteTruncate:
      files[path].clear();
      break;
    case OpenMode::kWriteKeep:
      files[path];
      break;
  }
  return std::make_unique<FakeFile>(*this, path, mode);
}

bool FakePlatform::FileExists(const std::string& path) {
  if (ShouldFail("exists")) return false;
  return files.count(path) != 0;
}

bool FakePlatform::RemoveFile(const std::string& path) {
  Record("delete " + path);
  if (ShouldFail("remove") || Held(path)) return false;
  if (files.erase(path) != 0) return true;
  last_error = 2;  // ERROR_FILE_NOT_FOUND
  return false;
}

std::string FakePlatform::StoredPath(const std::string& path) const {
  const auto it = same_file.find(path);
  return it == same_file.end() ? path : it->second;
}

MoveResult FakePlatform::RenameFile(const std::string& from, const std::string& to) {
  Record("move " + from + " -> " + to);
  if (ShouldFail("move") || Held(from)) return MoveResult::kFailed;
  if (unmovable.count(from) != 0) {
    last_error = kErrorSharingViolation;  // held for good: waited for in vain
    return MoveResult::kFailed;
  }
  if (files.count(from) == 0) return MoveResult::kNoSource;
  if (files.count(to) != 0) return MoveResult::kTargetExists;
  files[to] = std::move(files[from]);
  files.erase(from);
  return MoveResult::kMoved;
}

bool FakePlatform::FileIdentity(const std::string& path, FileId& id) {
  if (ShouldFail("identity") || files.count(StoredPath(path)) == 0) return false;
  id = file_ids ? FakeFileId(StoredPath(path)) : FileId{1, 0};
  return true;
}

LockResult FakePlatform::Lock(const std::string& path, LockHandle& handle) {
  Record("lock " + path);
  if (locks_elsewhere.count(path) != 0 || locks.count(path) != 0) return LockResult::kBusy;
  if (lock_refusals.count(path) != 0) return lock_refusals[path];
  if (ShouldFail("lock")) return LockResult::kFailed;
  locks.insert(path);
  lock_paths_.push_back(path);
  handle = lock_paths_.size();
  return LockResult::kTaken;
}

void FakePlatform::Unlock(LockHandle handle) {
  Record("unlock");
  locks.erase(lock_paths_.at(handle - 1));
}

bool FakePlatform::RegistryOpen(const std::string& key, RegistryKey& handle) {
  Record("reg_open " + key);
  if (ShouldFail("reg_open")) return false;
  if (registry.count(key) == 0) {
    last_error = 2;  // ERROR_FILE_NOT_FOUND, as Windows answers
    return false;
  }
  open_keys_.push_back(key);
  handle = open_keys_.size();
  return true;
}

bool FakePlatform::RegistryReadString(RegistryKey handle, const std::string& name,
                                      std::size_t max_bytes, std::string& value) {
  Record("reg_read " + name);
  if (ShouldFail("reg_read") || non_string.count(name) != 0) return false;
  const auto& values = registry[open_keys_.at(handle - 1)];
  const auto it = values.find(name);
  if (it == values.end() || it->second.size() + 1 > max_bytes) {
    last_error = it == values.end() ? 2 : 234;  // not found; ERROR_MORE_DATA
    return false;
  }
  value = it->second;
  return true;
}

bool FakePlatform::RegistryClose(RegistryKey handle) {
  Record("reg_close");
  open_keys_.at(handle - 1) += " (closed)";
  return !ShouldFail("reg_close");
}

bool FakePlatform::ShortPath(const std::string& path, std::string& short_path) {
  if (ShouldFail("short_path")) return false;
  const auto it = short_paths.find(path);
  if (it == short_paths.end()) return false;
  short_path = it->second;
  return true;
}

ChildProcess FakePlatform::Start(const std::string& command_line,
                                 const std::string& current_directory, WindowState window) {
  Record("start " + command_line + " in " + current_directory);
  starts.push_back({command_line, current_directory, window});
  if (ShouldFail("start")) return ChildProcess{};
  queries_ = 0;
  if (child.on_start) child.on_start(current_directory);
  ++open_children;
  return ChildProcess{1, 2, 4242};
}

ChildProcess FakePlatform::StartTied(const std::string& command_line,
                                     const std::string& current_directory, WindowState window,
                                     LockHandle lock, const ChildCreated& created) {
  Record("start " + command_line + " in " + current_directory);
  starts.push_back({command_line, current_directory, window, true, lock});
  if (ShouldFail("start")) return ChildProcess{};
  Process made;
  made.identity = ProcessIdentity{next_child_id_++, SystemTime()};
  made.parent = self.id;
  made.program = command_line.substr(0, command_line.find(' '));
  made.suspended = true;
  processes.push_back(made);
  const std::size_t index = processes.size() - 1;
  created(made.identity);
  ChildProcess child{1, 2, made.identity.id, made.identity.created};
  if (!ShouldFail("tie")) {
    child.job = 3;
    processes[index].tied = true;
  }
  if (lock != 0) {
    child.holds_lock = true;
    processes[index].lock = lock_paths_.at(lock - 1);
  }
  ShouldFail("resume");  // a kill may fall here; it never fails otherwise
  processes[index].suspended = false;
  running_child_ = index + 1;
  queries_ = 0;
  if (this->child.on_start) this->child.on_start(current_directory);
  ++open_children;
  return child;
}

void FakePlatform::HostDied() {
  dead_ = false;
  kill_at_ = 0;
  // Those tied to it end with their job; those that ran finish their
  // download and end.
  for (Process& p : processes)
    if (!p.ended && p.parent == self.id && (p.tied || !p.suspended)) p.ended = true;
  locks.clear();
  for (const Process& p : processes)
    if (!p.ended && !p.lock.empty()) locks_elsewhere.insert(p.lock);
  open_children = 0;
  running_child_ = 0;
  self = ProcessIdentity{self.id + 1, SystemTime()};
}

bool FakePlatform::ProcessWithId(std::uint32_t id, std::uint64_t& created) {
  created = 0;
  if (ShouldFail("process_with_id")) return true;  // one that may not be looked at
  if (id == self.id) {
    created = self.created;
    return true;
  }
  for (const Process& p : processes)
    if (!p.ended && p.identity.id == id) {
      created = p.identity.created;
      return true;
    }
  return false;
}

std::vector<ProcessIdentity> FakePlatform::ChildrenOf(std::uint32_t parent_id,
                                                      std::string_view program) {
  std::vector<ProcessIdentity> found;
  if (ShouldFail("children")) return found;
  auto upper = [](std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
  };
  for (const Process& p : processes)
    if (!p.ended && p.parent == parent_id && upper(p.program) == upper(program))
      found.push_back(p.identity);
  return found;
}

OrphanEnd FakePlatform::EndIfNeverRun(const ProcessIdentity& who) {
  Record("end if never run " + std::to_string(who.id));
  if (ShouldFail("end_orphan")) return OrphanEnd::kFailed;
  for (Process& p : processes) {
    if (p.ended || !(p.identity == who)) continue;
    if (!p.suspended) return OrphanEnd::kRunning;
    p.ended = true;
    if (!p.lock.empty()) locks_elsewhere.erase(p.lock);
    orphans_ended.push_back(who);
    return OrphanEnd::kEnded;
  }
  return OrphanEnd::kNotThere;
}

void FakePlatform::WaitForEnd(ChildProcess) {
  Record("wait");
  if (child.running_queries > 0) clock_ms += 1000;
}

bool FakePlatform::ExitStatus(ChildProcess, std::uint32_t& status) {
  ++polls;
  if (ShouldFail("exit_status")) return false;
  ++queries_;
  const bool running = child.running_queries < 0 || queries_ <= child.running_queries;
  status = running ? kStillActive : child.exit_code;
  return true;
}

bool FakePlatform::Terminate(ChildProcess, std::uint32_t exit_code) {
  Record("terminate " + std::to_string(exit_code));
  terminated = true;
  if (running_child_ != 0) processes[running_child_ - 1].ended = true;
  return !ShouldFail("terminate");
}

void FakePlatform::CloseChild(ChildProcess) {
  Record("close_child");
  --open_children;
  // Ended, or ended now with its job.
  if (running_child_ != 0) processes[running_child_ - 1].ended = true;
  running_child_ = 0;
}

void FakePlatform::ShowMessage(const std::string& text, const std::string& caption) {
  Record("box " + caption + ": " + text);
  messages.emplace_back(caption, text);
}

LocalTime FakePlatform::Now() { return now; }

}  // namespace kolektor::testing
