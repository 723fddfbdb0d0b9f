#include "host/install_check.h"

#include <windows.h>

#include <string_view>

#include "export/export_command.h"
#include "host/plugin_host.h"
#include "import/import_command.h"
#include "plugin/cp1250.h"
#include "plugin/texts.h"

namespace kolektor::host {

namespace {

namespace u = ui;
using ui::Fill;

std::string Utf8(const std::string& cp1250) { return Utf8FromCp1250(cp1250); }

bool IsFolder(const std::string& path) {
  const DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::string Folder(const std::string& path) {
  const std::size_t slash = path.find_last_of('\\');
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

struct Items {
  std::vector<InstallCheckItem> list;
  std::vector<std::string> folders_checked;
  void Ok(std::string what) { list.push_back({InstallCheckItem::kOk, std::move(what), ""}); }
  void Warn(std::string what, std::string_view fix) {
    list.push_back({InstallCheckItem::kWarning, std::move(what), std::string(fix)});
  }
  void Fault(std::string what, std::string_view fix) {
    list.push_back({InstallCheckItem::kFault, std::move(what), std::string(fix)});
  }
};

bool Binaria(Items& items, std::string& value) {
  switch (ReadBinaria(value)) {
    case HostValue::kNoKey:
      items.Fault(std::string(u::kInstallNoKey), u::kInstallNoKeyFix);
      return false;
    case HostValue::kNoValue:
      items.Fault(std::string(u::kInstallNoValue), u::kInstallValueFix);
      return false;
    case HostValue::kUnusable:
      items.Fault(std::string(u::kInstallBadValue), u::kInstallValueFix);
      return false;
    case HostValue::kFound:
      break;
  }
  items.Ok(Fill(u::kInstallBinaria, {Utf8(value)}));
  return true;
}

// Where Windows would find IR_READ2.EXE for the host: the host's program
// folder (the ZRB folder), the system folders, PATH.
void DownloadUtility(Items& items, const std::string& zrb_folder) {
  char system[MAX_PATH] = {}, windows[MAX_PATH] = {};
  GetSystemDirectoryA(system, sizeof system);
  GetWindowsDirectoryA(windows, sizeof windows);
  std::string search = zrb_folder + ";" + system + ";" + windows;
  char path_variable[8192] = {};
  if (GetEnvironmentVariableA("PATH", path_variable, sizeof path_variable) < sizeof path_variable)
    search += std::string(";") + path_variable;
  char found[MAX_PATH] = {};
  if (SearchPathA(search.c_str(), "IR_READ2.EXE", nullptr, sizeof found, found, nullptr) > 0) {
    items.Ok(Fill(u::kInstallIrRead, {Utf8(found)}));
    return;
  }
  // This program's folder is searched when the form runs an import, but
  // not when ZRB does.
  const std::string beside = ProgramFolder() + "IR_READ2.EXE";
  if (IsFile(beside))
    items.Warn(Fill(u::kInstallIrReadOnlyHere, {Utf8(beside)}), u::kInstallNoIrReadFix);
  else
    items.Fault(std::string(u::kInstallNoIrRead), u::kInstallNoIrReadFix);
}

void Port(Items& items, const std::string& port) {
  std::string digits = port.compare(0, 3, "COM") == 0 ? port.substr(3) : port;
  if (digits.empty() || digits.size() > 3 ||
      digits.find_first_not_of("0123456789") != std::string::npos) {
    items.Fault(Fill(u::kInstallBadPort, {Utf8(port)}), u::kInstallBadPortFix);
    return;
  }
  const std::string name = "COM" + digits;
  const HANDLE handle = CreateFileA(("\\\\.\\" + name).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
  if (handle != INVALID_HANDLE_VALUE) {
    CloseHandle(handle);
    items.Ok(Fill(u::kInstallPort, {name}));
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

void Writable(Items& items, const std::string& folder) {
  for (const std::string& done : items.folders_checked)
    if (lstrcmpiA(done.c_str(), folder.c_str()) == 0) return;
  items.folders_checked.push_back(folder);
  const std::string probe =
      folder + "\\kolektor-test-" + std::to_string(GetCurrentProcessId()) + ".tmp";
  const HANDLE handle = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    items.Fault(Fill(u::kInstallNotWritable, {Utf8(folder), std::to_string(GetLastError())}),
                u::kInstallNotWritableFix);
    return;
  }
  CloseHandle(handle);
  items.Ok(Fill(u::kInstallWritable, {Utf8(folder)}));
}

// What earlier imports left in invent_dir.
void InventDirContents(Items& items, const std::string& invent_dir) {
  if (IsFile(invent_dir + "\\a.dat"))
    items.Warn(std::string(u::kInstallDataFile), u::kInstallDataFileFix);
  WIN32_FIND_DATAA found;
  std::size_t kept = 0;
  std::string newest;
  const HANDLE search = FindFirstFileA((invent_dir + "\\a.dat.*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      ++kept;
      if (newest < found.cFileName) newest = found.cFileName;
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  if (kept > 0)
    items.Warn(Fill(u::kInstallKeptCopies, {std::to_string(kept), Utf8(newest)}),
               u::kInstallKeptCopiesFix);
  WIN32_FILE_ATTRIBUTE_DATA journal;
  if (GetFileAttributesExA((invent_dir + "\\Inwent.bak").c_str(), GetFileExInfoStandard,
                           &journal)) {
    const unsigned long long size =
        (static_cast<unsigned long long>(journal.nFileSizeHigh) << 32) | journal.nFileSizeLow;
    items.Ok(Fill(u::kInstallJournal, {std::to_string(size)}));
  } else {
    items.Ok(std::string(u::kInstallNoJournal));
  }
  const std::string lock = invent_dir + "\\" + kLockFileName;
  if (IsFile(lock)) {
    const HANDLE probe =
        CreateFileA(lock.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (probe == INVALID_HANDLE_VALUE)
      items.Warn(std::string(u::kInstallLocked), u::kInstallLockedFix);
    else
      CloseHandle(probe);
  }
}

}  // namespace

bool IsFile(const std::string& path) {
  const DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::string TraceFileOf(const std::string& plugin_path) {
  return plugin_path.substr(0, plugin_path.find_last_of('\\') + 1) + "kolektor.log";
}

HostValue ReadBinaria(std::string& value) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kInstallKey, 0, KEY_READ | kHostRegistryView, &key) !=
      ERROR_SUCCESS)
    return HostValue::kNoKey;
  // Room for more than the plug-in takes, so that a value too long for it
  // is still shown.
  char buffer[512] = {};
  DWORD size = sizeof buffer - 1, type = 0;
  const LONG r =
      RegQueryValueExA(key, kInstallValue, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
  RegCloseKey(key);
  if (r == ERROR_FILE_NOT_FOUND) return HostValue::kNoValue;
  if (r != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
    value.clear();
    return HostValue::kUnusable;
  }
  value.assign(buffer, strnlen(buffer, size));
  // The plug-in reads at most 230 bytes, the terminating zero included.
  return value.size() < kInstallValueBytes ? HostValue::kFound : HostValue::kUnusable;
}

std::vector<InstallCheckItem> CheckInstallation(const InstallCheckInput& in) {
  Items items;
  std::string zrb_folder;
  if (Binaria(items, zrb_folder)) {
    if (!IsFolder(zrb_folder)) {
      items.Fault(Fill(u::kInstallNoFolder, {Utf8(zrb_folder)}), u::kInstallNoFolderFix);
    } else {
      items.Ok(Fill(u::kInstallFolder, {Utf8(zrb_folder)}));
      if (IsFile(zrb_folder + "\\DLOOKUP2.EXE"))
        items.Ok(std::string(u::kInstallDlookup));
      else
        items.Fault(Fill(u::kInstallNoDlookup, {Utf8(zrb_folder)}), u::kInstallNoDlookupFix);
    }
  }
  DownloadUtility(items, zrb_folder);
  Port(items, in.port);

  if (in.goods_path.empty())
    items.Warn(std::string(u::kInstallNoGoodsPath), u::kInstallPathFix);
  else
    Writable(items, Folder(in.goods_path));
  std::string invent_dir;
  if (in.counts_path.empty()) {
    items.Warn(std::string(u::kInstallNoCountsPath), u::kInstallPathFix);
  } else if (!InventDir(in.counts_path, invent_dir) || invent_dir.empty()) {
    items.Fault(Fill(u::kInstallNoInventDir, {Utf8(in.counts_path)}), u::kInstallNoInventDirFix);
  } else {
    Writable(items, Folder(in.counts_path));
    if (invent_dir != Folder(in.counts_path)) Writable(items, invent_dir);
    InventDirContents(items, invent_dir);
  }

  const std::string trace = TraceFileOf(in.plugin_path);
  if (IsFile(trace))
    items.Warn(Fill(u::kInstallTraceOn, {Utf8(trace)}), "");
  else
    items.Ok(std::string(u::kInstallTraceOff));
  return items.list;
}

}  // namespace kolektor::host
