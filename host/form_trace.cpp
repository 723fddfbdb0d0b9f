#include "host/form_trace.h"

#include <windows.h>

#include <algorithm>

#include "host/install_check.h"
#include "host/plugin_host.h"
#include "host/program_texts.h"

namespace kolektor::form {
namespace {

namespace u = kolektor::ui;
namespace h = kolektor::host;
using kolektor::ui::Fill;

constexpr LONGLONG kTailBytes = 16 * 1024;

// The file's last kTailBytes; false when it cannot be opened.
bool ReadTail(const std::string& path, std::string& bytes, bool& cut) {
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file, &size)) size.QuadPart = 0;
  LARGE_INTEGER from{};
  from.QuadPart = size.QuadPart > kTailBytes ? size.QuadPart - kTailBytes : 0;
  SetFilePointerEx(file, from, nullptr, FILE_BEGIN);
  bytes.assign(static_cast<std::size_t>(size.QuadPart - from.QuadPart), '\0');
  DWORD got = 0;
  if (!bytes.empty() && !ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &got, nullptr))
    got = 0;
  CloseHandle(file);
  bytes.resize(got);
  cut = from.QuadPart > 0;
  return true;
}

}  // namespace

std::string TracePathOf(const std::string& plugin_path) {
  return plugin_path.empty() ? std::string() : h::TraceFileOf(plugin_path);
}

bool TraceOn(const std::string& trace_path) { return !trace_path.empty() && h::IsFile(trace_path); }

bool SwitchTrace(const std::string& trace_path, bool on, std::string& said) {
  bool done = true;
  DWORD error = ERROR_SUCCESS;
  if (on && !TraceOn(trace_path)) {
    const HANDLE file = CreateFileA(trace_path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    done = file != INVALID_HANDLE_VALUE;
    if (done)
      CloseHandle(file);
    else
      error = GetLastError();
  } else if (!on && TraceOn(trace_path)) {
    done = DeleteFileA(trace_path.c_str()) != 0;
    if (!done) error = GetLastError();
  }
  if (!done)
    said = Fill(u::kLogTraceCannot, {h::Utf8FromAnsi(trace_path), std::to_string(error)});
  else
    said = on ? Fill(u::kLogTraceOn, {h::Utf8FromAnsi(trace_path)}) : std::string(u::kLogTraceOff);
  return done;
}

std::vector<std::string> TraceTail(const std::string& trace_path) {
  std::string bytes;
  bool cut = false;
  if (trace_path.empty() || !ReadTail(trace_path, bytes, cut))
    return {std::string(u::kLogTraceNone)};
  // From the middle of the file: from the first whole line on.
  const std::size_t first_line = bytes.find('\n');
  if (cut && first_line != std::string::npos) bytes.erase(0, first_line + 1);
  while (!bytes.empty() && (bytes.back() == '\n' || bytes.back() == '\r')) bytes.pop_back();
  std::replace(bytes.begin(), bytes.end(), '\0', ' ');  // the log's text ends at a zero
  if (bytes.empty()) return {Fill(u::kLogTraceEmpty, {h::Utf8FromAnsi(trace_path)})};
  return {Fill(u::kLogTraceShow, {h::Utf8FromAnsi(trace_path)}), bytes};
}

}  // namespace kolektor::form
