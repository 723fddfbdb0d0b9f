// The test form's layout: where every control goes for a given client
// size, from the font's measures and the widths of the texts. One pass
// gives both the placement and the least client size: the least size is
// the extent the pass uses when it is given no room at all, and a smaller
// window gets that same placement, so the window's least size and the
// placement can never disagree. The least size is kept small for small
// screens at large fonts: the panes under the log shrink to a few lines
// (they scroll), rows of buttons flow onto further lines. A client area
// smaller still (a screen of 800x600 at 144 DPI) scrolls as a whole.
//
// Plain C++ without windows.h: the window measures its texts and applies
// the places; the tests run the same pass on made-up measures.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "host/form_ids.h"

namespace kolektor::form {

// The layout's units in pixels, from the message font at the screen's DPI.
struct Units {
  int line = 13;        // height of a line of text
  int margin = 9;       // around the content and inside the groups
  int gap = 6;          // between controls
  int field = 23;       // height of an edit, a combo box, a button
  int pad = 18;         // a button's room beside its text
  int check = 20;       // a check box's box and the room after it
  int average = 6;      // an average letter's width
  int scroll_bar = 17;  // a vertical scroll bar's width
};

// The units for a font of `line` pixels with letters `average` wide, and the
// system's check box and scroll bar widths.
Units UnitsFor(int line, int average, int check_box, int scroll_bar);

// The controls with fixed ids, kPluginLine to kLastFixed.
inline constexpr int kFixedControls = kLastFixed - kPluginLine + 1;

// What the pass is given.
struct Content {
  Units units;
  // The width of each fixed control's text as shown, by id - kPluginLine.
  std::array<int, kFixedControls> text_w{};
  // The text of each note (a text beside a button that wraps), by id -
  // kPluginLine; empty for the other controls.
  std::array<std::wstring, kFixedControls> notes{};
  // One row per setting the plug-in describes, in its order.
  struct Row {
    bool choice = true;  // a combo box; else an edit with its range beside it
    int label_w = 0;
    int value_w = 0;  // the widest choice, or the range's text
  };
  std::vector<Row> rows;
  std::wstring plugin_line;                // wraps when the reason needs lines
  std::vector<std::wstring> instructions;  // shown whole, the longer decides
  // The height of `text` broken into lines of at most `width` pixels, as an
  // edit control breaks it; at least one line.
  std::function<int(const std::wstring& text, int width)> wrapped_height;

  int TextWidth(int control) const {
    return text_w[static_cast<std::size_t>(control - kPluginLine)];
  }
  const std::wstring& Note(int control) const {
    return notes[static_cast<std::size_t>(control - kPluginLine)];
  }
};

// The notes: texts beside a button, wrapped in the room its row leaves.
inline constexpr int kNotes[] = {kClearAbout};

struct Place {
  int control = 0;
  int x = 0, y = 0, w = 0, h = 0;
  int drop = 0;  // a combo box's list, below what it shows
};

struct Placement {
  std::vector<Place> at;
  // The extent the controls use, their margin included.
  int used_w = 0, used_h = 0;
};

// Every control's place in a client area of width x height. A client area
// smaller than the least gets the least one's placement.
Placement PlaceControls(const Content& content, int width, int height);

struct Extent {
  int w = 0, h = 0;
};
// The least client area that holds the placement: the pass run with no room.
Extent LeastClient(const Content& content);

}  // namespace kolektor::form
