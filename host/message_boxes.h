// Message boxes confirmed without a person, from a WH_CBT hook on the
// thread that shows them: zrbhost's --yes and the Windows tests use it.
#pragma once

#include <windows.h>

#include <set>
#include <string>

namespace kolektor {

// For one call of a CBT hook: true when the call announces a message box of
// this thread not seen before; then its caption and text are filled in and
// its OK button pressed. `open_boxes` remembers the boxes not yet
// destroyed, since a box may be activated more than once and a later box
// may get the handle of one already gone. Under wine the hook also hears of
// windows that other processes activate; those are left alone.
inline bool ConfirmOwnMessageBox(int code, WPARAM wparam, std::set<HWND>& open_boxes,
                                 std::string& caption, std::string& text) {
  HWND window = reinterpret_cast<HWND>(wparam);
  if (code == HCBT_DESTROYWND) open_boxes.erase(window);
  if (code != HCBT_ACTIVATE || open_boxes.count(window) != 0) return false;
  char window_class[64] = {};
  GetClassNameA(window, window_class, sizeof window_class);
  if (std::string(window_class) != "#32770" ||
      GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId())
    return false;
  open_boxes.insert(window);
  char caption_bytes[512] = {}, text_bytes[4096] = {};
  GetWindowTextA(window, caption_bytes, sizeof caption_bytes);
  // The message text is the static control with id 0xFFFF.
  GetDlgItemTextA(window, 0xFFFF, text_bytes, sizeof text_bytes);
  caption = caption_bytes;
  text = text_bytes;
  PostMessageA(window, WM_COMMAND, IDOK, 0);
  return true;
}

}  // namespace kolektor
