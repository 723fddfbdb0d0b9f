#include "host/code_pages.h"

#include <windows.h>

namespace kolektor::host {

static_assert(kCodePageAnsi == CP_ACP && kCodePageUtf8 == CP_UTF8);

std::wstring WideFrom(unsigned code_page, std::string_view bytes) {
  if (bytes.empty()) return std::wstring();
  const int size = static_cast<int>(bytes.size());
  const int n = MultiByteToWideChar(code_page, 0, bytes.data(), size, nullptr, 0);
  if (n <= 0) return std::wstring();
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(code_page, 0, bytes.data(), size, &wide[0], n);
  return wide;
}

std::string BytesFrom(unsigned code_page, std::wstring_view text) {
  if (text.empty()) return std::string();
  const int size = static_cast<int>(text.size());
  const int n = WideCharToMultiByte(code_page, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return std::string();
  std::string bytes(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(code_page, 0, text.data(), size, &bytes[0], n, nullptr, nullptr);
  return bytes;
}

}  // namespace kolektor::host
