#include "tests/native/test_host.h"

#include <cstring>
#include <stdexcept>

#include "base/cp1250.h"
#include "base/folder_path.h"
#include "plugin/descriptions.h"
#include "plugin/plugin_api.h"

namespace kolektor::testing {

namespace {
// Host contexts are 32-bit values, too small for a pointer here.
std::map<HostWord, TestHost*>& Hosts() {
  static std::map<HostWord, TestHost*> hosts;
  return hosts;
}
HostWord next_context = 1000;
}  // namespace

TestHost::TestHost(EventLog& log) : log_(log), context_(next_context++) {
  Hosts()[context_] = this;
  instance_ = RegisterLibrary(context_);
  RegisterCallback(instance_, reinterpret_cast<std::uintptr_t>(&OnStatus), kRegisterStatus);
  RegisterCallback(instance_, reinterpret_cast<std::uintptr_t>(&OnParam), kRegisterParam);
  RegisterCallback(instance_, reinterpret_cast<std::uintptr_t>(&OnError), kRegisterError);
  for (const ParameterRow& row : kParameters)
    params[std::string(row.name)] = std::string(row.default_value);
}

TestHost::~TestHost() {
  FreeLibrary(instance_);
  Hosts().erase(context_);
}

void TestHost::Unregister(HostWord type) { RegisterCallback(instance_, 0, type); }

TestHost& TestHost::Find(HostWord context, HostWord handle) {
  TestHost* host = Hosts().at(context);
  host->contexts_seen.push_back(context);
  host->handles_seen.push_back(handle);
  return *host;
}

void TestHost::OnStatus(HostWord context, HostWord handle, const char* text) {
  TestHost& host = Find(context, handle);
  host.statuses.emplace_back(text);
  host.log_.push_back("status " + std::string(text));
}

void TestHost::OnParam(HostWord context, HostWord handle, const char* name, char* value) {
  TestHost& host = Find(context, handle);
  host.log_.push_back("param " + std::string(name));
  const std::string& answer = host.params.at(name);
  std::memcpy(value, answer.data(), std::min<std::size_t>(answer.size(), 100));
  if (answer.size() < 100) value[answer.size()] = '\0';
}

void TestHost::OnError(HostWord context, HostWord handle, const char* text) {
  TestHost& host = Find(context, handle);
  host.errors.emplace_back(text);
  host.log_.push_back("error " + std::string(text));
}

Till::Till(const std::string& install_dir, const std::string& short_install_dir) {
  platform.registry[kInstallKey][kInstallValue] = install_dir;
  platform.short_paths[install_dir] = short_install_dir;
  platform.child.on_start = [this](const std::string& dir) {
    if (!download) return;
    platform.files[JoinPath(dir, "a.dat")] = *download;
    ++downloads;
  };
}

HostWord Till::Export(const char* goods_path, HostWord operation_handle) {
  return ExportGoods(platform, host.instance(), operation_handle, goods_path);
}

HostWord Till::Import(const char* counts_path, HostWord operation_handle) {
  return ImportCounts(platform, host.instance(), operation_handle, counts_path);
}

std::string LastHostCall(const EventLog& log) {
  for (auto it = log.rbegin(); it != log.rend(); ++it)
    if (it->rfind("param ", 0) == 0 || it->rfind("status ", 0) == 0 || it->rfind("error ", 0) == 0)
      return *it;
  return std::string();
}

std::string Cp1250(const std::string& utf8) {
  std::string out;
  if (!Cp1250FromUtf8(utf8, out)) throw std::invalid_argument("not in Windows-1250: " + utf8);
  return out;
}

}  // namespace kolektor::testing
