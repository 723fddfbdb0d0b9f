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
#include "base/settings_table.h"
#include "base/texts.h"
#include "host/install_check.h"
#include "host/plugin_host.h"
#include "host/program_texts.h"
#include "host/zrbhost_files.h"
#include "platform/win32.h"
#include "tools/docs/message_reference.h"

namespace {

namespace u = kolektor::ui;
using kolektor::host::Word;
using kolektor::ui::Fill;

// Polish on any console: wide characters to a console, UTF-8 elsewhere. A
// console breaks a line at its edge, inside a word: lines longer than the
// console is wide are broken between words first.
void Write(DWORD which, FILE* stream, const std::string& utf8) {
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
  std::fwrite(utf8.data(), 1, utf8.size(), stream);
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
  std::vector<std::pair<std::string, std::string>> overrides;
  bool yes = false, force = false;
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
    Complain(Fill(u::kHostSettingsFile, {path}));
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
  Print(Fill(u::kHostResult, {std::to_string(result)}) + "\n");
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
  Print((has_value ? Fill(u::kSetupCurrent, {kolektor::host::Utf8FromAnsi(current)})
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
    Complain(std::string(u::kSetupNoRights));
    return 1;
  }
  Print(Fill(u::kSetupWritten, {Utf8(Cp1250FromAnsi(o.install_dir))}) + "\n");
  return 0;
}

int Usage() {
  PrintError(std::string(u::kHostUsage));
  return 2;
}

// The plug-in named by --dll, else the installed one; which one it is, is
// said when it comes from ZRB's folder.
bool Load(const Options& o, kolektor::host::Plugin& p) {
  std::string path = o.dll;
  if (path.empty()) {
    const kolektor::host::DefaultPlugin found = kolektor::host::FindDefaultPlugin();
    if (found.path.empty()) {
      Complain(found.missing + ". " + std::string(u::kHostNameTheDll));
      return false;
    }
    path = found.path;
    if (found.from_zrb_folder)
      Print(Fill(u::kHostLoadedFromZrb, {kolektor::host::Utf8FromAnsi(path)}) + "\n");
  }
  std::string error;
  if (kolektor::host::LoadPlugin(path, p, error)) return true;
  Complain(error);
  return false;
}

bool ParseOptions(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--dll" && i + 1 < argc) {
      o.dll = argv[++i];
    } else if (a == "--settings" && i + 1 < argc) {
      o.settings_file = argv[++i];
    } else if (a == "--set" && i + 1 < argc) {
      const std::string kv = argv[++i];
      const std::size_t eq = kv.find('=');
      if (eq == std::string::npos) return false;
      o.overrides.emplace_back(kv.substr(0, eq), Cp1250FromAnsi(kv.substr(eq + 1)));
    } else if (a == "--yes") {
      o.yes = true;
    } else if (a == "--force") {
      o.force = true;
    } else if (a == "--install-dir" && i + 1 < argc) {
      o.install_dir = argv[++i];
    } else {
      o.args.push_back(a);
    }
  }
  return !o.args.empty();
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!ParseOptions(argc, argv, o)) return Usage();
  const std::string& command = o.args[0];
  const std::size_t n = o.args.size();
  if (n == 1 && (command == "help" || command == "--help" || command == "-h" || command == "/?")) {
    Print(std::string(u::kHostUsage));
    return 0;
  }
  if (command == "setup" && n == 1) return Setup(o);
  if (command == "messages" && n == 1) {
    Print(kolektor::MessageReference());
    return 0;
  }
  if (command == "journal" && n == 3 && o.args[2] == "--repair")
    return kolektor::zrbhost::JournalRepair(kolektor::SystemPlatform(), o.args[1], kPrinter);
  const bool unfinished = n == 6 && o.args[5] == "--unfinished";
  if (command == "journal" && (n == 2 || ((n == 5 || unfinished) && o.args[2] == "--extract")))
    return n == 2 ? kolektor::zrbhost::JournalList(kolektor::SystemPlatform(), o.args[1], kPrinter)
                  : kolektor::zrbhost::JournalExtract(kolektor::SystemPlatform(), o.args[1],
                                                      o.args[3], o.args[4], kPrinter, unfinished);
  if (command == "convert" && n == 3)
    return kolektor::zrbhost::Convert(kolektor::SystemPlatform(), o.args[1], o.args[2], kPrinter);
  if (command == "report" && n == 4)
    return kolektor::zrbhost::Report(kolektor::SystemPlatform(), o.args[1], o.args[2], o.args[3],
                                     kPrinter);
  const bool uses_plugin =
      (n == 1 && (command == "describe" || command == "clear")) ||
      (n == 2 && (command == "check" || command == "export" || command == "import"));
  if (!uses_plugin) return Usage();

  kolektor::host::Plugin p;
  if (!Load(o, p)) return 2;
  const std::vector<kolektor::host::Parameter> parameters =
      kolektor::host::DescribeParameters(p.api);
  std::map<std::string, std::string> values;
  for (const kolektor::host::Parameter& parameter : parameters)
    values[parameter.name] = parameter.default_value;
  if (!o.settings_file.empty() && !ReadSettingsFile(o.settings_file, values)) return 2;
  for (const auto& [name, value] : o.overrides) values[name] = value;
  if (!Validate(parameters, values)) return 2;

  if (command == "describe" && n == 1) return Describe(p, parameters, values);
  if (command == "check" && n == 2)
    return kolektor::zrbhost::Check(
        kolektor::SystemPlatform(), o.args[1],
        kolektor::PriceLevel(values[std::string(kolektor::kParamCena)]),
        kolektor::MaxCodeLength(values[std::string(kolektor::kParamMaxKod)]), kPrinter);
  const int result = Operation(p, o, values);
  return result < 0 ? Usage() : result;
}
