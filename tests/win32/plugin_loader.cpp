#include "tests/win32/plugin_loader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

namespace kolektor::wintest {

namespace {

std::string ExeDir() { return host::ProgramFolder(); }

}  // namespace

const Plugin& LoadPlugin() {
  // Loaded once, before any thread can see it half resolved.
  static const host::Plugin plugin = [] {
    host::Plugin p;
    std::string error;
    if (!host::LoadPlugin(ExeDir() + "kolektor.dll", p, error)) ADD_FAILURE() << error;
    return p;
  }();
  return plugin.api;
}

Host::Host(Word context) : session_(LoadPlugin(), context), params(session_.settings) {
  session_.on_event = [this](const host::Event& e) {
    switch (e.kind) {
      case host::Event::kStatus:
        events.push_back("status " + e.text);
        break;
      case host::Event::kParam:
        events.push_back("param " + e.name);
        break;
      case host::Event::kError:
        events.push_back("error " + e.text);
        errors.push_back(e.text);
        break;
      case host::Event::kMessageBox:
        return;
    }
    contexts.push_back(e.context);
    handles.push_back(e.handle);
    event_ticks.push_back(e.tick);
  };
  params = {{"port", "1"},
            {"baud", "9600"},
            {"cena", "Cena det"},
            {"maxKod", "13"},
            {"timeout", "5 min"}};
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

std::string WinePath(const std::string& unix_path) {
  std::string path = "Z:" + unix_path;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

void SetBinaria(const std::string& value, DWORD type, bool terminated, REGSAM view) {
  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Orvisk\\ZRBWin\\Instalacja", 0, nullptr,
                            0, KEY_WRITE | view, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, "Binaria", 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>(value.size() + (terminated ? 1 : 0)));
  RegCloseKey(key);
}

std::string HklmValue(const char* key_name, const char* name, REGSAM view) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key_name, 0, KEY_READ | view, &key) != ERROR_SUCCESS)
    return "(none)";
  char value[1024] = {};
  DWORD size = sizeof value - 1, type = 0;
  const LONG read =
      RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
  RegCloseKey(key);
  return read == ERROR_SUCCESS && type == REG_SZ ? std::string(value) : "(none)";
}

void DeleteHklmKey(const char* key_name, REGSAM view) {
  RegDeleteKeyExA(HKEY_LOCAL_MACHINE, key_name, view, 0);
}

std::string Cp1250(const char* utf8) { return host::Cp1250FromWide(host::WideFromUtf8(utf8)); }

}  // namespace kolektor::wintest
