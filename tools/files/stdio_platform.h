// A platform with real files through the C runtime and nothing else, for
// running the conversions and zrbhost's commands on files outside the
// plug-in (benchmarks, native tests). It never waits for a held file: it
// cannot tell one.
#pragma once

#include "platform/platform.h"
#include "tools/files/stdio_file.h"

namespace kolektor {

class StdioPlatform final : public Platform {
 public:
  void Sleep(std::uint32_t) override {}
  std::unique_ptr<File> Open(const std::string& path, OpenMode mode) override {
    return OpenStdioFile(path, mode);
  }
  bool FileExists(const std::string&) override { return true; }
  bool RemoveFile(const std::string&) override { return false; }
  MoveResult RenameFile(const std::string&, const std::string&) override {
    return MoveResult::kFailed;
  }
  bool FileIdentity(const std::string&, FileId&) override { return false; }
  LockResult Lock(const std::string&, LockHandle&) override { return LockResult::kFailed; }
  void Unlock(LockHandle) override {}
  bool RegistryOpen(const std::string&, RegistryKey&) override { return false; }
  bool RegistryReadString(RegistryKey, const std::string&, std::size_t, std::string&) override {
    return false;
  }
  bool RegistryClose(RegistryKey) override { return false; }
  bool ShortPath(const std::string&, std::string&) override { return false; }
  ChildProcess Start(const std::string&, const std::string&, WindowState) override { return {}; }
  ChildProcess StartTied(const std::string&, const std::string&, WindowState, LockHandle,
                         const ChildCreated&) override {
    return {};
  }
  void WaitForEnd(ChildProcess) override {}
  bool ExitStatus(ChildProcess, std::uint32_t&) override { return false; }
  bool Terminate(ChildProcess, std::uint32_t) override { return false; }
  void CloseChild(ChildProcess) override {}
  ProcessIdentity ThisProcess() override { return {}; }
  std::uint64_t SystemTime() override { return 0; }
  bool ProcessWithId(std::uint32_t, std::uint64_t& created) override {
    created = 0;
    return true;
  }
  std::vector<ProcessIdentity> ChildrenOf(std::uint32_t, std::string_view) override { return {}; }
  OrphanEnd EndIfNeverRun(const ProcessIdentity&) override { return OrphanEnd::kFailed; }
  void ShowMessage(const std::string&, const std::string&) override {}
  LocalTime Now() override { return {}; }
  std::uint64_t Milliseconds() override { return 0; }
  std::uint32_t LastError() override { return 0; }
  std::uint32_t ProcessId() override { return 0; }
  bool TraceEnabled(std::string_view) override { return false; }
  void TraceWrite(std::string_view, std::string_view) override {}
};

}  // namespace kolektor
