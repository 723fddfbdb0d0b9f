#include "host/system_error_text.h"

#include <windows.h>

#include <cstdlib>

#include "host/code_pages.h"
#include "host/program_texts.h"

namespace kolektor::host {
namespace {

// Windows' own text in Polish, "" where this Windows has none: a Windows in
// another language usually has no Polish message table.
std::wstring WindowsText(unsigned long code) {
  wchar_t* buffer = nullptr;
  const DWORD n = FormatMessageW(
      FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER,
      nullptr, code, MAKELANGID(LANG_POLISH, SUBLANG_DEFAULT), reinterpret_cast<wchar_t*>(&buffer),
      0, nullptr);
  std::wstring text;
  if (n > 0 && buffer != nullptr) text.assign(buffer, n);
  if (buffer != nullptr) LocalFree(buffer);
  // A sentence of its own ("Odmowa dostępu.\r\n"): made a phrase to stand
  // after the number. An abbreviation at its start ("RPC") keeps its case.
  while (!text.empty() && (text.back() <= L' ' || text.back() == L'.')) text.pop_back();
  if (text.size() > 1 && IsCharUpperW(text[0]) && IsCharLowerW(text[1]))
    CharLowerBuffW(&text[0], 1);
  return text;
}

}  // namespace

std::string SystemErrorText(unsigned long code) {
  const std::wstring windows = WindowsText(code);
  if (!windows.empty()) return Utf8FromWide(windows);
  for (const ui::SystemErrorReason& reason : ui::kSystemErrorReasons)
    if (reason.code == code) return std::string(reason.text);
  return std::string();
}

std::string WithSystemErrorReasons(const std::string& text) {
  const std::string_view head = ui::kSystemErrorHead;
  std::string out;
  std::size_t from = 0;
  for (std::size_t at = text.find(head); at != std::string::npos; at = text.find(head, from)) {
    std::size_t end = at + head.size();
    while (end < text.size() && text[end] >= '0' && text[end] <= '9') ++end;
    out.append(text, from, end - from);
    from = end;
    if (end == at + head.size() || end >= text.size() || text[end] != ')') continue;
    const std::string reason =
        SystemErrorText(std::strtoul(text.c_str() + at + head.size(), nullptr, 10));
    if (!reason.empty()) out += ": " + reason;
  }
  out.append(text, from, std::string::npos);
  return out;
}

}  // namespace kolektor::host
