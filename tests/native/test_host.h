// The host's side for native tests: an instance with the three callbacks
// registered, parameter values to answer with, and every callback recorded
// into the shared event log.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "plugin/plugin_api.h"
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

// The last callback the host received (platform calls left out): an
// operation's error must be its last word to the host.
std::string LastHostCall(const EventLog& log);

// A goods or data file written as the host writes it: Windows-1250 from
// UTF-8 test text, so tests can hold readable Polish.
std::string Cp1250(const std::string& utf8);

}  // namespace kolektor::testing
