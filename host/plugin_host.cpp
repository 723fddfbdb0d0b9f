#include "host/plugin_host.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <set>
#include <vector>

#include "base/settings_table.h"
#include "base/texts.h"
#include "host/program_texts.h"

namespace kolektor::host {

namespace {

template <typename T>
bool Resolve(HMODULE module, const char* name, T& into, std::string& missing) {
  into = reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  if (into == nullptr) missing += (missing.empty() ? "" : ", ") + std::string(name);
  return into != nullptr;
}

// Sessions by the context their instance hands back to every callback.
// Operations of several sessions may run at once on different threads.
struct Registry {
  CRITICAL_SECTION lock;
  std::map<Word, Session*> sessions;
  Registry() { InitializeCriticalSection(&lock); }
};
Registry& Sessions() {
  static Registry registry;
  return registry;
}

// The innermost watch of this thread.
thread_local MessageBoxWatch* t_watch = nullptr;
thread_local std::set<HWND>* t_open_boxes = nullptr;

// A host loads only a DLL built for its own machine: the shipped programs
// are 32-bit like ZRB, the 64-bit test build loads 64-bit DLLs.
constexpr bool kHost64 = sizeof(void*) == 8;
constexpr WORD kHostMachine = kHost64 ? IMAGE_FILE_MACHINE_AMD64 : IMAGE_FILE_MACHINE_I386;

// Why a file is no plug-in that this host can load, read from its headers
// before LoadLibrary says only "error 193"; empty when it looks like a DLL
// of this host's machine.
std::string NotALoadableDll(const std::string& path) {
  const std::string shown = Utf8FromAnsi(path);
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "";
  unsigned char head[4096] = {};
  DWORD got = 0;
  ReadFile(file, head, sizeof head, &got, nullptr);
  CloseHandle(file);
  auto at16 = [&](DWORD offset) {
    return offset + 2 <= got ? head[offset] | head[offset + 1] << 8 : 0;
  };
  const DWORD pe = got >= 0x40 ? static_cast<DWORD>(at16(0x3C) | at16(0x3E) << 16) : 0;
  if (got < 0x40 || head[0] != 'M' || head[1] != 'Z' || pe + 24 > got ||
      std::memcmp(head + pe, "PE\0\0", 4) != 0)
    return ui::Fill(ui::kLoadNotPe, {shown});
  if (at16(pe + 4) != kHostMachine)
    return ui::Fill(kHost64 ? ui::kLoadNot64Bit : ui::kLoadNot32Bit, {shown});
  if ((at16(pe + 22) & IMAGE_FILE_DLL) == 0) return ui::Fill(ui::kLoadNotDll, {shown});
  return "";
}

}  // namespace

bool LoadPlugin(const std::string& path, Plugin& plugin, std::string& error) {
  plugin = Plugin();
  const std::string shown = Utf8FromAnsi(path);
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    error = ui::Fill(ui::kLoadNoFile, {shown});
    return false;
  }
  error = NotALoadableDll(path);
  if (!error.empty()) return false;
  plugin.module = LoadLibraryA(path.c_str());
  if (plugin.module == nullptr) {
    const DWORD code = GetLastError();
    error = ui::Fill(code == ERROR_MOD_NOT_FOUND     ? ui::kLoadMissingDependency
                     : code == ERROR_ACCESS_DENIED   ? ui::kLoadDenied
                     : code == ERROR_DLL_INIT_FAILED ? ui::kLoadInitFailed
                                                     : ui::kHostCannotLoad,
                     {shown, std::to_string(code)});
    return false;
  }
  char full[MAX_PATH] = {};
  GetModuleFileNameA(plugin.module, full, sizeof full);
  plugin.path = full;
  plugin.version = FileVersionOf(plugin.path);
  EntryPoints& a = plugin.api;
  std::string missing;
  Resolve(plugin.module, "ZRBDLLTypBiblioteki", a.typ, missing);
  Resolve(plugin.module, "ZRBDLLRejestrujBiblioteke", a.rejestruj, missing);
  Resolve(plugin.module, "ZRBDLLZwolnijBiblioteke", a.zwolnij, missing);
  Resolve(plugin.module, "ZRBDLLRejestrujCallback", a.callback, missing);
  Resolve(plugin.module, "ZRBDLLParametr", a.parametr, missing);
  Resolve(plugin.module, "ZRBDLLTekstListyParametru", a.tekst_listy, missing);
  Resolve(plugin.module, "ZRBDLLWlasciwosci", a.wlasciwosci, missing);
  Resolve(plugin.module, "ZRBDLLInwEksportujTowary", a.eksport, missing);
  Resolve(plugin.module, "ZRBDLLInwZeruj", a.zeruj, missing);
  Resolve(plugin.module, "ZRBDLLInwImport", a.import_, missing);
  if (!missing.empty()) {
    error = ui::Fill(ui::kHostMissingEntryPoints, {shown, missing});
    FreeLibrary(plugin.module);
    plugin = Plugin();
    return false;
  }
  return true;
}

void UnloadPlugin(Plugin& plugin) {
  if (plugin.module != nullptr) FreeLibrary(plugin.module);
  plugin = Plugin();
}

std::vector<Parameter> DescribeParameters(const EntryPoints& api) {
  std::vector<Parameter> parameters;
  for (Word index = 0;; ++index) {
    // Wider than any width the host's form uses.
    char b[5][400] = {};
    const Word kind = api.parametr(kParameterFunction, index, b[0], b[1], b[2], b[3], b[4], 0);
    if (kind == 0) break;
    Parameter parameter{b[0], b[1], b[2], b[3], b[4], kind, {}};
    for (Word choice = 0; kind == kParameterChoice; ++choice) {
      char text[400] = {};
      if (api.tekst_listy(parameter.name.c_str(), choice, text) == 0) break;
      parameter.choices.emplace_back(text);
    }
    parameters.push_back(parameter);
  }
  return parameters;
}

std::string Property(const EntryPoints& api, Word number) {
  char text[400] = {};
  api.wlasciwosci(text, number);
  return text;
}

bool AcceptsValue(const Parameter& parameter, const std::string& value) {
  if (parameter.kind != kParameterNumber) {
    for (const std::string& choice : parameter.choices)
      if (choice == value) return true;
    return false;
  }
  // The port: a name the plug-in knows (COM1 to COM4), or a number in range.
  if (FindChoice(parameter.name, value) != nullptr) return true;
  if (value.empty() || value.size() > 9) return false;
  long n = 0;
  for (char c : value) {
    if (c < '0' || c > '9') return false;
    n = n * 10 + (c - '0');
  }
  return n >= std::atol(parameter.low.c_str()) && n <= std::atol(parameter.high.c_str());
}

std::string PortNumberOf(const std::string& typed) {
  std::size_t begin = typed.find_first_not_of(' ');
  if (begin == std::string::npos) return typed;
  const std::size_t end = typed.find_last_not_of(' ') + 1;
  std::string port = typed.substr(begin, end - begin);
  if (port.size() > 3 && (port[0] == 'C' || port[0] == 'c') && (port[1] == 'O' || port[1] == 'o') &&
      (port[2] == 'M' || port[2] == 'm'))
    port.erase(0, 3);
  if (port.empty() || port.find_first_not_of("0123456789") != std::string::npos) return typed;
  port.erase(0, std::min(port.find_first_not_of('0'), port.size() - 1));
  return port;
}

Session::Session(const EntryPoints& api, Word context) : api_(api), context_(context) {
  Registry& r = Sessions();
  EnterCriticalSection(&r.lock);
  r.sessions[context] = this;
  LeaveCriticalSection(&r.lock);
  instance_ = api_.rejestruj(context, 0, 0, 0);
  api_.callback(instance_, reinterpret_cast<void*>(&OnStatus), kRegisterStatus);
  api_.callback(instance_, reinterpret_cast<void*>(&OnParam), kRegisterParam);
  api_.callback(instance_, reinterpret_cast<void*>(&OnError), kRegisterError);
}

Session::~Session() {
  api_.zwolnij(instance_);
  Registry& r = Sessions();
  EnterCriticalSection(&r.lock);
  r.sessions.erase(context_);
  LeaveCriticalSection(&r.lock);
}

std::vector<std::string> Session::Errors() const {
  std::vector<std::string> errors;
  for (const Event& e : events)
    if (e.kind == Event::kError) errors.push_back(e.text);
  return errors;
}

Word Session::Export(Word handle, const std::string& goods_path) {
  return api_.eksport(instance_, handle, goods_path.c_str());
}

Word Session::Import(Word handle, const std::string& counts_path) {
  return api_.import_(instance_, handle, counts_path.c_str());
}

Word Session::Clear(Word handle) { return api_.zeruj(instance_, handle); }

void Session::Record(Event event) {
  event.tick = GetTickCount();
  events.push_back(event);
  if (on_event) on_event(events.back());
}

Session* Session::Find(Word context) {
  Registry& r = Sessions();
  EnterCriticalSection(&r.lock);
  const auto it = r.sessions.find(context);
  Session* session = it == r.sessions.end() ? nullptr : it->second;
  LeaveCriticalSection(&r.lock);
  return session;
}

void __stdcall Session::OnStatus(Word context, Word handle, const char* text) {
  if (Session* s = Find(context)) s->Record({Event::kStatus, "", text, context, handle});
}

void __stdcall Session::OnError(Word context, Word handle, const char* text) {
  if (Session* s = Find(context)) s->Record({Event::kError, "", text, context, handle});
}

void __stdcall Session::OnParam(Word context, Word handle, const char* name, char* value) {
  Session* s = Find(context);
  std::string answer;
  if (s != nullptr) {
    const auto it = s->settings.find(name);
    if (it != s->settings.end()) answer = it->second;
  }
  // The host writes at most 99 bytes and the terminating zero.
  if (answer.size() > 99) answer.resize(99);
  std::memcpy(value, answer.c_str(), answer.size() + 1);
  if (s != nullptr) s->Record({Event::kParam, name, answer, context, handle});
}

MessageBoxWatch::MessageBoxWatch(Session* session, bool confirm)
    : session_(session), confirm_(confirm), outer_(t_watch) {
  t_watch = this;
  if (t_open_boxes == nullptr) t_open_boxes = new std::set<HWND>;
  hook_ = SetWindowsHookExA(WH_CBT, Hook, nullptr, GetCurrentThreadId());
}

MessageBoxWatch::~MessageBoxWatch() {
  UnhookWindowsHookEx(hook_);
  t_watch = outer_;
}

LRESULT CALLBACK MessageBoxWatch::Hook(int code, WPARAM wparam, LPARAM lparam) {
  // A box may be activated more than once, and a later box may get the
  // handle of one already gone: boxes are remembered until destroyed.
  // Under wine the hook also hears of windows that other processes
  // activate; those are left alone.
  HWND window = reinterpret_cast<HWND>(wparam);
  MessageBoxWatch* watch = t_watch;
  if (code == HCBT_DESTROYWND && t_open_boxes != nullptr) t_open_boxes->erase(window);
  if (watch != nullptr && code == HCBT_ACTIVATE && t_open_boxes->count(window) == 0) {
    char window_class[64] = {};
    GetClassNameA(window, window_class, sizeof window_class);
    if (std::string(window_class) == "#32770" &&
        GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId()) {
      t_open_boxes->insert(window);
      char caption[512] = {}, text[4096] = {};
      GetWindowTextA(window, caption, sizeof caption);
      // The message text is the static control with id 0xFFFF.
      GetDlgItemTextA(window, 0xFFFF, text, sizeof text);
      watch->seen.push_back({caption, text});
      if (watch->session_ != nullptr)
        watch->session_->Record({Event::kMessageBox, caption, text, 0, 0});
      if (watch->confirm_) PostMessageA(window, WM_COMMAND, IDOK, 0);
    }
  }
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

std::string FileVersionOf(const std::string& path) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
  if (size == 0) return "";
  std::vector<char> data(size);
  if (!GetFileVersionInfoA(path.c_str(), 0, size, data.data())) return "";
  VS_FIXEDFILEINFO* info = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&info), &length) ||
      info == nullptr)
    return "";
  return std::to_string(HIWORD(info->dwFileVersionMS)) + "." +
         std::to_string(LOWORD(info->dwFileVersionMS)) + "." +
         std::to_string(HIWORD(info->dwFileVersionLS));
}

std::string ProgramFolder() {
  char path[MAX_PATH] = {};
  const DWORD got = GetModuleFileNameA(nullptr, path, sizeof path);
  std::string folder(path, got);
  return folder.substr(0, folder.find_last_of('\\') + 1);
}

}  // namespace kolektor::host
