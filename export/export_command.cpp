#include "export/export_command.h"

#include "base/file_names.h"
#include "base/folder_path.h"
#include "base/held_files.h"
#include "base/host_interface.h"
#include "base/host_link.h"
#include "base/settings_table.h"
#include "base/texts.h"
#include "base/trace.h"
#include "export/goods_conversion.h"
#include "platform/platform.h"

namespace kolektor {

namespace {

namespace t = text;

constexpr std::uint32_t kPauseBeforeReading = 4000;  // the user docks the terminal

// The goods file's own name is that of the lookup file ("A" too: Windows
// file names ignore case).
bool NamedLikeLookupFile(std::string_view goods_path) {
  const std::string_view name = goods_path.substr(goods_path.find_last_of('\\') + 1);
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  if (name.size() != kLookupFileName.size()) return false;
  for (std::size_t i = 0; i < name.size(); ++i)
    if (lower(name[i]) != lower(kLookupFileName[i])) return false;
  return true;
}

// The lookup file is the goods file under another spelling: "a.", "a ",
// "A.." (Windows drops trailing dots and blanks), an 8.3 alias, ".." in
// the path. Creating the lookup file would empty the host's goods file and
// send an empty list, so the files themselves are compared.
bool LookupIsGoodsFile(Platform& platform, File& goods, const std::string& goods_path,
                       const std::string& lookup_path) {
  if (NamedLikeLookupFile(goods_path)) return true;
  FileId goods_id, lookup_id;
  return goods.Identity(goods_id) && platform.FileIdentity(lookup_path, lookup_id) &&
         goods_id == lookup_id;
}

}  // namespace

GoodsPaths SplitGoodsPath(std::string_view goods_path) {
  const std::size_t slash = goods_path.find_last_of('\\');
  if (slash == std::string_view::npos || slash == 0)
    return GoodsPaths{std::string(), std::string(kLookupFileName)};
  // A goods file at a drive's root: the utility runs in that root, not in
  // the host's current folder on the drive.
  return GoodsPaths{AsFolder(std::string(goods_path.substr(0, slash))),
                    std::string(goods_path.substr(0, slash + 1)) + std::string(kLookupFileName)};
}

std::string UploadCommandLine(std::string_view install_dir, std::string_view port,
                              std::string_view baud) {
  std::string program = std::string(install_dir) + "\\" + std::string(kUploadUtility);
  // A folder with no short form (a network share, a volume without 8.3
  // names) keeps its blanks: unquoted, Windows would first try to start
  // C:\Program.exe and the like.
  if (program.find(' ') != std::string::npos) program = '"' + program + '"';
  std::string line = program + " " + std::string(kLookupFileName) + ",";
  // A port outside the table goes on as the host gave it; a speed outside
  // it adds nothing.
  line += UploadPart(kParamPort, port, port);
  line += ',';
  line += UploadPart(kParamBaud, baud, "");
  return line;
}

HostWord RunExport(Platform& platform, const HostLink& host, Trace& trace,
                   const std::string& path) {
  GoodsOptions options;
  options.price_level = PriceLevel(host.Param(kParamCena));
  host.Status(t::kTransactionInProgress);
  platform.Sleep(kPauseBeforeReading);

  trace.Value("goods file", path);
  std::unique_ptr<File> goods =
      OpenWaitingWhileHeld(platform, &trace, "opening the goods file", path, OpenMode::kRead);
  if (!goods) trace.Failure("opening the goods file");
  options.max_code_length = MaxCodeLength(host.Param(kParamMaxKod));
  host.Param(kParamTimeout);  // asked for, but the upload has no limit
  if (!goods) {
    host.Error(t::kGoodsOpenFailed);
    return 0;
  }

  const GoodsPaths paths = SplitGoodsPath(path);
  trace.Value("lookup file", paths.lookup_file);
  if (LookupIsGoodsFile(platform, *goods, path, paths.lookup_file)) {
    trace.Line("the lookup file is the goods file itself: refused");
    host.Error(t::kWorkFileOpenFailed);
    goods->Close();
    return 0;
  }
  std::unique_ptr<File> lookup = OpenWaitingWhileHeld(platform, &trace, "creating the lookup file",
                                                      paths.lookup_file, OpenMode::kWriteTruncate);
  if (!lookup) {
    trace.Failure("creating the lookup file");
    host.Error(t::kWorkFileOpenFailed);
    goods->Close();
    return 0;
  }
  if (!KonwertujTowary(*goods, *lookup, options, host)) return 0;

  const std::string value_name = std::string("HKLM\\") + kInstallKey + " value " + kInstallValue;
  RegistryKey key = 0;
  if (!platform.RegistryOpen(kInstallKey, key)) {
    trace.Failure("opening the registry key HKLM\\" + std::string(kInstallKey) +
                  " (for its value " + kInstallValue + ")");
    host.Error(t::kRegistryOpenFailed);
    return 0;
  }
  std::string install_dir;
  if (!platform.RegistryReadString(key, kInstallValue, kInstallValueBytes, install_dir)) {
    trace.Failure("reading " + value_name);
    platform.RegistryClose(key);
    host.Error(t::kRegistryReadFailed);
    return 0;
  }
  if (!platform.RegistryClose(key)) {
    trace.Failure("closing the registry key");
    host.Error(t::kRegistryCloseFailed);
    return 0;
  }
  trace.Value(value_name, install_dir);
  // The vendor's utility cannot take blanks in its path; with no short
  // form the start below fails and names the directory as it stands.
  std::string short_dir;
  if (platform.ShortPath(install_dir, short_dir))
    install_dir = short_dir;
  else
    trace.Failure("the short form of the installation folder");

  // The folder and the utility's name run together, with no backslash
  // between them: the text the host has always shown in "Błąd uruchomienia
  // driver'a (...)". Shops and support know the message so, and the
  // export's failure test pins it; the command line itself has its
  // backslash.
  const std::string display_name = install_dir + std::string(kUploadUtility);
  const std::string port = host.Param(kParamPort);
  const std::string baud = host.Param(kParamBaud);
  const std::string command_line = UploadCommandLine(install_dir, port, baud);

  trace.Value("starting", command_line);
  trace.Value("in the folder", paths.directory);
  const ChildProcess child = platform.Start(command_line, paths.directory, WindowState::kDefault);
  if (child.process == 0) {
    trace.Failure("starting the upload utility");
    host.Error(t::DriverStartFailed(display_name));
    return 0;
  }
  trace.Number("process id", child.id);
  // The upload takes as long as the terminal needs; its exit code tells
  // nothing the host could act on.
  const std::uint64_t started = trace.on() ? platform.Milliseconds() : 0;
  platform.WaitForEnd(child);
  if (trace.on()) {
    std::uint32_t exit_code = 0;
    if (platform.ExitStatus(child, exit_code)) trace.Number("exit code", exit_code);
    trace.Number("waited ms", platform.Milliseconds() - started);
  }
  platform.CloseChild(child);
  return 1;
}

}  // namespace kolektor
