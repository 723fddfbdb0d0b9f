#include "host/gui_text.h"

#include <cwctype>

namespace kolektor::gui {

std::wstring ControlText(HWND control) {
  const int n = GetWindowTextLengthW(control);
  std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
  GetWindowTextW(control, &text[0], n + 1);
  text.resize(static_cast<std::size_t>(n));
  return text;
}

std::wstring CrLf(const std::wstring& text) {
  std::wstring out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\n' && (i == 0 || text[i - 1] != L'\r')) out += L'\r';
    out += text[i];
  }
  return out;
}

std::wstring ShownText(const std::wstring& text) {
  std::wstring shown;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'&' && i + 1 < text.size()) ++i;
    shown += text[i];
  }
  return shown;
}

wchar_t MnemonicOf(const std::wstring& text) {
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != L'&') continue;
    if (text[i + 1] != L'&') return static_cast<wchar_t>(towlower(text[i + 1]));
    ++i;
  }
  return 0;
}

std::wstring WithMnemonic(const std::wstring& label, std::set<wchar_t>& taken) {
  std::wstring escaped;
  bool marked = false;
  for (wchar_t c : label) {
    const wchar_t lower = static_cast<wchar_t>(towlower(c));
    if (!marked && c < 128 && iswalnum(c) && taken.count(lower) == 0) {
      escaped += L'&';
      taken.insert(lower);
      marked = true;
    }
    escaped += c;
    if (c == L'&') escaped += L'&';
  }
  return escaped;
}

}  // namespace kolektor::gui
