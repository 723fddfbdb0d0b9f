// The host's side for the Windows tests, on the host library that zrbhost
// and the test form use: kolektor.dll loaded with LoadLibraryA, its entry
// points called through stdcall pointers, callbacks that record everything.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "host/plugin_host.h"

namespace kolektor::wintest {

using Word = host::Word;
using Plugin = host::EntryPoints;

// bin\kolektor.dll beside the test program, loaded once; fails the test if
// any entry point is missing.
const Plugin& LoadPlugin();

// One registered instance whose callbacks record into plain lists.
class Host {
  host::Session session_;

 public:
  explicit Host(Word context);
  void* instance() const { return session_.instance(); }

  std::map<std::string, std::string>& params;  // the session's settings
  std::vector<std::string> events;             // "status ...", "param ...", "error ..."
  std::vector<std::string> errors;
  std::vector<Word> contexts, handles;
  std::vector<DWORD> event_ticks;
};

// Message boxes shown on this thread are read and closed.
using MessageBoxSeen = host::MessageBoxWatch::Box;
class MessageBoxCatcher {
 public:
  MessageBoxCatcher() : watch_(nullptr, true), seen(watch_.seen) {}

 private:
  host::MessageBoxWatch watch_;

 public:
  std::vector<MessageBoxSeen>& seen;
  // One line a box, for failure messages.
  std::string Listing() const {
    std::string lines;
    for (const MessageBoxSeen& b : seen) lines += "[" + b.caption + "] " + b.text + "\n";
    return lines;
  }
};

// Folders of the test tree, as Windows paths with a trailing backslash.
std::string BinDir();      // the test programs, kolektor.dll, IR_READ2.EXE
std::string InstallDir();  // what the registry value names; DLOOKUP2.EXE
// A fresh, empty folder for one test.
std::string FreshDir(const std::string& name);

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
bool Exists(const std::string& path);

// A path of the build machine as the test programs under wine see it.
std::string WinePath(const std::string& unix_path);

// The registry's view where ZRB's 32-bit installer writes (WOW6432Node on
// 64-bit Windows), which the plug-in, the setup and the programs read,
// whatever the test program's own machine.
inline constexpr REGSAM kHostView = KEY_WOW64_32KEY;

// The host's registry value Binaria, written as ZRB's installer writes it
// (or as a broken installation left it), or into another view.
void SetBinaria(const std::string& value, DWORD type = REG_SZ, bool terminated = true,
                REGSAM view = kHostView);
// A string value of HKLM in that view; "(none)" when there is none.
std::string HklmValue(const char* key, const char* name, REGSAM view = kHostView);
void DeleteHklmKey(const char* key, REGSAM view = kHostView);

// Windows-1250 bytes from UTF-8 test text.
std::string Cp1250(const char* utf8);

}  // namespace kolektor::wintest
