#include "host/support_file.h"

#include <shlobj.h>
#include <windows.h>

#include <algorithm>
#include <memory>

#include "base/cp1250.h"
#include "base/file_names.h"
#include "base/folder_path.h"
#include "base/held_files.h"
#include "base/time_text.h"
#include "host/plugin_host.h"
#include "host/program_texts.h"
#include "host/registry_view.h"
#include "host/system_error_text.h"
#include "host/zrbhost_files.h"
#include "import/import_command.h"
#include "import/journal.h"
#include "platform/win32.h"
#include "tools/docs/message_reference.h"
#include "tools/files/counts_summary.h"
#include "tools/files/journal_tool.h"

namespace kolektor::host {

namespace {

namespace u = ui;
using ui::Fill;

// The file is read by people, in a mail or on paper.
constexpr std::size_t kWidth = 79;
constexpr std::size_t kTraceLines = 500;
constexpr std::size_t kRecordLines = 5000;

std::string Ansi(const std::string& path) { return Utf8FromAnsi(path); }

std::string Heading(std::string_view title) { return "\n== " + std::string(title) + " ==\n"; }

std::string Line(const std::string& text) { return WrapLongLines(text, kWidth) + "\n"; }

std::string Folder(const std::string& path) {
  const std::size_t slash = path.find_last_of('\\');
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

std::string Now() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  return TimeText({t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond}, "Y-M-D h:m:s");
}

std::string ProgramName() {
  char path[MAX_PATH] = {};
  const DWORD got = GetModuleFileNameA(nullptr, path, sizeof path);
  const std::string full(path, got);
  return Ansi(full.substr(full.find_last_of('\\') + 1));
}

// The version Windows really is: RtlGetVersion, since GetVersionEx answers
// 6.2 to a program without a manifest on every Windows since 8.
std::string WindowsVersion() {
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
  using RtlGetVersion = LONG(WINAPI*)(OSVERSIONINFOW*);
  const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  const FARPROC found = ntdll != nullptr ? GetProcAddress(ntdll, "RtlGetVersion") : nullptr;
  const auto rtl = reinterpret_cast<RtlGetVersion>(reinterpret_cast<void*>(found));
  if (rtl == nullptr || rtl(&info) != 0) GetVersionExW(&info);
  std::string number = std::to_string(info.dwMajorVersion) + "." +
                       std::to_string(info.dwMinorVersion) + "." +
                       std::to_string(info.dwBuildNumber);
  if (info.szCSDVersion[0] != L'\0') number += " " + Utf8FromWide(info.szCSDVersion);
  std::string product;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", 0,
                    KEY_READ, &key) == ERROR_SUCCESS) {
    char name[256] = {};
    DWORD size = sizeof name - 1, type = 0;
    if (RegQueryValueExA(key, "ProductName", nullptr, &type, reinterpret_cast<BYTE*>(name),
                         &size) == ERROR_SUCCESS &&
        type == REG_SZ)
      product = Ansi(name);
    RegCloseKey(key);
  }
  return Fill(u::kSupportWindows,
              {product, number, std::string(WindowsIs64Bit() ? u::kSupport64 : u::kSupport32)});
}

int ScreenDpi() {
  const HDC screen = GetDC(nullptr);
  const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
  if (screen != nullptr) ReleaseDC(nullptr, screen);
  return dpi;
}

std::string Versions(const SupportInput& in) {
  std::string out = Heading(u::kSupportVersions);
  if (in.plugin_path.empty()) {
    out += Line(Fill(u::kSupportNoPlugin, {in.plugin_missing}));
  } else {
    const std::string version = FileVersionOf(in.plugin_path);
    out +=
        Line(Fill(u::kSupportPlugin, {Ansi(in.plugin_path),
                                      version.empty() ? std::string(u::kFormNoVersion) : version}));
  }
  for (const char* program : {"zrbhost.exe", "kolektor-test.exe"}) {
    const std::string path = ProgramFolder() + program;
    const std::string version = FileVersionOf(path);
    out += Line(
        Fill(u::kSupportProgram,
             {program, IsFile(path) ? (version.empty() ? std::string(u::kFormNoVersion)
                                                       : Ansi(path) + ", " + version)
                                    : Fill(u::kSupportMissingProgram, {Ansi(ProgramFolder())})}));
  }
  out += Line(WindowsVersion());
  out += Line(Fill(u::kSupportCodePages, {std::to_string(GetACP()), std::to_string(GetOEMCP())}));
  const int dpi = ScreenDpi();
  out += Line(Fill(u::kSupportDpi, {std::to_string(dpi), std::to_string(dpi * 100 / 96)}));
  return out;
}

std::string Check(const SupportInput& in) {
  InstallCheckInput check;
  for (const SupportSetting& s : in.settings)
    if (s.name == kParamPort) check.port = s.value;
  check.goods_path = in.goods_path;
  check.counts_path = in.counts_path;
  check.plugin_path = in.plugin_path;
  check.rehearsal_folder = in.rehearsal_folder;
  check.look_only = true;
  std::string out = Heading(u::kSupportCheck);
  int faults = 0, warnings = 0;
  for (const InstallCheckItem& item : CheckInstallation(check)) {
    const std::string_view level = item.level == InstallCheckItem::kOk        ? u::kLogOk
                                   : item.level == InstallCheckItem::kWarning ? u::kLogWarning
                                                                              : u::kLogFault;
    faults += item.level == InstallCheckItem::kFault;
    warnings += item.level == InstallCheckItem::kWarning;
    out += Line(std::string(level) + ": " + item.what);
    if (!item.fix.empty()) out += Line("    " + std::string(u::kLogFix) + " " + item.fix);
  }
  out += Line(Fill(u::kLogCheckDone, {std::to_string(faults), std::to_string(warnings)}));
  return out;
}

std::string ValueText(HostValue found, const std::string& value) {
  switch (found) {
    case HostValue::kFound:
      return Fill(u::kSupportValue, {Utf8FromCp1250(value)});
    case HostValue::kNoKey:
      return std::string(u::kSupportNoKey);
    case HostValue::kNoValue:
      return std::string(u::kSupportNoValue);
    case HostValue::kUnusable:
      break;
  }
  return std::string(u::kSupportBadValue);
}

std::string Registry() {
  std::string out = Heading(u::kSupportRegistry);
  std::string value;
  const HostValue found = ReadBinaria(value);
  if (!WindowsIs64Bit())
    return out + Line(Fill(u::kSupportOneView, {HostKeyShown(), ValueText(found, value)}));
  out += Line(Fill(u::kSupportViewRead, {HostKeyShown(), ValueText(found, value)}));
  std::string other;
  const HostValue there = ReadBinariaInOtherView(other);
  return out + Line(Fill(u::kSupportViewOther, {OtherViewKeyShown(), ValueText(there, other)}));
}

std::string Settings(const SupportInput& in) {
  std::string out = Heading(u::kSupportSettings);
  for (const SupportSetting& s : in.settings)
    out +=
        Line(Fill(u::kSupportSetting, {Utf8FromCp1250(s.label), s.name, Utf8FromCp1250(s.value)}));
  if (in.settings.empty()) out += Line(std::string(u::kSupportNoSettings));
  const std::string none(u::kSupportNotGiven);
  out += Line(Fill(u::kSupportPaths, {in.goods_path.empty() ? none : Ansi(in.goods_path),
                                      in.counts_path.empty() ? none : Ansi(in.counts_path)}));
  return out;
}

std::string Counts(const SupportInput& in) {
  if (in.counts_path.empty()) return std::string();
  std::string out = Heading(u::kSupportCounts);
  Platform& system = SystemPlatform();
  std::unique_ptr<File> counts =
      OpenWaitingWhileHeld(system, nullptr, "opening", in.counts_path, OpenMode::kRead);
  if (!counts)
    return out +
           Line(Fill(u::kToolCannotOpen, {std::string(u::kRoleCountsFile), Ansi(in.counts_path)}) +
                " " + std::string(u::kSystemErrorHead) + std::to_string(system.LastError()) + ")");
  return out + Line(Ansi(in.counts_path) + ": " + CountsSummaryText(SummarizeCounts(*counts)));
}

// What a block extract writes, kept in memory up to a number of lines.
class CollectedLines final : public File {
 public:
  explicit CollectedLines(std::size_t most) : most_(most) {}
  long Read(char*, std::size_t) override { return -1; }
  std::size_t Write(const char* data, std::size_t size) override {
    for (std::size_t i = 0; i < size; ++i) {
      if (lines_ < most_) text_ += data[i];
      if (data[i] == '\n') ++lines_;
    }
    return size;
  }
  bool Size(std::uint64_t& size) override {
    size = text_.size();
    return true;
  }
  bool Seek(std::uint64_t) override { return false; }
  bool Identity(FileId&) override { return false; }
  bool Truncate(std::uint64_t) override { return false; }
  bool Flush() override { return true; }
  bool Close() override { return true; }
  const std::string& text() const { return text_; }
  std::size_t lines() const { return lines_; }

 private:
  std::size_t most_;
  std::size_t lines_ = 0;
  std::string text_;
};

// The codes and quantities of the journal's last block, only when asked.
std::string LastBlock(Platform& system, const std::string& journal_path) {
  std::uint64_t unfinished_from = kNoUnfinishedAppend;
  if (std::unique_ptr<File> record = system.Open(AppendRecordPath(journal_path), OpenMode::kRead))
    if (!ReadAppendRecord(*record, unfinished_from)) unfinished_from = kNoUnfinishedAppend;
  std::unique_ptr<File> journal = system.Open(journal_path, OpenMode::kRead);
  if (!journal) return std::string();
  const JournalSummary summary = ListJournal(
      *journal, [](const JournalBlock&) {}, unfinished_from);
  if (summary.blocks == 0) return std::string();
  journal = system.Open(journal_path, OpenMode::kRead);
  if (!journal) return std::string();
  CollectedLines lines(kRecordLines);
  ExtractBlock(*journal, summary.blocks, lines, nullptr, unfinished_from);
  std::string out = "\n" + Fill(u::kSupportLastBlock, {std::to_string(summary.blocks)}) + "\n";
  for (char c : Utf8FromCp1250(lines.text()))
    if (c != '\r') out += c;
  if (lines.lines() > kRecordLines)
    out += Fill(u::kSupportRecordsCut, {std::to_string(kRecordLines)}) + "\n";
  return out;
}

std::string Journal(const SupportInput& in, const std::string& invent_dir) {
  const std::string journal = JoinPath(invent_dir, kJournalFileName);
  std::string out = Heading(u::kSupportJournal);
  if (!IsFile(journal)) return out + Line(std::string(u::kInstallNoJournal));
  std::string listing;
  const auto collect = [&listing](const std::string& utf8) { listing += utf8; };
  zrbhost::JournalList(SystemPlatform(), journal, zrbhost::Printer{collect, collect});
  out += WrapLongLines(listing, kWidth);
  if (in.with_records) out += LastBlock(SystemPlatform(), journal);
  return out;
}

std::string FileTime(const FILETIME& written) {
  FILETIME local;
  SYSTEMTIME t;
  if (!FileTimeToLocalFileTime(&written, &local) || !FileTimeToSystemTime(&local, &t))
    return std::string();
  return TimeText({t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond}, "Y-M-D h:m:s");
}

// a.dat and the copies earlier imports kept of it: names, sizes, times.
// Copies whose counts are already in the journal (a.imp.*) are listed too,
// marked as such, so that nobody counts them again.
std::string KeptCopies(const std::string& invent_dir) {
  std::string out = Heading(Fill(u::kSupportKept, {Ansi(invent_dir)}));
  std::vector<std::string> rows;
  const struct {
    std::string pattern;
    std::string_view row;
  } kinds[] = {{std::string(kDataFileName) + "*", u::kSupportKeptFile},
               {std::string(kImportedDataPrefix) + "*", u::kSupportImportedFile}};
  for (const auto& kind : kinds) {
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA(JoinPath(invent_dir, kind.pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) continue;
    do {
      if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
      const unsigned long long size =
          (static_cast<unsigned long long>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
      rows.push_back(Fill(kind.row, {Ansi(found.cFileName), std::to_string(size),
                                     FileTime(found.ftLastWriteTime)}));
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  std::sort(rows.begin(), rows.end());
  for (const std::string& row : rows) out += Line(row);
  if (rows.empty()) out += Line(std::string(u::kSupportNoKept));
  return out;
}

bool ReadWhole(Platform& system, const std::string& path, std::string& bytes) {
  std::unique_ptr<File> file =
      OpenWaitingWhileHeld(system, nullptr, "opening", path, OpenMode::kRead);
  if (!file) return false;
  char buffer[1 << 16];
  for (long got; (got = file->Read(buffer, sizeof buffer)) > 0;)
    bytes.append(buffer, static_cast<std::size_t>(got));
  return true;
}

// The trace's last lines, from its earlier part too when the trace has
// just moved on to a new file.
std::string Trace(const SupportInput& in, const std::string& zrb_folder) {
  std::string out = Heading(u::kSupportTrace);
  const std::string plugin = !in.plugin_path.empty() ? in.plugin_path
                             : !zrb_folder.empty()   ? JoinPath(zrb_folder, kPluginFileName)
                                                     : std::string();
  const std::string trace = TraceFileOf(plugin);
  if (trace.empty()) return out + Line(std::string(u::kSupportTraceUnknown));
  if (!IsFile(trace)) return out + Line(Fill(u::kSupportTraceOff, {Ansi(trace)}));
  std::string bytes;
  ReadWhole(SystemPlatform(), trace + ".1", bytes);
  ReadWhole(SystemPlatform(), trace, bytes);
  std::vector<std::string_view> lines;
  for (std::size_t at = 0; at < bytes.size();) {
    std::size_t end = bytes.find('\n', at);
    if (end == std::string::npos) end = bytes.size();
    std::string_view line(bytes.data() + at, end - at);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    at = end + 1;
  }
  const std::size_t first = lines.size() > kTraceLines ? lines.size() - kTraceLines : 0;
  out += Line(Fill(u::kSupportTraceLines, {Ansi(trace), std::to_string(lines.size() - first)}));
  for (std::size_t i = first; i < lines.size(); ++i) out += std::string(lines[i]) + "\n";
  return out;
}

std::string Desktop() {
  char path[MAX_PATH] = {};
  if (SHGetFolderPathA(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, path) == S_OK) return path;
  return ".";
}

}  // namespace

std::string SupportText(const SupportInput& in) {
  std::string out =
      std::string(u::kSupportTitle) + "\n" + Line(Fill(u::kSupportMade, {Now(), ProgramName()})) +
      Line(std::string(in.with_records ? u::kSupportWithGoodsData : u::kSupportNoGoodsData));
  out += Versions(in);
  out += Check(in);
  out += Registry();
  out += Settings(in);
  out += Counts(in);
  std::string invent_dir;
  if (!in.counts_path.empty() && InventDir(in.counts_path, invent_dir) && !invent_dir.empty()) {
    out += Journal(in, invent_dir);
    out += KeptCopies(invent_dir);
  } else {
    out += Heading(u::kSupportJournal) + Line(std::string(u::kSupportNoInventDir));
  }
  std::string zrb_folder;
  if (ReadBinaria(zrb_folder) != HostValue::kFound) zrb_folder.clear();
  // Windows' reason beside each system error number of ours; the trace's
  // own lines ("system error N") stay as the plug-in wrote them.
  return WithSystemErrorReasons(out) + Trace(in, zrb_folder);
}

SupportFile WriteSupportFile(const SupportInput& in) {
  SupportFile result;
  std::string folder = in.folder.empty() ? Desktop() : in.folder;
  while (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
  // UTF-8 with a byte-order mark and CR LF: Notepad on any Windows.
  std::string bytes = "\xEF\xBB\xBF";
  for (char c : SupportText(in)) {
    if (c == '\n') bytes += '\r';
    bytes += c;
  }
  SYSTEMTIME t;
  GetLocalTime(&t);
  const std::string stamp =
      TimeText({t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond}, "YMD-hms");
  for (int n = 1; n < 100; ++n) {
    const std::string name =
        Fill(u::kSupportFileName, {stamp + (n == 1 ? "" : "-" + std::to_string(n))});
    const std::string path = JoinPath(folder, name);
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      const DWORD error = GetLastError();
      if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) continue;
      result.error = Fill(u::kSupportCannotWrite, {Ansi(folder), std::to_string(error)});
      return result;
    }
    DWORD written = 0;
    const bool whole =
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size();
    const DWORD error = GetLastError();
    CloseHandle(file);
    if (!whole) {
      DeleteFileA(path.c_str());
      result.error = Fill(u::kSupportCannotWrite, {Ansi(folder), std::to_string(error)});
      return result;
    }
    result.written = true;
    result.path = path;
    return result;
  }
  result.error = Fill(u::kSupportCannotWrite, {Ansi(folder), std::to_string(ERROR_FILE_EXISTS)});
  return result;
}

}  // namespace kolektor::host
