#include "host/install_check.h"

#include <windows.h>

#include <string_view>

#include "base/cp1250.h"
#include "base/file_names.h"
#include "base/folder_path.h"
#include "host/plugin_host.h"
#include "host/program_texts.h"
#include "host/registry_view.h"
#include "import/import_command.h"
#include "import/utility_record.h"
#include "platform/win32.h"

namespace kolektor::host {

namespace {

namespace u = ui;
using ui::Fill;

std::string Utf8(const std::string& cp1250) { return Utf8FromCp1250(cp1250); }

std::string Folder(const std::string& path) {
  const std::size_t slash = path.find_last_of('\\');
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

struct Items {
  std::vector<InstallCheckItem> list;
  void Ok(std::string what) { list.push_back({InstallCheckItem::kOk, std::move(what), ""}); }
  void Warn(std::string what, std::string_view fix) {
    list.push_back({InstallCheckItem::kWarning, std::move(what), std::string(fix)});
  }
  void Fault(std::string what, std::string_view fix) {
    list.push_back({InstallCheckItem::kFault, std::move(what), std::string(fix)});
  }
};

// The host's value where ZRB reads it, and one written in the other view
// (regedit's plain path on 64-bit Windows), which ZRB never reads.
bool Binaria(Items& items, std::string& value) {
  const std::string key = HostKeyShown();
  const HostValue found = ReadBinaria(value);
  std::string other;
  const bool elsewhere = ReadBinariaInOtherView(other) == HostValue::kFound;
  if (found == HostValue::kFound) {
    items.Ok(Fill(u::kInstallBinaria, {key, Utf8(value)}));
    if (elsewhere && other != value)
      items.Warn(Fill(u::kInstallOtherValue, {OtherViewKeyShown(), Utf8(other)}),
                 Fill(u::kInstallOtherValueFix, {key, OtherViewKeyShown()}));
    return true;
  }
  if (elsewhere && found != HostValue::kUnusable) {
    items.Fault(Fill(u::kInstallWrongPlace, {Utf8(other), OtherViewKeyShown(), key}),
                Fill(u::kInstallWrongPlaceFix, {key, OtherViewKeyShown()}));
    return false;
  }
  switch (found) {
    case HostValue::kNoKey:
      items.Fault(Fill(u::kInstallNoKey, {key}), u::kInstallNoKeyFix);
      break;
    case HostValue::kNoValue:
      items.Fault(Fill(u::kInstallNoValue, {key}), Fill(u::kInstallValueFix, {key}));
      break;
    default:
      items.Fault(Fill(u::kInstallBadValue, {key}), Fill(u::kInstallValueFix, {key}));
      break;
  }
  return false;
}

// Two names of one file (long and short forms, letter case) compare equal.
bool SameFile(const std::string& a, const std::string& b) {
  auto canonical = [](const std::string& path) {
    char full[MAX_PATH] = {}, long_form[MAX_PATH] = {};
    if (GetFullPathNameA(path.c_str(), sizeof full, full, nullptr) == 0) return path;
    if (GetLongPathNameA(full, long_form, sizeof long_form) == 0) return std::string(full);
    return std::string(long_form);
  };
  return !a.empty() && !b.empty() && lstrcmpiA(canonical(a).c_str(), canonical(b).c_str()) == 0;
}

// The plug-in that ZRB will load from its folder, beside the one the form
// has loaded.
void Plugins(Items& items, const std::string& zrb_folder, const std::string& loaded) {
  const std::string installed = JoinPath(zrb_folder, kPluginFileName);
  const bool there = IsFile(installed);
  if (there) {
    const std::string version = FileVersionOf(installed);
    items.Ok(Fill(u::kInstallZrbPlugin,
                  {Utf8(installed), version.empty() ? std::string(u::kFormNoVersion) : version}));
  } else {
    items.Fault(Fill(u::kInstallNoZrbPlugin, {Utf8(zrb_folder)}), u::kInstallNoZrbPluginFix);
  }
  if (there && !loaded.empty() && !SameFile(loaded, installed))
    items.Warn(Fill(u::kInstallOtherPlugin, {Utf8(loaded), Utf8(installed)}),
               u::kInstallOtherPluginFix);
}

// IR_READ2.EXE as ZRB starts it (ZRB's folder is its program's folder and,
// started from its shortcut, its current folder) and as the form starts it
// (its own folder first, then ZRB's folder, which it makes its current
// folder for the operation).
void DownloadUtility(Items& items, const std::string& zrb_folder) {
  const std::string for_zrb =
      WhereWindowsFinds(std::string(kDownloadUtility), zrb_folder, zrb_folder);
  const std::string for_form =
      WhereWindowsFinds(std::string(kDownloadUtility), ProgramFolder(), zrb_folder);
  if (for_zrb.empty() && for_form.empty())
    items.Fault(std::string(u::kInstallNoIrRead), u::kInstallNoIrReadFix);
  else if (for_zrb.empty())
    items.Fault(Fill(u::kInstallIrReadOnlyForm, {Utf8(for_form)}),
                Fill(u::kInstallIrReadOnlyFormFix, {Utf8(for_form)}));
  else if (SameFile(for_zrb, for_form))
    items.Ok(Fill(u::kInstallIrReadBoth, {Utf8(for_zrb)}));
  else
    items.Warn(Fill(u::kInstallIrReadDiffer, {Utf8(for_zrb), Utf8(for_form)}),
               Fill(u::kInstallIrReadDifferFix, {Utf8(for_form)}));
}

// The rehearsal: the plug-in sees the simulator's folder as ZRB's.
void Rehearsal(Items& items, const std::string& folder) {
  items.Ok(Fill(u::kInstallRehearsal, {Utf8(folder)}));
  if (!IsFile(JoinPath(folder, kUploadUtility)) || !IsFile(JoinPath(folder, kDownloadUtility))) {
    items.Fault(Fill(u::kInstallNoSimulator, {Utf8(folder)}), u::kInstallNoSimulatorFix);
    return;
  }
  const std::string found =
      WhereWindowsFinds(std::string(kDownloadUtility), ProgramFolder(), folder);
  if (SameFile(found, JoinPath(folder, kDownloadUtility)))
    items.Ok(Fill(u::kInstallRehearsalIrRead, {Utf8(found)}));
  else
    items.Warn(Fill(u::kInstallRehearsalOther, {Utf8(found)}),
               Fill(u::kInstallIrReadDifferFix, {Utf8(found)}));
}

void Port(Items& items, const std::string& port, bool rehearsing, bool open_port) {
  if (rehearsing) {
    items.Ok(std::string(u::kInstallPortRehearsal));
    return;
  }
  if (port.empty()) {
    items.Warn(std::string(u::kInstallPortNotChecked), u::kInstallNoPluginLoadedFix);
    return;
  }
  const std::string digits = PortNumberOf(port);
  if (digits.empty() || digits.size() > 3 ||
      digits.find_first_not_of("0123456789") != std::string::npos) {
    items.Fault(Fill(u::kInstallBadPort, {Utf8(port)}), u::kInstallBadPortFix);
    return;
  }
  const std::string name = "COM" + digits;
  if (!open_port) {
    // Whether the system knows the name, without touching the device.
    char target[512] = {};
    if (QueryDosDeviceA(name.c_str(), target, sizeof target) != 0)
      items.Ok(Fill(u::kInstallPortListed, {name}));
    else
      items.Fault(Fill(u::kInstallNoPort, {name}), u::kInstallNoPortFix);
    return;
  }
  // Only the port the settings name is ever opened.
  const HANDLE handle = CreateFileA(("\\\\.\\" + name).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
  if (handle != INVALID_HANDLE_VALUE) {
    // A port whose adapter is gone may still open; it then cannot say how
    // it is set.
    DCB settings{};
    settings.DCBlength = sizeof settings;
    const bool answers = GetCommState(handle, &settings) != 0;
    const DWORD error = GetLastError();
    CloseHandle(handle);
    if (answers)
      items.Ok(Fill(u::kInstallPort, {name}));
    else
      items.Fault(Fill(u::kInstallPortNoDevice, {name, std::to_string(error)}),
                  u::kInstallNoPortFix);
    return;
  }
  const DWORD error = GetLastError();
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
    items.Fault(Fill(u::kInstallNoPort, {name}), u::kInstallNoPortFix);
  else if (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION)
    items.Fault(Fill(u::kInstallPortBusy, {name}), u::kInstallPortBusyFix);
  else
    items.Fault(Fill(u::kInstallPortError, {name, std::to_string(error)}), u::kInstallNoPortFix);
}

// A folder the plug-in writes in, with what it is for: one folder may be
// the goods file's and the inventory folder at once.
struct FolderToCheck {
  std::string path;
  std::string roles;     // "folder pliku towarów i folder inwentaryzacji"
  std::string contents;  // " (plik wymiany "a"; a.dat, Inwent.bak, kolektor.lock)"
};

void AddFolder(std::vector<FolderToCheck>& folders, const std::string& path,
               const ui::FolderRole& role) {
  for (FolderToCheck& f : folders) {
    if (lstrcmpiA(f.path.c_str(), path.c_str()) != 0) continue;
    f.roles += std::string(u::kRolesJoin) + std::string(role.name);
    if (!role.contents.empty())
      f.contents = f.contents.empty() ? " (" + std::string(role.contents) + ")"
                                      : f.contents.substr(0, f.contents.size() - 1) + "; " +
                                            std::string(role.contents) + ")";
    return;
  }
  folders.push_back({path, std::string(role.name),
                     role.contents.empty() ? "" : " (" + std::string(role.contents) + ")"});
}

// A text's first letter as a sentence begins (the roles are all ASCII
// there).
std::string Sentence(std::string text) {
  if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') text[0] = static_cast<char>(text[0] - 32);
  return text;
}

void Writable(Items& items, const FolderToCheck& f, bool look_only) {
  const std::string& folder = f.path;
  if (look_only) {
    if (IsFolder(folder))
      items.Ok(Fill(u::kInstallFolderThere, {Sentence(f.roles), Utf8(folder), f.contents}));
    else
      items.Fault(Fill(u::kInstallNotWritable, {Sentence(f.roles), Utf8(folder), f.contents,
                                                std::to_string(ERROR_PATH_NOT_FOUND)}),
                  u::kInstallNotWritableFix);
    return;
  }
  const std::string probe =
      JoinPath(folder, "kolektor-test-" + std::to_string(GetCurrentProcessId()) + ".tmp");
  const HANDLE handle = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    items.Fault(Fill(u::kInstallNotWritable,
                     {Sentence(f.roles), Utf8(folder), f.contents, std::to_string(error)}),
                u::kInstallNotWritableFix);
    return;
  }
  CloseHandle(handle);
  items.Ok(Fill(u::kInstallWritable, {Sentence(f.roles), Utf8(folder), f.contents}));
}

// How many files of the folder match the pattern, and the newest name.
std::size_t Copies(const std::string& folder, const std::string& pattern, std::string& newest) {
  WIN32_FIND_DATAA found;
  std::size_t count = 0;
  const HANDLE search = FindFirstFileA(JoinPath(folder, pattern).c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      ++count;
      if (newest < found.cFileName) newest = found.cFileName;
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  return count;
}

// What earlier imports left in invent_dir.
void InventDirContents(Items& items, const std::string& invent_dir, bool look_only) {
  if (IsFile(JoinPath(invent_dir, kDataFileName)))
    items.Warn(std::string(u::kInstallDataFile), u::kInstallDataFileFix);
  std::string newest;
  // Not imported: their counts reached neither the host nor the journal.
  if (const std::size_t kept = Copies(invent_dir, std::string(kDataFileName) + ".*", newest))
    items.Warn(Fill(u::kInstallKeptCopies, {std::to_string(kept), Utf8(newest)}),
               u::kInstallKeptCopiesFix);
  newest.clear();
  // Imported all but their deletion: their counts are in the journal, but
  // the host may have died before it took the counts file.
  if (const std::size_t imported =
          Copies(invent_dir, std::string(kImportedDataPrefix) + "*", newest))
    items.Warn(Fill(u::kInstallImportedCopies, {std::to_string(imported), Utf8(newest)}),
               u::kInstallImportedCopiesFix);
  // A download utility a host left suspended when it died while starting
  // it: ended here too, never one whose host still runs. Only looking,
  // nothing is ended.
  if (!look_only)
    for (const ProcessIdentity& ended : EndOrphanedUtilities(
             SystemPlatform(), JoinPath(invent_dir, kUtilityRecordName), nullptr, false))
      items.Ok(Fill(u::kInstallOrphanEnded, {std::to_string(ended.id)}));
  WIN32_FILE_ATTRIBUTE_DATA journal;
  if (GetFileAttributesExA(JoinPath(invent_dir, kJournalFileName).c_str(), GetFileExInfoStandard,
                           &journal)) {
    const unsigned long long size =
        (static_cast<unsigned long long>(journal.nFileSizeHigh) << 32) | journal.nFileSizeLow;
    items.Ok(Fill(u::kInstallJournal, {std::to_string(size)}));
  } else {
    items.Ok(std::string(u::kInstallNoJournal));
  }
  const std::string lock = JoinPath(invent_dir, kLockFileName);
  // Only looking, the lock is not tried: an import starting that moment
  // would find the folder busy. It exists only while an import holds it.
  if (look_only && IsFile(lock)) {
    items.Warn(std::string(u::kInstallLocked), u::kInstallLockedFix);
  } else if (IsFile(lock)) {
    const HANDLE probe =
        CreateFileA(lock.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (probe == INVALID_HANDLE_VALUE)
      items.Warn(std::string(u::kInstallLocked), u::kInstallLockedFix);
    else
      CloseHandle(probe);
  }
}

}  // namespace

bool IsFile(const std::string& path) { return SystemPlatform().FileExists(path); }

bool IsFolder(const std::string& path) {
  const DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::string WhereWindowsFinds(const std::string& name, const std::string& program_folder,
                              const std::string& current_folder) {
  char system[MAX_PATH] = {}, windows[MAX_PATH] = {};
  GetSystemDirectoryA(system, sizeof system);
  GetWindowsDirectoryA(windows, sizeof windows);
  std::string search;
  for (const std::string& folder : {program_folder, current_folder, std::string(system),
                                    std::string(windows) + "\\System", std::string(windows)})
    if (!folder.empty()) search += folder + ";";
  char path_variable[8192] = {};
  const DWORD got = GetEnvironmentVariableA("PATH", path_variable, sizeof path_variable);
  if (got > 0 && got < sizeof path_variable) search += path_variable;
  char found[MAX_PATH] = {};
  if (SearchPathA(search.c_str(), name.c_str(), nullptr, sizeof found, found, nullptr) == 0)
    return "";
  return found;
}

DefaultPlugin FindDefaultPlugin() {
  DefaultPlugin plugin;
  const std::string beside = JoinPath(ProgramFolder(), kPluginFileName);
  if (IsFile(beside)) {
    plugin.path = beside;
    return plugin;
  }
  std::string zrb_folder;
  if (ReadBinaria(zrb_folder) != HostValue::kFound) {
    plugin.missing = Fill(u::kFindNoZrbFolder, {Utf8FromAnsi(ProgramFolder()), HostKeyShown()});
    return plugin;
  }
  const std::string installed = JoinPath(zrb_folder, kPluginFileName);
  if (!IsFile(installed)) {
    plugin.missing = Fill(u::kFindNowhere, {Utf8FromAnsi(ProgramFolder()), Utf8(zrb_folder)});
    return plugin;
  }
  plugin.path = installed;
  plugin.from_zrb_folder = true;
  return plugin;
}

std::string TraceFileOf(const std::string& plugin_path) {
  // Never a bare name: that would be a file in whatever folder is current.
  if (plugin_path.find('\\') == std::string::npos) return std::string();
  return plugin_path.substr(0, plugin_path.find_last_of('\\') + 1) + std::string(kTraceFileName);
}

HostValue ReadBinaria(std::string& value) {
  Platform& system = SystemPlatform();
  RegistryKey key = 0;
  if (!system.RegistryOpen(kInstallKey, key)) return HostValue::kNoKey;
  // Room for more than the plug-in takes, so that a value too long for it
  // is still shown.
  constexpr std::size_t kShownBytes = 511;
  const bool read = system.RegistryReadString(key, kInstallValue, kShownBytes, value);
  const DWORD error = system.LastError();
  system.RegistryClose(key);
  if (!read) {
    value.clear();
    return error == ERROR_FILE_NOT_FOUND ? HostValue::kNoValue : HostValue::kUnusable;
  }
  // The plug-in reads at most 230 bytes, the terminating zero included.
  return value.size() < kInstallValueBytes ? HostValue::kFound : HostValue::kUnusable;
}

bool WriteBinaria(const std::string& folder) {
  return WriteRegistryString(kInstallKey, kInstallValue, folder);
}

std::vector<InstallCheckItem> CheckInstallation(const InstallCheckInput& in) {
  Items items;
  if (in.plugin_path.empty())
    items.Warn(std::string(u::kInstallNoPluginLoaded), u::kInstallNoPluginLoadedFix);
  std::string zrb_folder;
  if (Binaria(items, zrb_folder)) {
    if (!IsFolder(zrb_folder)) {
      items.Fault(Fill(u::kInstallNoFolder, {Utf8(zrb_folder)}), u::kInstallNoFolderFix);
      zrb_folder.clear();
    } else {
      items.Ok(Fill(u::kInstallFolder, {Utf8(zrb_folder)}));
      if (IsFile(JoinPath(zrb_folder, kUploadUtility)))
        items.Ok(std::string(u::kInstallDlookup));
      else
        items.Fault(Fill(u::kInstallNoDlookup, {Utf8(zrb_folder)}), u::kInstallNoDlookupFix);
      Plugins(items, zrb_folder, in.plugin_path);
      if (in.rehearsal_folder.empty()) DownloadUtility(items, zrb_folder);
    }
  } else {
    zrb_folder.clear();
  }
  if (!in.rehearsal_folder.empty()) Rehearsal(items, in.rehearsal_folder);
  Port(items, in.port, !in.rehearsal_folder.empty(), !in.look_only);

  std::vector<FolderToCheck> folders;
  if (in.goods_path.empty())
    items.Warn(std::string(u::kInstallNoGoodsPath), u::kInstallPathFix);
  else
    AddFolder(folders, Folder(in.goods_path), u::kGoodsFolder);
  std::string invent_dir;
  if (in.counts_path.empty()) {
    items.Warn(std::string(u::kInstallNoCountsPath), u::kInstallPathFix);
  } else if (!InventDir(in.counts_path, invent_dir) || invent_dir.empty()) {
    items.Fault(Fill(u::kInstallNoInventDir, {Utf8(in.counts_path)}), u::kInstallNoInventDirFix);
    invent_dir.clear();
  } else {
    AddFolder(folders, Folder(in.counts_path), u::kCountsFolder);
    AddFolder(folders, invent_dir, u::kInventFolder);
  }
  for (const FolderToCheck& f : folders) Writable(items, f, in.look_only);
  if (!invent_dir.empty()) InventDirContents(items, invent_dir, in.look_only);

  // The trace of the plug-in in use: the loaded one, else ZRB's.
  const std::string plugin = !in.plugin_path.empty() ? in.plugin_path
                             : !zrb_folder.empty()   ? JoinPath(zrb_folder, kPluginFileName)
                                                     : std::string();
  if (plugin.empty()) return items.list;
  const std::string trace = TraceFileOf(plugin);
  if (IsFile(trace))
    items.Warn(Fill(u::kInstallTraceOn, {Utf8(trace)}), u::kInstallTraceOnFix);
  else
    items.Ok(std::string(u::kInstallTraceOff));
  return items.list;
}

}  // namespace kolektor::host
