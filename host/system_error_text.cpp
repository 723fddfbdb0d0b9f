#include "host/system_error_text.h"

#include <windows.h>

#include "host/code_pages.h"
#include "host/program_texts.h"

namespace kolektor::host {

namespace {

// Windows' own Polish text, as one phrase: its closing full stop and line
// end dropped, its first letter small. Empty when Windows has no Polish
// text for the code, or one with a gap for a name (%1) that we cannot fill.
std::wstring PolishFromWindows(unsigned long code) {
  wchar_t text[512] = {};
  const DWORD got = FormatMessageW(
      FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_MAX_WIDTH_MASK,
      nullptr, code, MAKELANGID(LANG_POLISH, SUBLANG_DEFAULT), text, 512, nullptr);
  std::wstring reason(text, got < 512 ? got : 0);
  while (!reason.empty() && (reason.back() == L' ' || reason.back() == L'.' ||
                             reason.back() == L'\r' || reason.back() == L'\n'))
    reason.pop_back();
  if (reason.find(L'%') != std::wstring::npos) return std::wstring();
  if (!reason.empty()) CharLowerBuffW(&reason[0], 1);
  return reason;
}

}  // namespace

std::string SystemErrorText(unsigned long code) {
  std::string reason = Utf8FromWide(PolishFromWindows(code));
  if (reason.empty()) reason = std::string(ui::OwnSystemErrorReason(code));
  if (reason.empty()) return ui::Fill(ui::kSystemErrorBare, {std::to_string(code)});
  return ui::Fill(ui::kSystemErrorWithReason, {reason, std::to_string(code)});
}

}  // namespace kolektor::host
