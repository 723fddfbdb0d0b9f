// Measuring for a window's layout at the screen's DPI, for any of our
// Windows programs: the font dialog boxes use (which Windows scales with the
// DPI), the extent of a text in it, and the frame around a client area
// within the screen's work area. Lay out from these, never from pixels
// fixed at 96 DPI.
#pragma once

#include <windows.h>

#include <string>

namespace kolektor::gui {

// The system's message font at this DPI; the caller deletes it.
HFONT CreateMessageFont();

// A window's device context with a font chosen, for measuring texts in it.
class TextMeasure {
 public:
  TextMeasure(HWND window, HFONT font);
  ~TextMeasure();
  TextMeasure(const TextMeasure&) = delete;
  TextMeasure& operator=(const TextMeasure&) = delete;

  int LineHeight() const;
  int AverageWidth() const;  // of a letter, at least 1
  // The width of one line of text as drawn (no "&" handling: pass the text
  // as shown).
  int Width(const std::wstring& text) const;
  // The height of `text` broken into lines of at most `width` pixels, as an
  // edit control breaks them; at least one line.
  int WrappedHeight(const std::wstring& text, int width) const;

 private:
  HWND window_;
  HDC dc_;
  HGDIOBJ old_;
};

// The system's check box and vertical scroll bar widths at this DPI.
int CheckBoxWidth();
int ScrollBarWidth();

// The window's outer size for a client area of `client`, with its styles.
SIZE FrameFor(HWND window, SIZE client);
// The work area (the screen without the task bar) of the monitor that
// shows most of `window`, or of the main monitor when none does.
RECT WorkAreaOf(HWND window);
// `size` cut to `work`.
SIZE Within(SIZE size, const RECT& work);
// `frame` moved, as little as it takes, to lie inside `work` from its top
// left corner.
POINT PlacedWithin(RECT frame, const RECT& work);

}  // namespace kolektor::gui
