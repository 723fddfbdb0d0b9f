#include "import/utility_record.h"

#include <algorithm>

#include "base/held_files.h"
#include "base/trace.h"

namespace kolektor {

namespace {

constexpr std::string_view kLineEnd = "\r\n";
// A record larger than this is no record of ours.
constexpr std::size_t kRecordLimit = 4096;
// How long after its start line a utility may come into being: making a
// process takes far less, even on a till that is busy.
constexpr std::uint64_t kStartWindow = 60ull * 10000000;  // 60 s in 100 ns
constexpr std::uint64_t kClockSlack = 10000000;           // 1 s

std::string Number(std::uint64_t value) { return std::to_string(value); }

// "<word> <number>[ <number>]": the words of one line.
std::vector<std::string_view> Words(std::string_view line) {
  std::vector<std::string_view> words;
  while (!line.empty()) {
    const std::size_t blank = line.find(' ');
    words.push_back(line.substr(0, blank));
    if (blank == std::string_view::npos) break;
    line.remove_prefix(blank + 1);
  }
  return words;
}

bool ParseNumber(std::string_view digits, std::uint64_t& value) {
  if (digits.empty() || digits.size() > 19) return false;
  value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
  }
  return true;
}

bool ParseIdentity(std::string_view id, std::string_view created, ProcessIdentity& who) {
  std::uint64_t i = 0, c = 0;
  if (!ParseNumber(id, i) || !ParseNumber(created, c) || i == 0 || i > 0xFFFFFFFFu) return false;
  who = ProcessIdentity{static_cast<std::uint32_t>(i), c};
  return true;
}

bool RemoveRecordFile(Platform& platform, Trace* trace, std::string_view what,
                      const std::string& path) {
  return WaitWhileHeld(platform, trace, what, [&] { return platform.RemoveFile(path); });
}

void Say(Trace* trace, const std::string& text) {
  if (trace != nullptr) trace->Line(text);
}

}  // namespace

UtilityRecordLines ParseUtilityRecord(std::string_view bytes) {
  UtilityRecordLines record;
  for (std::size_t end; (end = bytes.find(kLineEnd)) != std::string_view::npos;
       bytes.remove_prefix(end + kLineEnd.size())) {
    const std::vector<std::string_view> w = Words(bytes.substr(0, end));
    ProcessIdentity who;
    if (w.size() == 3 && w[0] == "host" && ParseIdentity(w[1], w[2], who)) {
      record.host = who;
    } else if (w.size() == 3 && w[0] == "start" && !w[1].empty() &&
               ParseNumber(w[2], record.start)) {
      record.program = std::string(w[1]);
    } else if (w.size() == 3 && w[0] == "utility" && ParseIdentity(w[1], w[2], who)) {
      record.utilities.push_back(who);
    }
  }
  return record;
}

bool UtilityRecord::Put(const std::string& line) {
  const bool written =
      file_ && file_->Write(line.data(), line.size()) == line.size() && file_->Flush();
  if (!written && trace_ != nullptr) trace_->Failure("writing the record of the download utility");
  return written;
}

void UtilityRecord::Begin(std::string_view program) {
  file_ = OpenWaitingWhileHeld(platform_, trace_, "creating the record of the download utility",
                               path_, OpenMode::kWriteTruncate);
  if (!file_) {
    if (trace_ != nullptr) trace_->Failure("creating the record of the download utility");
    return;
  }
  const ProcessIdentity host = platform_.ThisProcess();
  Put("host " + Number(host.id) + " " + Number(host.created) + std::string(kLineEnd) + "start " +
      std::string(program) + " " + Number(platform_.SystemTime()) + std::string(kLineEnd));
}

void UtilityRecord::Add(const ProcessIdentity& utility) {
  if (Put("utility " + Number(utility.id) + " " + Number(utility.created) +
          std::string(kLineEnd)) &&
      trace_ != nullptr)
    trace_->Line("the download utility's process " + Number(utility.id) + " recorded in " +
                 std::string(kUtilityRecordName));
}

void UtilityRecord::Remove() {
  if (file_) file_->Close();
  file_.reset();
  if (!RemoveRecordFile(platform_, trace_, "removing the record of the download utility", path_) &&
      platform_.FileExists(path_) && trace_ != nullptr)
    trace_->Failure("removing the record of the download utility");
}

std::vector<ProcessIdentity> EndOrphanedUtilities(Platform& platform, const std::string& path,
                                                  Trace* trace, bool remove) {
  std::vector<ProcessIdentity> ended;
  if (!platform.FileExists(path)) return ended;
  std::string bytes;
  if (const std::unique_ptr<File> file =
          OpenWaitingWhileHeld(platform, trace, "opening the record of an earlier download utility",
                               path, OpenMode::kRead)) {
    char buffer[512];
    for (long got; bytes.size() <= kRecordLimit && (got = file->Read(buffer, sizeof buffer)) > 0;)
      bytes.append(buffer, static_cast<std::size_t>(got));
  } else {
    if (trace != nullptr) trace->Failure("opening the record of an earlier download utility");
    return ended;
  }
  const UtilityRecordLines record = ParseUtilityRecord(bytes);
  // What has the host's id now: the host itself, another process (the
  // system hands ids out again, wine at once), or none. Not known counts
  // as the host.
  std::uint64_t holder = 0;
  const bool id_taken = record.host.id != 0 && platform.ProcessWithId(record.host.id, holder);
  if (id_taken && (holder == 0 || holder == record.host.created)) {
    // Its host lives: the start it records is under way, or its utility
    // is its own to end.
    Say(trace, "the record of an earlier download utility names a host that runs: left as it is");
    return ended;
  }
  auto end = [&](const ProcessIdentity& who) {
    switch (platform.EndIfNeverRun(who)) {
      case OrphanEnd::kEnded:
        Say(trace, "a download utility left suspended by a host that ended (process " +
                       Number(who.id) + "): ended");
        ended.push_back(who);
        break;
      case OrphanEnd::kFailed:
        if (trace != nullptr)
          trace->Failure("ending the suspended download utility " + Number(who.id));
        break;
      case OrphanEnd::kNotThere:
      case OrphanEnd::kRunning:
        break;
    }
  };
  if (record.host.id != 0) {
    for (const ProcessIdentity& utility : record.utilities) end(utility);
    // A host that died before it could name its utility: the utility is
    // its child, made just after the start line. A process that has the
    // dead host's id now and was made before the child may be the child's
    // parent: that child is not touched.
    if (record.start != 0) {
      for (const ProcessIdentity& child : platform.ChildrenOf(record.host.id, record.program)) {
        const bool named = std::find(record.utilities.begin(), record.utilities.end(), child) !=
                           record.utilities.end();
        // The two clocks may be a tick apart.
        const std::uint64_t from = record.start - std::min(record.start, kClockSlack);
        const bool in_window = child.created >= from && child.created - from <= kStartWindow;
        const bool other_parent_possible = id_taken && holder <= child.created;
        if (!named && in_window && !other_parent_possible) end(child);
      }
    }
  }
  if (remove &&
      !RemoveRecordFile(platform, trace, "removing the record of an earlier download utility",
                        path) &&
      trace != nullptr)
    trace->Failure("removing the record of an earlier download utility");
  return ended;
}

}  // namespace kolektor
