// The download utility's identity, kept beside the folder's lock while the
// import starts and runs it (kolektor.pid in invent_dir):
//
//   host <process id> <creation time>      who starts it
//   start <program> <system time>          when, before it is made
//   utility <process id> <creation time>   each process made for it
//
// The utility is made suspended and tied to the host by a job only a
// moment later; a host that dies in between leaves it suspended for good,
// holding nothing but a process. The record names it, so that the next
// import, or the installation check, ends exactly that process and no
// other. Each line is on the disk before the next step; the record goes
// once the utility is done with.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/file_names.h"
#include "platform/platform.h"

namespace kolektor {

class Trace;

struct UtilityRecordLines {
  ProcessIdentity host;  // id 0: no whole host line
  std::string program;
  std::uint64_t start = 0;  // 0: no whole start line
  std::vector<ProcessIdentity> utilities;
};
// The record's whole lines; a line cut by a kill is left out.
UtilityRecordLines ParseUtilityRecord(std::string_view bytes);

// The record of one start, written as the start goes on.
class UtilityRecord {
 public:
  UtilityRecord(Platform& platform, std::string path, Trace* trace)
      : platform_(platform), path_(std::move(path)), trace_(trace) {}
  // Before the utility is made: this process, the program and the time.
  void Begin(std::string_view program);
  // A process made for the utility, before it is tied or resumed.
  void Add(const ProcessIdentity& utility);
  // Once the utility is done with (ended, or never made).
  void Remove();

 private:
  bool Put(const std::string& line);

  Platform& platform_;
  std::string path_;
  Trace* trace_;
  std::unique_ptr<File> file_;
};

// Ends what a start cut short by its host's death left behind, as the
// record at `path` tells: each utility it names that is still that very
// process and has never run, and, for a host that died before it could
// name its utility, a process of that program the dead host made within a
// minute after the start line that has never run (not when a process made
// before it has the dead host's id now: that may be its parent). Nothing
// is done while the host lives. The
// processes ended, in order. `remove`: the record goes too (under the
// folder's lock, where no start can be under way).
std::vector<ProcessIdentity> EndOrphanedUtilities(Platform& platform, const std::string& path,
                                                  Trace* trace, bool remove);

}  // namespace kolektor
