#include "tests/win32/plugin_loader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <mutex>
#include <set>

#include "host/message_boxes.h"

namespace kolektor::wintest {

namespace {

// Hosts may run on several threads at once (the corpus tests do).
std::mutex g_hosts_mutex;

std::map<Word, Host*>& Hosts() {
  static std::map<Word, Host*> hosts;
  return hosts;
}

template <typename T>
void Resolve(HMODULE module, const char* name, T& into) {
  into = reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  if (into == nullptr) ADD_FAILURE() << "entry point missing: " << name;
}

std::string ExeDir() {
  char path[MAX_PATH];
  const DWORD got = GetModuleFileNameA(nullptr, path, sizeof path);
  std::string dir(path, got);
  return dir.substr(0, dir.find_last_of('\\') + 1);
}

thread_local MessageBoxCatcher* g_catcher = nullptr;

LRESULT CALLBACK CbtHook(int code, WPARAM wparam, LPARAM lparam) {
  thread_local std::set<HWND> open_boxes;
  std::string caption, text;
  if (g_catcher != nullptr && ConfirmOwnMessageBox(code, wparam, open_boxes, caption, text))
    g_catcher->seen.push_back({caption, text});
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

}  // namespace

namespace {

Plugin Load() {
  Plugin plugin;
  plugin.module = LoadLibraryA((ExeDir() + "kolektor.dll").c_str());
  if (plugin.module == nullptr) {
    ADD_FAILURE() << "kolektor.dll not loaded: " << GetLastError();
    return plugin;
  }
  Resolve(plugin.module, "ZRBDLLTypBiblioteki", plugin.typ);
  Resolve(plugin.module, "ZRBDLLRejestrujBiblioteke", plugin.rejestruj);
  Resolve(plugin.module, "ZRBDLLZwolnijBiblioteke", plugin.zwolnij);
  Resolve(plugin.module, "ZRBDLLRejestrujCallback", plugin.callback);
  Resolve(plugin.module, "ZRBDLLParametr", plugin.parametr);
  Resolve(plugin.module, "ZRBDLLTekstListyParametru", plugin.tekst_listy);
  Resolve(plugin.module, "ZRBDLLWlasciwosci", plugin.wlasciwosci);
  Resolve(plugin.module, "ZRBDLLInwEksportujTowary", plugin.eksport);
  Resolve(plugin.module, "ZRBDLLInwZeruj", plugin.zeruj);
  Resolve(plugin.module, "ZRBDLLInwImport", plugin.import_);
  return plugin;
}

}  // namespace

const Plugin& LoadPlugin() {
  // Loaded once, before any thread can see it half resolved.
  static const Plugin plugin = Load();
  return plugin;
}

Host::Host(Word context) : context_(context) {
  {
    std::lock_guard<std::mutex> lock(g_hosts_mutex);
    Hosts()[context] = this;
  }
  const Plugin& p = LoadPlugin();
  instance_ = p.rejestruj(context, 0, 0, 0);
  p.callback(instance_, reinterpret_cast<void*>(&OnStatus), 2);
  p.callback(instance_, reinterpret_cast<void*>(&OnParam), 6);
  p.callback(instance_, reinterpret_cast<void*>(&OnError), 7);
  params = {{"port", "1"},
            {"baud", "9600"},
            {"cena", "Cena det"},
            {"maxKod", "13"},
            {"timeout", "5 min"}};
}

Host::~Host() {
  LoadPlugin().zwolnij(instance_);
  std::lock_guard<std::mutex> lock(g_hosts_mutex);
  Hosts().erase(context_);
}

Host& Host::Find(Word context, Word handle) {
  Host* host = nullptr;
  {
    std::lock_guard<std::mutex> lock(g_hosts_mutex);
    host = Hosts().at(context);
  }
  host->contexts.push_back(context);
  host->handles.push_back(handle);
  host->event_ticks.push_back(GetTickCount());
  return *host;
}

void __stdcall Host::OnStatus(Word context, Word handle, const char* text) {
  Find(context, handle).events.push_back(std::string("status ") + text);
}

void __stdcall Host::OnParam(Word context, Word handle, const char* name, char* value) {
  Host& host = Find(context, handle);
  host.events.push_back(std::string("param ") + name);
  const std::string& answer = host.params[name];
  std::memcpy(value, answer.c_str(), answer.size() + 1);
}

void __stdcall Host::OnError(Word context, Word handle, const char* text) {
  Host& host = Find(context, handle);
  host.events.push_back(std::string("error ") + text);
  host.errors.push_back(text);
}

MessageBoxCatcher::MessageBoxCatcher() {
  g_catcher = this;
  hook_ = SetWindowsHookExA(WH_CBT, CbtHook, nullptr, GetCurrentThreadId());
}

MessageBoxCatcher::~MessageBoxCatcher() {
  UnhookWindowsHookEx(hook_);
  g_catcher = nullptr;
}

std::string BinDir() { return ExeDir(); }

std::string InstallDir() { return ExeDir() + "..\\install\\"; }

std::string FreshDir(const std::string& name) {
  const std::string root = ExeDir() + "..\\testdata\\";
  CreateDirectoryA(root.c_str(), nullptr);
  const std::string dir = root + name + "\\";
  // Empty it, subfolders too, from a previous run.
  std::error_code ignored;
  std::filesystem::remove_all(dir, ignored);
  CreateDirectoryA(dir.c_str(), nullptr);
  return dir;
}

std::string ReadFileBytes(const std::string& path) {
  std::string bytes;
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    char buffer[65536];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, got);
    std::fclose(f);
  }
  return bytes;
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr) << path;
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string Cp1250(const char* utf8) {
  wchar_t wide[4096];
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide, 4096);
  char bytes[8192];
  const int m = WideCharToMultiByte(1250, 0, wide, n, bytes, sizeof bytes, nullptr, nullptr);
  return std::string(bytes, m > 0 ? m - 1 : 0);
}

}  // namespace kolektor::wintest
