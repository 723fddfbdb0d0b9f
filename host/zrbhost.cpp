// zrbhost: a diagnostic host for ZRB device plug-ins, and the support
// person's tools for the files around them. It loads a plug-in DLL by path
// and drives it exactly as the back-office host does (entry points resolved
// by name, settings from the plug-in's own descriptions, stdcall callbacks
// that print what arrives), checks goods files, reads the transfer journal
// back, converts a kept a.dat and compares book and counted quantities.
// "zrbhost help" lists the commands and exit codes. Output is Polish: wide
// characters on a console, UTF-8 into a file or pipe; errors go to standard
// error.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "base/cp1250.h"
#include "base/held_files.h"
#include "base/settings_table.h"
#include "base/texts.h"
#include "host/install_check.h"
#include "host/plugin_host.h"
#include "host/program_texts.h"
#include "host/registry_view.h"
#include "host/support_file.h"
#include "host/system_error_text.h"
#include "host/zrbhost_files.h"
#include "platform/win32.h"
#include "tools/docs/message_reference.h"
#include "tools/files/counts_summary.h"

namespace {

namespace u = kolektor::ui;
using kolektor::host::Word;
using kolektor::ui::Fill;

// Output into a file or a pipe fits 80 columns: a mail or a printout of it
// breaks no line.
constexpr std::size_t kRedirectedWidth = 79;

// Polish on any console: wide characters to a console, UTF-8 elsewhere. A
// console breaks a line at its edge, inside a word: lines longer than the
// console is wide are broken between words first, a number kept with the
// word before it. Every "(błąd systemu N)" gets Windows' reason beside it.
void Write(DWORD which, FILE* stream, const std::string& text) {
  const std::string utf8 = kolektor::host::WithSystemErrorReasons(text);
  const HANDLE handle = GetStdHandle(which);
  DWORD mode = 0;
  if (handle != nullptr && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode)) {
    CONSOLE_SCREEN_BUFFER_INFO console{};
    const bool known = GetConsoleScreenBufferInfo(handle, &console) && console.dwSize.X > 20;
    const std::wstring wide = kolektor::host::WideFromUtf8(
        known ? kolektor::WrapLongLines(utf8, static_cast<std::size_t>(console.dwSize.X) - 1)
              : utf8);
    DWORD written = 0;
    WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    return;
  }
  const std::string wrapped = kolektor::WrapLongLines(utf8, kRedirectedWidth);
  std::fwrite(wrapped.data(), 1, wrapped.size(), stream);
  std::fflush(stream);
}
void Print(const std::string& utf8) { Write(STD_OUTPUT_HANDLE, stdout, utf8); }
void PrintError(const std::string& utf8) { Write(STD_ERROR_HANDLE, stderr, utf8); }
void Complain(const std::string& utf8) { PrintError("zrbhost: " + utf8 + "\n"); }
const kolektor::zrbhost::Printer kPrinter{Print, PrintError};

std::string Utf8(const std::string& cp1250) { return kolektor::Utf8FromCp1250(cp1250); }

// A text the person typed on the command line (ANSI code page) as the host
// would hand it to the plug-in.
using kolektor::host::Cp1250FromAnsi;

struct Options {
  std::string dll;  // empty: the installed one (FindDefaultPlugin)
  std::string settings_file, install_dir;
  std::string goods, counts;  // support: the till's files to look at
  std::vector<std::pair<std::string, std::string>> overrides;
  bool yes = false, force = false, records = false;
  std::vector<std::string> args;
};

bool Validate(const std::vector<kolektor::host::Parameter>& parameters,
              const std::map<std::string, std::string>& values) {
  bool ok = true;
  for (const auto& [name, value] : values) {
    const kolektor::host::Parameter* found = nullptr;
    for (const kolektor::host::Parameter& p : parameters)
      if (p.name == name) found = &p;
    if (found == nullptr) {
      Complain(Fill(u::kHostNoParameter, {name}));
      ok = false;
    } else if (!kolektor::host::AcceptsValue(*found, value)) {
      if (found->kind == kolektor::kParameterNumber) {
        Complain(Fill(u::kHostNotANumber, {name, Utf8(value), found->low, found->high}));
      } else {
        std::string choices;
        for (const std::string& c : found->choices)
          choices += (choices.empty() ? "\"" : ", \"") + Utf8(c) + "\"";
        Complain(Fill(u::kHostNotAChoice, {name, Utf8(value), choices}));
      }
      ok = false;
    }
  }
  return ok;
}

bool ReadSettingsFile(const std::string& path, std::map<std::string, std::string>& values) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) {
    // The runtime opens it with CreateFile, whose reason stays behind.
    const DWORD error = GetLastError();
    Complain(
        Fill(u::kHostSettingsFile, {kolektor::host::Utf8FromAnsi(path), std::to_string(error)}));
    return false;
  }
  char line[512];
  while (std::fgets(line, sizeof line, f)) {
    std::string s(line);
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.pop_back();
    if (s.empty() || s[0] == '#') continue;
    const std::size_t eq = s.find('=');
    // Typed in UTF-8; a character Windows-1250 lacks becomes "?", which no
    // setting accepts.
    if (eq != std::string::npos)
      kolektor::Cp1250FromUtf8(s.substr(eq + 1), values[s.substr(0, eq)]);
  }
  std::fclose(f);
  return true;
}

int Describe(const kolektor::host::Plugin& p, const std::vector<kolektor::host::Parameter>& params,
             const std::map<std::string, std::string>& values) {
  Print(Fill(u::kHostType, {std::to_string(p.api.typ())}) + "\n");
  Print(Fill(u::kHostPluginFile, {kolektor::host::Utf8FromAnsi(p.path), p.version}) + "\n\n" +
        std::string(u::kHostSettings) + "\n");
  for (const kolektor::host::Parameter& parameter : params) {
    if (parameter.kind == kolektor::kParameterNumber) {
      Print(Fill(u::kHostNumberSetting,
                 {Utf8(parameter.label), parameter.name, Utf8(parameter.default_value),
                  parameter.low, parameter.high}) +
            "\n");
    } else {
      std::string choices;
      for (const std::string& c : parameter.choices)
        choices += (choices.empty() ? "" : " | ") + Utf8(c);
      Print(Fill(u::kHostChoiceSetting,
                 {Utf8(parameter.label), parameter.name, Utf8(parameter.default_value), choices}) +
            "\n");
    }
    const auto it = values.find(parameter.name);
    Print(Fill(u::kHostNow, {Utf8(it == values.end() ? "" : it->second)}) + "\n");
  }
  Print("\n" + std::string(u::kHostProperties) + "\n");
  for (Word number : kolektor::property::kAnswered) {
    std::string shown = Utf8(kolektor::host::Property(p.api, number));
    for (std::size_t at = 0; (at = shown.find('\n', at)) != std::string::npos; at += 7)
      shown.replace(at, 1, "\n      ");
    Print("  " + std::to_string(number) + ": " + shown + "\n");
  }
  return 0;
}

// Every callback and message box as it arrives, errors with their
// explanation from the message table.
void PrintEvent(const kolektor::host::Event& e) {
  switch (e.kind) {
    case kolektor::host::Event::kStatus:
      Print(Fill(u::kHostStatus, {Utf8(e.text)}) + "\n");
      break;
    case kolektor::host::Event::kParam:
      break;
    case kolektor::host::Event::kError:
      kolektor::zrbhost::PrintExplained(e.text, PrintError);
      break;
    case kolektor::host::Event::kMessageBox:
      Print(Fill(u::kHostMessageBox, {Utf8(e.name), Utf8(e.text)}) + "\n");
      break;
  }
}

// What reached the counts file (and, with it, the journal), read back from
// the file the plug-in wrote: the path exactly as the plug-in got it. A
// read of nothing is a warning (exit code 3); the host's result stays 1.
int SayWhatTheReadBrought(const std::string& counts_path) {
  kolektor::Platform& system = kolektor::SystemPlatform();
  std::unique_ptr<kolektor::File> counts = kolektor::OpenWaitingWhileHeld(
      system, nullptr, "opening", counts_path, kolektor::OpenMode::kRead);
  if (!counts) {
    Complain(Fill(u::kToolCannotOpen, {std::string(u::kRoleCountsFile), Utf8(counts_path)}) +
             kPrinter.Reason(system.LastError()));
    return 0;
  }
  const kolektor::CountsSummary summary = kolektor::SummarizeCounts(*counts);
  if (summary.read_error) {
    Complain(std::string(u::kCheckReadError));
    return 0;
  }
  if (kolektor::NothingRead(summary)) {
    PrintError(Fill(u::kHostWarning, {kolektor::CountsSummaryText(summary)}) + "\n");
    return 3;
  }
  Print(kolektor::CountsSummaryText(summary) + "\n");
  return 0;
}

int Operation(const kolektor::host::Plugin& p, const Options& o,
              const std::map<std::string, std::string>& values) {
  const std::string& command = o.args[0];
  kolektor::host::Session session(p.api, 1);
  session.settings = values;
  session.on_event = PrintEvent;
  kolektor::host::MessageBoxWatch boxes(&session, o.yes);
  int result = -1;
  if (command == "export" && o.args.size() == 2) {
    result = session.Export(1, Cp1250FromAnsi(o.args[1]));
  } else if (command == "import" && o.args.size() == 2) {
    if (!o.yes) Print(std::string(u::kHostFiveBoxes) + "\n");
    result = session.Import(1, Cp1250FromAnsi(o.args[1]));
  } else if (command == "clear" && o.args.size() == 1) {
    result = session.Clear(1);
  }
  if (result < 0) return -1;
  if (command == "clear" && result == 1) {
    Print(Fill(u::kHostClearResult, {std::to_string(result)}) + "\n");
    return 0;
  }
  Print(Fill(u::kHostResult, {std::to_string(result),
                              std::string(result == 1 ? u::kResultDone : u::kResultFailed)}) +
        "\n");
  if (command == "import" && result == 1) return SayWhatTheReadBrought(Cp1250FromAnsi(o.args[1]));
  return result == 1 ? 0 : 1;
}

// A folder as ZRB's installer writes it: without a closing backslash
// (except after a drive), nor the quote that cmd leaves of "C:\ZRB\".
std::string AsHostWritesIt(std::string folder) {
  while (!folder.empty() && folder.back() == '"') folder.pop_back();
  while (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
  return folder;
}

// The host's registry value, where the plug-in reads it; the current value
// is shown, and kept unless --force.
int Setup(const Options& options) {
  Options o = options;
  o.install_dir = AsHostWritesIt(o.install_dir);
  std::string current;
  const kolektor::host::HostValue found = kolektor::host::ReadBinaria(current);
  const bool has_value =
      found == kolektor::host::HostValue::kFound || found == kolektor::host::HostValue::kUnusable;
  const std::string key = kolektor::host::HostKeyShown();
  Print(Fill(u::kSetupKey, {key}) + "\n" +
        (has_value ? Fill(u::kSetupCurrent, {kolektor::host::Utf8FromAnsi(current)})
                   : std::string(u::kSetupNoValue)) +
        "\n");
  if (o.install_dir.empty()) {
    Print(std::string(has_value ? u::kSetupHowToChange : u::kSetupHowToWrite) + "\n");
    return 0;
  }
  if (has_value && !o.force) {
    Complain(std::string(u::kSetupWouldReplace));
    return 1;
  }
  if (!kolektor::host::IsFolder(o.install_dir)) {
    Complain(Fill(u::kSetupNoFolder, {Utf8(Cp1250FromAnsi(o.install_dir))}));
    return 1;
  }
  // The plug-in reads at most 230 bytes, the terminating zero included.
  if (o.install_dir.size() >= kolektor::kInstallValueBytes) {
    Complain(Fill(u::kSetupTooLong, {std::to_string(o.install_dir.size())}));
    return 1;
  }
  if (!kolektor::host::WriteBinaria(o.install_dir)) {
    const DWORD error = GetLastError();
    Complain(Fill(u::kSetupNoRights, {key, std::to_string(error)}));
    return 1;
  }
  Print(Fill(u::kSetupWritten, {key, Utf8(Cp1250FromAnsi(o.install_dir))}) + "\n");
  return 0;
}

int Usage() {
  PrintError(std::string(u::kHostUsage));
  return 2;
}

// What was wrong with the command line, and where the commands are told.
int Wrong(const std::string& what, const std::string& usage = std::string(u::kHostSeeHelp)) {
  Complain(what);
  PrintError(usage + "\n");
  return 2;
}

// Each command and its arguments as the help names them; those in
// brackets may be left out. `options` are the command's own, for its usage
// line.
struct CommandSyntax {
  const char* name;
  const char* arguments;
  const char* options = "";
};
constexpr CommandSyntax kCommands[] = {
    {"describe", ""},
    {"export", "TOWARY"},
    {"import", "INWENTARYZACJA"},
    {"clear", ""},
    {"check", "TOWARY"},
    {"journal", "DZIENNIK [--extract N INWENTARYZACJA [--unfinished]]",
     "\n        zrbhost journal DZIENNIK --repair"},
    {"convert", "DANE INWENTARYZACJA"},
    {"report", "TOWARY INWENTARYZACJA RAPORT.csv"},
    {"messages", ""},
    {"setup", "", " [--install-dir FOLDER [--force]]"},
    {"support", "[FOLDER]", " [--goods TOWARY] [--counts INWENTARYZACJA] [--records]"},
    {"help", ""},
};

// The arguments a command takes in turn: the journal's "--extract" names
// the two that follow it.
std::vector<std::string> ArgumentNames(const CommandSyntax& c) {
  std::vector<std::string> names;
  std::string word;
  for (const char* at = c.arguments;; ++at) {
    if (*at == ' ' || *at == '\0') {
      std::string name;
      for (char ch : word)
        if (ch != '[' && ch != ']') name += ch;
      if (!name.empty()) names.push_back(name);
      word.clear();
      if (*at == '\0') break;
    } else {
      word += *at;
    }
  }
  return names;
}

std::string Shown(const std::string& ansi) { return kolektor::host::Utf8FromAnsi(ansi); }

// 0 when the command's arguments are right; else, after what is wrong, the
// command's usage, and 2.
int CheckArguments(const CommandSyntax& c, const std::vector<std::string>& args) {
  const std::vector<std::string> names = ArgumentNames(c);
  const std::string usage =
      Fill(u::kHostCommandUsage,
           {std::string(c.name) + (*c.arguments != '\0' ? " " : "") + c.arguments + c.options});
  const std::size_t given = args.size() - 1;
  std::size_t required = 0;
  for (const char* at = c.arguments; *at != '\0' && *at != '['; ++at)
    if (*at != ' ' && (at == c.arguments || at[-1] == ' ')) ++required;
  if (std::string(c.name) == "journal" && given >= 2) {
    // DZIENNIK, then nothing, --repair, or --extract N INWENTARYZACJA
    // [--unfinished].
    if (args[2] == "--repair" && given > 2)
      return Wrong(Fill(u::kHostExtraArgument, {c.name, Shown(args[3])}), usage);
    if (args[2] == "--repair") return 0;
    if (args[2] != "--extract")
      return Wrong(Fill(u::kHostExtraArgument, {c.name, Shown(args[2])}), usage);
    if (given < 4) return Wrong(Fill(u::kHostMissingArgument, {c.name, names[given]}), usage);
    if (given >= 5 && args[5] != "--unfinished")
      return Wrong(Fill(u::kHostExtraArgument, {c.name, Shown(args[5])}), usage);
    if (given > 5) return Wrong(Fill(u::kHostExtraArgument, {c.name, Shown(args[6])}), usage);
    return 0;
  }
  if (given < required) return Wrong(Fill(u::kHostMissingArgument, {c.name, names[given]}), usage);
  if (given > names.size())
    return Wrong(Fill(u::kHostExtraArgument, {c.name, Shown(args[names.size() + 1])}), usage);
  for (std::size_t i = 1; i < args.size(); ++i)
    if (args[i].rfind("--", 0) == 0)
      return Wrong(Fill(u::kHostExtraArgument, {c.name, args[i]}), usage);
  return 0;
}

// The plug-in named by --dll, else the installed one; which one it is, is
// said when it comes from ZRB's folder. `error` says why none could be
// loaded; it has been said already.
bool Load(const Options& o, kolektor::host::Plugin& p, std::string& error) {
  std::string path = o.dll;
  if (path.empty()) {
    const kolektor::host::DefaultPlugin found = kolektor::host::FindDefaultPlugin();
    if (found.path.empty()) {
      error = found.missing;
      Complain(found.missing + ". " + std::string(u::kHostNameTheDll));
      return false;
    }
    path = found.path;
    if (found.from_zrb_folder)
      Print(Fill(u::kHostLoadedFromZrb, {kolektor::host::Utf8FromAnsi(path)}) + "\n");
  }
  if (kolektor::host::LoadPlugin(path, p, error)) return true;
  Complain(error);
  return false;
}

// A program that does not say it knows the screen's DPI is told 96 on a
// scaled screen (Vista and later); zrbhost draws nothing, so it may say so.
void AskForTheRealDpi() {
  using SetProcessDpiAware = BOOL(WINAPI*)();
  const HMODULE user32 = GetModuleHandleA("user32.dll");
  const FARPROC found = user32 != nullptr ? GetProcAddress(user32, "SetProcessDPIAware") : nullptr;
  if (const auto aware = reinterpret_cast<SetProcessDpiAware>(reinterpret_cast<void*>(found)))
    aware();
}

// zrbhost support: the support file, also when no plug-in could be loaded
// (that is then one of its findings).
int Support(const kolektor::host::Plugin* p, const std::string& plugin_missing,
            const std::vector<kolektor::host::Parameter>& parameters,
            const std::map<std::string, std::string>& values, const Options& o) {
  AskForTheRealDpi();
  kolektor::host::SupportInput in;
  if (o.args.size() > 1) in.folder = AsHostWritesIt(o.args[1]);
  if (p != nullptr)
    in.plugin_path = p->path;
  else
    in.plugin_missing = plugin_missing;
  for (const kolektor::host::Parameter& parameter : parameters) {
    const auto it = values.find(parameter.name);
    in.settings.push_back(
        {parameter.label, parameter.name, it == values.end() ? std::string() : it->second});
  }
  if (parameters.empty())
    for (const auto& [name, value] : values) in.settings.push_back({"", name, value});
  in.goods_path = o.goods;
  in.counts_path = o.counts;
  in.with_records = o.records;
  const kolektor::host::SupportFile file = kolektor::host::WriteSupportFile(in);
  if (!file.written) {
    Complain(file.error);
    return 1;
  }
  Print(Fill(u::kSupportWritten, {kolektor::host::Utf8FromAnsi(file.path)}) + "\n");
  return 0;
}

// Empty when the options are right; else what is wrong with them.
std::string ParseOptions(int argc, char** argv, Options& o) {
  const struct {
    const char* option;
    std::string Options::*value;
    const char* names;
  } with_value[] = {{"--dll", &Options::dll, "PLIK"},
                    {"--settings", &Options::settings_file, "PLIK"},
                    {"--install-dir", &Options::install_dir, "FOLDER"},
                    {"--goods", &Options::goods, "TOWARY"},
                    {"--counts", &Options::counts, "INWENTARYZACJA"}};
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    bool taken = false;
    for (const auto& w : with_value) {
      if (a != w.option) continue;
      if (i + 1 >= argc) return Fill(u::kHostOptionValue, {a, w.names});
      o.*w.value = argv[++i];
      taken = true;
    }
    if (taken) continue;
    if (a == "--set") {
      if (i + 1 >= argc) return Fill(u::kHostOptionValue, {a, "nazwa=wartość"});
      const std::string kv = argv[++i];
      const std::size_t eq = kv.find('=');
      if (eq == std::string::npos || eq == 0)
        return Fill(u::kHostSetNeedsEquals, {kolektor::host::Utf8FromAnsi(kv)});
      o.overrides.emplace_back(kv.substr(0, eq), Cp1250FromAnsi(kv.substr(eq + 1)));
    } else if (a == "--yes") {
      o.yes = true;
    } else if (a == "--force") {
      o.force = true;
    } else if (a == "--records") {
      o.records = true;
    } else if (a.rfind("--", 0) == 0 && a != "--extract" && a != "--unfinished" &&
               a != "--repair" && a != "--help") {
      return Fill(u::kHostUnknownOption, {kolektor::host::Utf8FromAnsi(a)});
    } else {
      o.args.push_back(a);
    }
  }
  return std::string();
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  const std::string wrong_option = ParseOptions(argc, argv, o);
  if (!wrong_option.empty()) return Wrong(wrong_option);
  if (o.args.empty()) return Usage();
  std::string command = o.args[0];
  if (command == "--help" || command == "-h" || command == "/?") command = "help";
  const CommandSyntax* syntax = nullptr;
  for (const CommandSyntax& c : kCommands)
    if (command == c.name) syntax = &c;
  if (syntax == nullptr)
    return Wrong(Fill(u::kHostUnknownCommand, {kolektor::host::Utf8FromAnsi(command)}));
  if (const int wrong = CheckArguments(*syntax, o.args)) return wrong;
  const std::size_t n = o.args.size();
  if (command == "help") {
    Print(std::string(u::kHostUsage));
    return 0;
  }
  if (command == "setup") return Setup(o);
  if (command == "messages") {
    Print(kolektor::MessageReference());
    return 0;
  }
  if (command == "journal" && n == 3)
    return kolektor::zrbhost::JournalRepair(kolektor::SystemPlatform(), o.args[1], kPrinter);
  if (command == "journal")
    return n == 2 ? kolektor::zrbhost::JournalList(kolektor::SystemPlatform(), o.args[1], kPrinter)
                  : kolektor::zrbhost::JournalExtract(kolektor::SystemPlatform(), o.args[1],
                                                      o.args[3], o.args[4], kPrinter, n == 6);
  if (command == "convert")
    return kolektor::zrbhost::Convert(kolektor::SystemPlatform(), o.args[1], o.args[2], kPrinter);
  if (command == "report")
    return kolektor::zrbhost::Report(kolektor::SystemPlatform(), o.args[1], o.args[2], o.args[3],
                                     kPrinter);

  kolektor::host::Plugin p;
  std::string plugin_missing;
  const bool loaded = Load(o, p, plugin_missing);
  if (!loaded && command != "support") return 2;
  std::vector<kolektor::host::Parameter> parameters;
  if (loaded) parameters = kolektor::host::DescribeParameters(p.api);
  std::map<std::string, std::string> values;
  for (const kolektor::host::Parameter& parameter : parameters)
    values[parameter.name] = parameter.default_value;
  if (!o.settings_file.empty() && !ReadSettingsFile(o.settings_file, values)) return 2;
  for (const auto& [name, value] : o.overrides) values[name] = value;
  if (loaded && !Validate(parameters, values)) return 2;

  if (command == "support")
    return Support(loaded ? &p : nullptr, plugin_missing, parameters, values, o);
  if (command == "describe") return Describe(p, parameters, values);
  if (command == "check")
    return kolektor::zrbhost::Check(
        kolektor::SystemPlatform(), o.args[1],
        kolektor::PriceLevel(values[std::string(kolektor::kParamCena)]),
        kolektor::MaxCodeLength(values[std::string(kolektor::kParamMaxKod)]), kPrinter);
  const int result = Operation(p, o, values);
  return result < 0 ? Usage() : result;
}
