// The host's side for the Windows tests: kolektor.dll loaded with
// LoadLibraryA, its entry points resolved by their plain names and called
// through stdcall pointers, with stdcall callbacks that record everything.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace kolektor::wintest {

using Word = int;
using TypBiblioteki = Word(__stdcall*)();
using RejestrujBiblioteke = void*(__stdcall*)(Word, Word, Word, Word);
using ZwolnijBiblioteke = void(__stdcall*)(void*);
using RejestrujCallback = Word(__stdcall*)(void*, void*, Word);
using Parametr = Word(__stdcall*)(Word, Word, char*, char*, char*, char*, char*, Word);
using TekstListyParametru = Word(__stdcall*)(const char*, Word, char*);
using Wlasciwosci = void(__stdcall*)(char*, Word);
using Operacja = Word(__stdcall*)(void*, Word, const char*);
using Zeruj = Word(__stdcall*)(void*, Word);

struct Plugin {
  HMODULE module = nullptr;
  TypBiblioteki typ = nullptr;
  RejestrujBiblioteke rejestruj = nullptr;
  ZwolnijBiblioteke zwolnij = nullptr;
  RejestrujCallback callback = nullptr;
  Parametr parametr = nullptr;
  TekstListyParametru tekst_listy = nullptr;
  Wlasciwosci wlasciwosci = nullptr;
  Operacja eksport = nullptr;
  Zeruj zeruj = nullptr;
  Operacja import_ = nullptr;
};

// Loads bin\kolektor.dll beside the test program; fails the test if any
// entry point is missing.
const Plugin& LoadPlugin();

// One registered instance with recording callbacks.
class Host {
 public:
  explicit Host(Word context);
  ~Host();
  void* instance() const { return instance_; }

  std::map<std::string, std::string> params;
  std::vector<std::string> events;  // "status ...", "param ...", "error ..."
  std::vector<std::string> errors;
  std::vector<Word> contexts, handles;
  std::vector<DWORD> event_ticks;

 private:
  static void __stdcall OnStatus(Word, Word, const char*);
  static void __stdcall OnParam(Word, Word, const char*, char*);
  static void __stdcall OnError(Word, Word, const char*);
  static Host& Find(Word context, Word handle);
  Word context_;
  void* instance_;
};

// Message boxes shown on this thread are read and closed by a WH_CBT hook.
struct MessageBoxSeen {
  std::string caption, text;
};
class MessageBoxCatcher {
 public:
  MessageBoxCatcher();
  ~MessageBoxCatcher();
  std::vector<MessageBoxSeen> seen;
  // One line a box, for failure messages.
  std::string Listing() const {
    std::string lines;
    for (const MessageBoxSeen& b : seen) lines += "[" + b.caption + "] " + b.text + "\n";
    return lines;
  }

 private:
  HHOOK hook_;
};

// Folders of the test tree, as Windows paths with a trailing backslash.
std::string BinDir();      // the test programs, kolektor.dll, IR_READ2.EXE
std::string InstallDir();  // what the registry value names; DLOOKUP2.EXE
// A fresh, empty folder for one test.
std::string FreshDir(const std::string& name);

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
bool Exists(const std::string& path);

// Windows-1250 bytes from UTF-8 test text.
std::string Cp1250(const char* utf8);

}  // namespace kolektor::wintest
