// zrbhost: a diagnostic host for ZRB device plug-ins. It loads a plug-in
// DLL by path and drives it exactly as the back-office host does: entry
// points resolved by name, settings built from the plug-in's own
// descriptions, stdcall callbacks that print what arrives.
//
//   zrbhost [options] describe
//   zrbhost [options] export GOODS | import COUNTS | clear
//   zrbhost [options] check GOODS
//   zrbhost setup --install-dir DIR
// Options: --dll PATH (default: kolektor.dll beside zrbhost.exe),
//   --settings FILE (lines name=value), --set name=value (repeatable),
//   --yes (confirm the import's message boxes, printing each).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "export/goods_conversion.h"
#include "host/message_boxes.h"
#include "platform/platform.h"
#include "plugin/cp1250.h"

namespace {

using Word = int;

struct Plugin {
  HMODULE module = nullptr;
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

struct Parameter {
  std::string name, label, default_value, low, high;  // Windows-1250
  Word kind = 0;
  std::vector<std::string> choices;
};

std::string Utf8(const std::string& cp1250) { return kolektor::Utf8FromCp1250(cp1250); }

std::string ToCp1250(const std::string& utf8) {
  const int wide_size = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
  if (wide_size <= 0) return utf8;
  std::vector<wchar_t> wide(static_cast<std::size_t>(wide_size));
  MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, wide.data(), wide_size);
  const int size = WideCharToMultiByte(1250, 0, wide.data(), -1, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return utf8;
  std::vector<char> bytes(static_cast<std::size_t>(size));
  WideCharToMultiByte(1250, 0, wide.data(), -1, bytes.data(), size, nullptr, nullptr);
  return std::string(bytes.data());
}

void Print(const std::string& utf8) {
  std::fwrite(utf8.data(), 1, utf8.size(), stdout);
  std::fflush(stdout);
}

std::string ExeDir() {
  char path[MAX_PATH];
  const DWORD got = GetModuleFileNameA(nullptr, path, sizeof path);
  std::string dir(path, got);
  return dir.substr(0, dir.find_last_of('\\') + 1);
}

template <typename T>
bool Resolve(HMODULE module, const char* name, T& into) {
  into = reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  if (into == nullptr) std::fprintf(stderr, "zrbhost: the plug-in lacks %s\n", name);
  return into != nullptr;
}

bool Load(const std::string& path, Plugin& p) {
  p.module = LoadLibraryA(path.c_str());
  if (p.module == nullptr) {
    std::fprintf(stderr, "zrbhost: cannot load %s (error %lu)\n", path.c_str(),
                 static_cast<unsigned long>(GetLastError()));
    return false;
  }
  return Resolve(p.module, "ZRBDLLTypBiblioteki", p.typ) &
         Resolve(p.module, "ZRBDLLRejestrujBiblioteke", p.rejestruj) &
         Resolve(p.module, "ZRBDLLZwolnijBiblioteke", p.zwolnij) &
         Resolve(p.module, "ZRBDLLRejestrujCallback", p.callback) &
         Resolve(p.module, "ZRBDLLParametr", p.parametr) &
         Resolve(p.module, "ZRBDLLTekstListyParametru", p.tekst_listy) &
         Resolve(p.module, "ZRBDLLWlasciwosci", p.wlasciwosci) &
         Resolve(p.module, "ZRBDLLInwEksportujTowary", p.eksport) &
         Resolve(p.module, "ZRBDLLInwZeruj", p.zeruj) &
         Resolve(p.module, "ZRBDLLInwImport", p.import_);
}

std::vector<Parameter> Describe(const Plugin& p) {
  std::vector<Parameter> parameters;
  for (Word index = 0;; ++index) {
    // Wider than any width the host's form uses.
    char b[5][400] = {};
    const Word kind = p.parametr(301, index, b[0], b[1], b[2], b[3], b[4], 0);
    if (kind == 0) break;
    Parameter parameter{b[0], b[1], b[2], b[3], b[4], kind, {}};
    for (Word choice = 0; kind == 2; ++choice) {
      char text[400] = {};
      if (p.tekst_listy(parameter.name.c_str(), choice, text) == 0) break;
      parameter.choices.emplace_back(text);
    }
    parameters.push_back(parameter);
  }
  return parameters;
}

// The host's settings, by name, as the plug-in will be answered.
std::map<std::string, std::string> g_values;
bool g_auto_confirm = false;

void __stdcall OnStatus(Word, Word, const char* text) { Print("status: " + Utf8(text) + "\n"); }
void __stdcall OnError(Word, Word, const char* text) { Print("error: " + Utf8(text) + "\n"); }
void __stdcall OnParam(Word, Word, const char* name, char* value) {
  const auto it = g_values.find(name);
  const std::string answer = it == g_values.end() ? std::string() : it->second;
  std::memset(value, 0, 100);
  std::memcpy(value, answer.data(), answer.size() < 99 ? answer.size() : 99);
}

LRESULT CALLBACK ConfirmBoxes(int code, WPARAM wparam, LPARAM lparam) {
  static std::set<HWND> open_boxes;
  std::string caption, text;
  if (kolektor::ConfirmOwnMessageBox(code, wparam, open_boxes, caption, text))
    Print("message box [" + Utf8(caption) + "]: " + Utf8(text) + "\n");
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

bool IsNumberInRange(const std::string& value, const std::string& low, const std::string& high) {
  if (value.empty() || value.size() > 9) return false;
  for (char c : value)
    if (c < '0' || c > '9') return false;
  const long n = std::strtol(value.c_str(), nullptr, 10);
  return n >= std::strtol(low.c_str(), nullptr, 10) && n <= std::strtol(high.c_str(), nullptr, 10);
}

// A value the host's form would not let the user choose is refused here,
// before the plug-in sees it.
bool Validate(const std::vector<Parameter>& parameters) {
  bool ok = true;
  for (const auto& [name, value] : g_values) {
    const Parameter* found = nullptr;
    for (const Parameter& p : parameters)
      if (p.name == name) found = &p;
    if (found == nullptr) {
      std::fprintf(stderr, "zrbhost: the plug-in has no parameter \"%s\"\n", name.c_str());
      ok = false;
      continue;
    }
    if (found->kind == 4) {
      const bool com_port = value.size() == 4 && value.compare(0, 3, "COM") == 0 &&
                            value[3] >= '1' && value[3] <= '4';
      if (!com_port && !IsNumberInRange(value, found->low, found->high)) {
        std::fprintf(stderr, "zrbhost: %s=\"%s\" is not a number from %s to %s\n", name.c_str(),
                     Utf8(value).c_str(), found->low.c_str(), found->high.c_str());
        ok = false;
      }
      continue;
    }
    bool listed = false;
    for (const std::string& choice : found->choices) listed = listed || choice == value;
    if (!listed) {
      std::string choices;
      for (const std::string& choice : found->choices)
        choices += (choices.empty() ? "" : ", ") + ("\"" + Utf8(choice) + "\"");
      std::fprintf(stderr, "zrbhost: %s=\"%s\" is not one of the choices: %s\n", name.c_str(),
                   Utf8(value).c_str(), choices.c_str());
      ok = false;
    }
  }
  return ok;
}

bool ReadSettingsFile(const std::string& path) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) {
    std::fprintf(stderr, "zrbhost: cannot read the settings file %s\n", path.c_str());
    return false;
  }
  char line[512];
  while (std::fgets(line, sizeof line, f)) {
    std::string s(line);
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.pop_back();
    if (s.empty() || s[0] == '#') continue;
    const std::size_t eq = s.find('=');
    if (eq == std::string::npos) continue;
    g_values[s.substr(0, eq)] = ToCp1250(s.substr(eq + 1));
  }
  std::fclose(f);
  return true;
}

int DescribeCommand(const Plugin& p, const std::vector<Parameter>& parameters) {
  Print("Plug-in type: " + std::to_string(p.typ()) + "\n\nSettings:\n");
  for (const Parameter& parameter : parameters) {
    Print("  " + Utf8(parameter.label) + " (" + parameter.name + "), default \"" +
          Utf8(parameter.default_value) + "\"");
    if (parameter.kind == 4) {
      Print(", a number from " + parameter.low + " to " + parameter.high + "\n");
    } else {
      std::string choices;
      for (const std::string& c : parameter.choices)
        choices += (choices.empty() ? "" : " | ") + Utf8(c);
      Print(", one of: " + choices + "\n");
    }
    Print("      now: \"" + Utf8(g_values[parameter.name]) + "\"\n");
  }
  Print("\nProperties:\n");
  const Word numbers[] = {1, 2, 301, 302, 303, 304, 305, 306, 307, 308};
  for (Word number : numbers) {
    char text[400] = {};
    p.wlasciwosci(text, number);
    std::string shown = Utf8(text);
    for (std::size_t at = 0; (at = shown.find('\n', at)) != std::string::npos; at += 7)
      shown.replace(at, 1, "\n      ");
    Print("  " + std::to_string(number) + ": " + shown + "\n");
  }
  return 0;
}

int CheckCommand(const std::string& goods_path) {
  std::unique_ptr<kolektor::File> goods =
      kolektor::OpenStdioFile(goods_path, kolektor::OpenMode::kRead);
  if (!goods) {
    std::fprintf(stderr, "zrbhost: cannot open %s\n", goods_path.c_str());
    return 2;
  }
  kolektor::GoodsOptions options;
  options.price_level = g_values["cena"] == "Cena zak" ? 2 : 1;
  options.max_code_length = g_values["maxKod"] == "20" ? 20 : 13;
  std::size_t faults = 0;
  const kolektor::GoodsCheckSummary summary =
      kolektor::CheckGoods(*goods, options, [&faults](const kolektor::GoodsCheckFault& f) {
        ++faults;
        Print("line " + std::to_string(f.line) + ", byte " + std::to_string(f.offset) + ": " +
              Utf8(f.text) + "\n");
      });
  if (summary.read_error) Print("the file could not be read to its end\n");
  Print("lines: " + std::to_string(summary.lines) + ", records that would be written: " +
        std::to_string(summary.records) + ", faults: " + std::to_string(faults) + "\n");
  return faults == 0 && !summary.read_error ? 0 : 1;
}

int SetupCommand(const std::string& install_dir) {
  HKEY key;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Orvisk\\ZRBWin\\Instalacja", 0, nullptr, 0,
                      KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
    std::fprintf(stderr, "zrbhost: cannot write the registry (run as administrator)\n");
    return 1;
  }
  const LONG r =
      RegSetValueExA(key, "Binaria", 0, REG_SZ, reinterpret_cast<const BYTE*>(install_dir.c_str()),
                     static_cast<DWORD>(install_dir.size() + 1));
  RegCloseKey(key);
  if (r != ERROR_SUCCESS) return 1;
  Print("HKLM\\Software\\Orvisk\\ZRBWin\\Instalacja  Binaria = " + install_dir + "\n");
  return 0;
}

int Usage() {
  std::fprintf(stderr,
               "usage: zrbhost [--dll PATH] [--settings FILE] [--set name=value]... [--yes]\n"
               "               describe | export GOODS | import COUNTS | clear | check GOODS\n"
               "       zrbhost setup --install-dir DIR\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string dll = ExeDir() + "kolektor.dll";
  std::vector<std::string> args;
  std::vector<std::pair<std::string, std::string>> overrides;
  std::string settings_file, install_dir;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--dll" && i + 1 < argc) {
      dll = argv[++i];
    } else if (a == "--settings" && i + 1 < argc) {
      settings_file = argv[++i];
    } else if (a == "--set" && i + 1 < argc) {
      const std::string kv = argv[++i];
      const std::size_t eq = kv.find('=');
      if (eq == std::string::npos) return Usage();
      overrides.emplace_back(kv.substr(0, eq), ToCp1250(kv.substr(eq + 1)));
    } else if (a == "--yes") {
      g_auto_confirm = true;
    } else if (a == "--install-dir" && i + 1 < argc) {
      install_dir = argv[++i];
    } else {
      args.push_back(a);
    }
  }
  if (args.empty()) return Usage();
  const std::string command = args[0];
  if (command == "setup") return install_dir.empty() ? Usage() : SetupCommand(install_dir);

  Plugin p;
  if (!Load(dll, p)) return 2;
  const std::vector<Parameter> parameters = Describe(p);
  for (const Parameter& parameter : parameters) g_values[parameter.name] = parameter.default_value;
  if (!settings_file.empty() && !ReadSettingsFile(settings_file)) return 2;
  for (const auto& [name, value] : overrides) g_values[name] = value;
  if (!Validate(parameters)) return 2;

  if (command == "describe") return DescribeCommand(p, parameters);
  if (command == "check" && args.size() == 2) return CheckCommand(args[1]);

  void* instance = p.rejestruj(1, 0, 0, 0);
  p.callback(instance, reinterpret_cast<void*>(&OnStatus), 2);
  p.callback(instance, reinterpret_cast<void*>(&OnParam), 6);
  p.callback(instance, reinterpret_cast<void*>(&OnError), 7);
  HHOOK hook = g_auto_confirm
                   ? SetWindowsHookExA(WH_CBT, ConfirmBoxes, nullptr, GetCurrentThreadId())
                   : nullptr;
  int result = -1;
  if (command == "export" && args.size() == 2) {
    result = p.eksport(instance, 1, args[1].c_str());
  } else if (command == "import" && args.size() == 2) {
    result = p.import_(instance, 1, args[1].c_str());
  } else if (command == "clear") {
    result = p.zeruj(instance, 1);
  }
  if (hook != nullptr) UnhookWindowsHookEx(hook);
  p.zwolnij(instance);
  if (result < 0) return Usage();
  Print("result: " + std::to_string(result) + "\n");
  return result == 1 ? 0 : 1;
}
