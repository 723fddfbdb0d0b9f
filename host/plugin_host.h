// The host's side of a ZRB device plug-in, as one library for zrbhost, the
// test form and the Windows tests: the DLL loaded by path and its ten entry
// points resolved by name, the settings form read from the plug-in's own
// descriptions, and sessions (one registered instance each) whose stdcall
// callbacks answer parameters from a settings map and record every event.
// All texts here are the plug-in's Windows-1250 bytes.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "base/host_interface.h"
#include "host/code_pages.h"  // for showing the plug-in's texts

namespace kolektor::host {

using Word = HostWord;

struct EntryPoints {
  Word(__stdcall* typ)() = nullptr;
  void*(__stdcall* rejestruj)(Word, Word, Word, Word) = nullptr;
  void(__stdcall* zwolnij)(void*) = nullptr;
  Word(__stdcall* callback)(void*, void*, Word) = nullptr;
  Word(__stdcall* parametr)(Word, Word, char*, char*, char*, char*, char*, Word) = nullptr;
  Word(__stdcall* tekst_listy)(const char*, Word, char*) = nullptr;
  void(__stdcall* wlasciwosci)(char*, Word) = nullptr;
  Word(__stdcall* eksport)(void*, Word, const char*) = nullptr;
  Word(__stdcall* zeruj)(void*, Word) = nullptr;
  Word(__stdcall* import_)(void*, Word, const char*) = nullptr;
};

struct Plugin {
  HMODULE module = nullptr;
  std::string path;     // as loaded, full
  std::string version;  // of its version resource, "" when it has none
  EntryPoints api;
};

// Loads the DLL and resolves all ten entry points. On failure nothing stays
// loaded and `error` says once, in Polish (UTF-8), what is wrong: no such
// file, not a DLL of this host's machine (32- or 64-bit), a library it needs
// is missing, the entry points it lacks, or the system's error code.
bool LoadPlugin(const std::string& path, Plugin& plugin, std::string& error);
void UnloadPlugin(Plugin& plugin);

// One parameter of the settings form, from ZRBDLLParametr and
// ZRBDLLTekstListyParametru.
struct Parameter {
  std::string name, label, default_value, low, high;
  Word kind = 0;  // kParameterChoice: one of `choices`; kParameterNumber: low to high
  std::vector<std::string> choices;
};
std::vector<Parameter> DescribeParameters(const EntryPoints& api);
std::string Property(const EntryPoints& api, Word number);

// True when the host's form would accept `value` for the parameter.
bool AcceptsValue(const Parameter& parameter, const std::string& value);
// A port as people type it: "COM5" (as Device Manager shows it), "com5",
// " 05 " all give "5"; a text that names no port number is kept as typed.
std::string PortNumberOf(const std::string& typed);

// What a session saw, in order.
struct Event {
  enum Kind { kStatus, kParam, kError, kMessageBox };
  Kind kind;
  std::string name;  // parameter name, or the message box's caption
  std::string text;  // status or error text, value given, box text
  Word context = 0, handle = 0;
  DWORD tick = 0;  // GetTickCount() when it arrived
};

// One registered instance with all three callbacks. Operations may run on
// any thread; the callbacks arrive on that thread.
class Session {
 public:
  Session(const EntryPoints& api, Word context);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  void* instance() const { return instance_; }
  Word context() const { return context_; }

  // Answers to ParamCallback by name; a name not here is answered "".
  std::map<std::string, std::string> settings;
  // Called for every event as it arrives, on the operation's thread.
  std::function<void(const Event&)> on_event;
  std::vector<Event> events;
  std::vector<std::string> Errors() const;

  Word Export(Word handle, const std::string& goods_path);
  Word Import(Word handle, const std::string& counts_path);
  Word Clear(Word handle);

  // Records an event as the callbacks do (the message-box watch uses it).
  void Record(Event event);

 private:
  static void __stdcall OnStatus(Word, Word, const char*);
  static void __stdcall OnParam(Word, Word, const char*, char*);
  static void __stdcall OnError(Word, Word, const char*);
  static Session* Find(Word context);

  const EntryPoints& api_;
  Word context_;
  void* instance_;
};

// Watches the message boxes that the plug-in shows on this thread while it
// lives: each is recorded into the session (when given) and into `seen`,
// and pressed OK when `confirm` is set; otherwise the person closes it.
class MessageBoxWatch {
 public:
  MessageBoxWatch(Session* session, bool confirm);
  ~MessageBoxWatch();
  MessageBoxWatch(const MessageBoxWatch&) = delete;
  MessageBoxWatch& operator=(const MessageBoxWatch&) = delete;

  struct Box {
    std::string caption, text;
  };
  std::vector<Box> seen;

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM wparam, LPARAM lparam);
  Session* session_;
  bool confirm_;
  HHOOK hook_;
  MessageBoxWatch* outer_;  // the watch this one hides on this thread
};

// The folder of this program, with a trailing backslash.
std::string ProgramFolder();
// "1.0.0" from a file's version resource; "" when it has none.
std::string FileVersionOf(const std::string& path);

}  // namespace kolektor::host
