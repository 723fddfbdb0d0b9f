#include "import/import_command.h"

#include "import/data_conversion.h"
#include "import/journal.h"
#include "platform/platform.h"
#include "plugin/choice_table.h"
#include "plugin/host_link.h"
#include "plugin/plugin_api.h"
#include "plugin/texts.h"

namespace kolektor {

namespace {

namespace t = text;

constexpr Choice kDownloadBauds[] = {{"115200", "1,1,1,1,1,0"},
                                     {"57600", "2,1,1,1,1,0"},
                                     {"38400", "3,1,1,1,1,0"},
                                     {"19200", "4,1,1,1,1,0"},
                                     {"9600", "5,1,1,1,1,0"}};

struct Timeout {
  std::string_view value;
  std::uint32_t ticks;
};
constexpr Timeout kTimeouts[] = {{"1 min", 600},    {"2 min", 1200},    {"5 min", 3000},
                                 {"10 min", 6000},  {"15 min", 9000},   {"30 min", 18000},
                                 {"60 min", 36000}, {"120 min", 72000}, {"600 min", 360000}};
constexpr std::uint32_t kDefaultTicks = 3000;
static_assert(sizeof(kTimeouts) / sizeof(kTimeouts[0]) == 9);

constexpr std::uint32_t kPauseAfterNotice = 1000;
constexpr std::uint32_t kPauseAfterDelete = 1000;
constexpr std::uint32_t kPollPause = 100;
// The utility may still be flushing a.dat when it ends.
constexpr std::uint32_t kPauseAfterDownload = 5000;

enum class Download { kEnded, kTimedOut };

// Polls every 100 ms until the utility ends or the limit is reached.
Download Supervise(Platform& platform, ChildProcess child, std::uint32_t tick_limit) {
  platform.Sleep(0);
  std::uint32_t polls = 0;
  std::uint32_t status = kStillActive;
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

}  // namespace

bool InventDir(std::string_view counts_path, std::string& invent_dir) {
  int slashes = 0;
  std::size_t size = counts_path.size();
  while (size > 0 && slashes < 2) {
    --size;
    if (counts_path[size] == '\\') ++slashes;
  }
  if (slashes < 2) return false;
  invent_dir.assign(counts_path.substr(0, size));
  return true;
}

std::string DownloadCommandLine(std::string_view port, std::string_view baud) {
  std::string line = "IR_READ2.EXE a.dat,";
  line += Pick(kComPorts, port, port);
  line += ',';
  line += Pick(kDownloadBauds, baud, "");
  return line;
}

std::uint32_t TickLimit(std::string_view timeout) {
  for (const Timeout& t : kTimeouts)
    if (t.value == timeout) return t.ticks;
  return kDefaultTicks;
}

HostWord ImportCounts(Platform& platform, const PluginInstance* instance, HostWord operation_handle,
                      const char* counts_path) {
  if (instance == nullptr) return 0;
  const HostLink host(*instance, operation_handle);
  if (!host.CanOperate()) return 0;
  const std::string counts = counts_path != nullptr ? counts_path : "";

  host.Status(t::kTransactionInProgress);
  platform.Sleep(kPauseAfterNotice);
  const std::string port = host.Param(t::kParamPort);
  const std::string baud = host.Param(t::kParamBaud);
  const std::string command_line = DownloadCommandLine(port, baud);
  const std::uint32_t tick_limit = TickLimit(host.Param(t::kParamTimeout));

  std::string invent_dir;
  if (!InventDir(counts, invent_dir)) {
    // No folder for a.dat and the journal: nothing may be deleted or run.
    host.Error(t::kCountsOpenFailed);
    return 0;
  }
  const std::string data_path = invent_dir + "\\a.dat";
  const std::string journal_path = invent_dir + "\\Inwent.bak";

  // An old data file must not be converted again as if it were new.
  platform.RemoveFile(data_path);
  platform.Sleep(kPauseAfterDelete);

  platform.ShowMessage(data_path, std::string(t::kCaptionDataPath));
  platform.ShowMessage(journal_path, std::string(t::kCaptionJournalPath));
  platform.ShowMessage(command_line, std::string(t::kCaptionCommandLine));
  platform.ShowMessage(invent_dir, std::string(t::kCaptionInventDir));
  platform.ShowMessage(counts, std::string(t::kCaptionCountsPath));

  const ChildProcess child =
      platform.Start(command_line, invent_dir, WindowState::kMinimizedInactive);
  if (child.process == 0) {
    host.Error(t::DriverStartFailed(invent_dir + '\\' + command_line));
    return 0;
  }
  const Download download = Supervise(platform, child, tick_limit);
  platform.CloseChild(child);
  if (download == Download::kTimedOut) {
    host.Error(t::kNoConnection);
    return 0;
  }

  platform.Sleep(kPauseAfterDownload);
  if (!ConvertDataFile(platform, data_path, counts, host)) return 0;

  TJournalTools journal;
  if (!journal.Append(platform, counts, journal_path, JournalDirection::kImport)) {
    // The data file stays: it is the only other copy of these counts.
    host.Error(t::kWorkFileWriteFailed);
    return 0;
  }
  platform.RemoveFile(data_path);
  return 1;
}

}  // namespace kolektor
