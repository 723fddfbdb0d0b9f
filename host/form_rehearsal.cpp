#include "host/form_rehearsal.h"

#include <algorithm>

#include "base/host_interface.h"
#include "host/install_check.h"
#include "host/plugin_host.h"
#include "host/program_texts.h"
#include "tools/terminal/exit_codes.h"

namespace kolektor::form {
namespace {

namespace u = kolektor::ui;
namespace h = kolektor::host;
namespace t = kolektor::terminal;
using kolektor::ui::Fill;

// The rehearsal's own registry key under HKEY_CURRENT_USER: it stands in
// for HKEY_LOCAL_MACHINE while a rehearsed operation runs.
constexpr const char* kRehearsalKey = "Software\\kolektor\\proba";
constexpr DWORD kSimulatorWaitMs = 20000;

std::string ValueKey() { return std::string(kRehearsalKey) + "\\" + kolektor::kInstallKey; }

std::string TerminalProgram(const std::string& folder) { return folder + "\\terminal.exe"; }

}  // namespace

std::string SimulatorFolder() { return h::ProgramFolder() + "simulator"; }

bool HasSimulator(const std::string& folder) { return h::IsFile(TerminalProgram(folder)); }

RehearsalRegistry::RehearsalRegistry(const std::string& folder) {
  HKEY value_key = nullptr;
  // Volatile: gone at the next start of Windows whatever happens here.
  error_ = RegCreateKeyExA(HKEY_CURRENT_USER, ValueKey().c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                           KEY_WRITE, nullptr, &value_key, nullptr);
  if (error_ != ERROR_SUCCESS) return;
  error_ = RegSetValueExA(value_key, kolektor::kInstallValue, 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(folder.c_str()),
                          static_cast<DWORD>(folder.size() + 1));
  RegCloseKey(value_key);
  if (error_ == ERROR_SUCCESS)
    error_ = RegOpenKeyExA(HKEY_CURRENT_USER, kRehearsalKey, 0, KEY_READ, &root_);
  if (error_ == ERROR_SUCCESS) error_ = RegOverridePredefKey(HKEY_LOCAL_MACHINE, root_);
  redirected_ = error_ == ERROR_SUCCESS;
}

RehearsalRegistry::~RehearsalRegistry() {
  if (redirected_) RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
  if (root_ != nullptr) RegCloseKey(root_);
  // The key chain, deepest first, up to the rehearsal's own key.
  std::string key = ValueKey();
  while (key.size() >= std::string(kRehearsalKey).size()) {
    RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
    key.erase(key.find_last_of('\\'));
  }
}

int RunSimulator(const std::string& folder, const std::wstring& arguments, std::string& failure) {
  failure.clear();
  const std::string program = TerminalProgram(folder);
  std::wstring line = L"\"" + h::WideFromUtf8(h::Utf8FromAnsi(program)) + L"\" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                      nullptr, &startup, &info)) {
    const DWORD error = GetLastError();
    failure = Fill(u::kLogSimulatorCannot, {h::Utf8FromAnsi(program), std::to_string(error)});
    return -1;
  }
  HCURSOR cursor = SetCursor(LoadCursor(nullptr, IDC_WAIT));
  if (WaitForSingleObject(info.hProcess, kSimulatorWaitMs) == WAIT_TIMEOUT)
    TerminateProcess(info.hProcess, t::kExitFailed);
  SetCursor(cursor);
  DWORD code = t::kExitFailed;
  GetExitCodeProcess(info.hProcess, &code);
  CloseHandle(info.hProcess);
  CloseHandle(info.hThread);
  if (!t::IsScanAnswer(static_cast<int>(code)))
    failure = Fill(u::kLogSimulatorFailed, {h::Utf8FromAnsi(program), std::to_string(code)});
  return static_cast<int>(code);
}

std::wstring ScanField(std::wstring typed) {
  typed.erase(std::remove(typed.begin(), typed.end(), L'"'), typed.end());
  const std::size_t begin = typed.find_first_not_of(L' ');
  if (begin == std::wstring::npos) return std::wstring();
  return typed.substr(begin, typed.find_last_not_of(L' ') - begin + 1);
}

std::string ScanSaid(int code, const std::string& code_utf8, const std::string& quantity_utf8) {
  switch (code) {
    case t::kExitDone:
      return Fill(u::kLogScanned, {code_utf8, quantity_utf8});
    case t::kExitNoGoodsTable:
      return std::string(u::kLogScanNoTable);
    case t::kExitUnknownCode:
      return Fill(u::kLogScanUnknown, {code_utf8});
    case t::kExitBadQuantity:
      return Fill(u::kLogScanBadQuantity, {quantity_utf8});
    default:
      return std::string();
  }
}

}  // namespace kolektor::form
