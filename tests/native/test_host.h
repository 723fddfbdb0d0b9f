// The host's side for native tests: an instance with the three callbacks
// registered, parameter values to answer with, and every callback recorded
// into the shared event log.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "base/host_interface.h"
#include "tests/native/fake_platform.h"

namespace kolektor::testing {

class TestHost {
 public:
  explicit TestHost(EventLog& log);
  ~TestHost();
  TestHost(const TestHost&) = delete;
  TestHost& operator=(const TestHost&) = delete;

  PluginInstance* instance() { return instance_; }
  HostWord context() const { return context_; }

  // Answers to ParamCallback, by name; the parameters' defaults to start.
  std::map<std::string, std::string> params;
  std::vector<std::string> errors;
  std::vector<std::string> statuses;
  std::vector<HostWord> handles_seen;
  std::vector<HostWord> contexts_seen;

  void Unregister(HostWord type);

 private:
  static void KOLEKTOR_STDCALL OnStatus(HostWord, HostWord, const char*);
  static void KOLEKTOR_STDCALL OnParam(HostWord, HostWord, const char*, char*);
  static void KOLEKTOR_STDCALL OnError(HostWord, HostWord, const char*);
  static TestHost& Find(HostWord context, HostWord handle);

  EventLog& log_;
  HostWord context_;
  PluginInstance* instance_;
};

// A till for whole exports and imports: the host and the fake platform,
// the host's registry value naming its folder (with that folder's short
// form), and a download utility that writes `download` as a.dat in the
// folder it is started in. Every export and import test starts from it.
struct Till {
  EventLog log;
  FakePlatform platform{log};
  TestHost host{log};
  std::optional<std::string> download;  // none: the utility writes nothing
  int downloads = 0;                    // how often the utility wrote a.dat

  explicit Till(const std::string& install_dir = "C:\\ZRB",
                const std::string& short_install_dir = "C:\\ZRB");
  HostWord Export(const char* goods_path, HostWord operation_handle = 1);
  HostWord Import(const char* counts_path, HostWord operation_handle = 1);
};

// The last callback the host received (platform calls left out): an
// operation's error must be its last word to the host.
std::string LastHostCall(const EventLog& log);

// A goods or data file written as the host writes it: Windows-1250 from
// UTF-8 test text, so tests can hold readable Polish.
std::string Cp1250(const std::string& utf8);

}  // namespace kolektor::testing
