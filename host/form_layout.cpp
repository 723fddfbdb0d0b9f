#include "host/form_layout.h"

#include <algorithm>
#include <initializer_list>

namespace kolektor::form {
namespace {

// Their text follows a box, not a button's edges.
constexpr int kCheckBoxes[] = {kTrace, kRehearsal};

// The rows of buttons under the files, each ended by kRowEnd. A row is as
// wide as the left column: when its buttons do not fit, they flow onto
// further lines; each line of buttons alone is spread over the column's
// width; a note takes the rest of its line. A button added to a row needs
// nothing more than its id here.
constexpr int kRowEnd = 0;
constexpr int kButtonRows[] = {
    kExport, kImport,     kRowEnd,  //
    kClear,  kClearAbout, kRowEnd,  //
    kCheck,  kTrace,      kShowTrace, kRowEnd,
};
static_assert(kButtonRows[std::size(kButtonRows) - 1] == kRowEnd, "the last row is ended");

// The log and the panes under it are at least this many average letters
// wide, and as wide as their own header row and labels; the plug-in's line
// beside its button at least kPluginLetters; a note kNoteLetters.
constexpr int kLogLetters = 30;
constexpr int kPluginLetters = 30;
constexpr int kNoteLetters = 20;
// The log keeps room for this many lines, the panes under it for
// kPaneLines; with room to spare, what to do on the terminal is shown whole
// and the explanation gets kExplanationLines, then the log takes the rest.
constexpr int kLogLines = 5;
constexpr int kPaneLines = 2;
constexpr int kExplanationLines = 4;
static_assert(kPaneLines <= kExplanationLines, "a pane grows from its least");

bool IsNote(int control) {
  return std::find(std::begin(kNotes), std::end(kNotes), control) != std::end(kNotes);
}

// Collects the places and the extent they use.
class Placer {
 public:
  explicit Placer(Placement& placement) : p_(placement) {}
  void Put(int control, int x, int y, int w, int h, int drop = 0) {
    p_.at.push_back({control, x, y, w, h, drop});
    p_.used_w = std::max(p_.used_w, x + w);
    p_.used_h = std::max(p_.used_h, y + h);
  }

 private:
  Placement& p_;
};

int Natural(const Content& c, int control) {
  const bool box =
      std::find(std::begin(kCheckBoxes), std::end(kCheckBoxes), control) != std::end(kCheckBoxes);
  return c.TextWidth(control) + (box ? c.units.check : c.units.pad);
}

int RowWidth(const Units& u, std::initializer_list<int> widths) {
  int sum = 0;
  for (int w : widths) sum += w + u.gap;
  return sum - u.gap;
}

// The widths that do not depend on the window's size.
struct Columns {
  int label_w = 0, value_w = 0;        // the settings' two columns
  int path_label_w = 0, browse_w = 0;  // the files' rows
  int code_w = 0, quantity_w = 0;      // the scan's fields
  int left_least = 0;                  // the left column with its rows flowed
  int left_whole = 0;                  // ... with each row on one line
  int right_least = 0;                 // the log's column
  int choose_w = 0;                    // the button beside the plug-in's line
  int least_w = 0;                     // the least client width
};

int SettingsWidth(const Content& c, Columns& k) {
  const Units& u = c.units;
  for (const Content::Row& row : c.rows) {
    k.label_w = std::max(k.label_w, row.label_w);
    k.value_w = std::max(k.value_w, row.choice ? row.value_w + u.scroll_bar + 3 * u.average
                                               : 6 * u.average + u.gap + row.value_w);
  }
  return 2 * u.margin + k.label_w + u.gap + k.value_w;
}

// The rehearsal's group under the panes: the check box, the scan's fields,
// the simulator's buttons, a row each.
int RehearsalWidth(const Content& c, const Columns& k) {
  const Units& u = c.units;
  return 2 * u.margin +
         std::max({Natural(c, kRehearsal), c.TextWidth(kRehearsalGroup) + 2 * u.margin,
                   RowWidth(u, {c.TextWidth(kScanCodeLabel), k.code_w,
                                c.TextWidth(kScanQuantityLabel), k.quantity_w}),
                   RowWidth(u, {Natural(c, kScan), Natural(c, kSimulatorClear)})});
}

// The log's column: its header row, the labels of the panes, the group.
int LeastRightWidth(const Content& c, const Columns& k) {
  const Units& u = c.units;
  return std::max(
      {kLogLetters * u.average,
       RowWidth(u, {c.TextWidth(kLogLabel), Natural(c, kCopyLog), Natural(c, kClearLog)}),
       c.TextWidth(kInstructionLabel), c.TextWidth(kExplanationLabel), RehearsalWidth(c, k)});
}

// The button rows: the least width they need (the widest button, a note's
// least beside its buttons) and the width that holds each on one line.
void RowWidths(const Content& c, int& least, int& whole) {
  const Units& u = c.units;
  least = whole = 0;
  int line = -u.gap, buttons = -u.gap;
  for (int control : kButtonRows) {
    if (control == kRowEnd) {
      whole = std::max(whole, line);
      line = buttons = -u.gap;
      continue;
    }
    const int w = IsNote(control) ? kNoteLetters * u.average : Natural(c, control);
    line += w + u.gap;
    if (IsNote(control))
      least = std::max(least, buttons + u.gap + w);  // a note stays beside its buttons
    else
      buttons += w + u.gap;
    least = std::max(least, w);
  }
}

Columns Measure(const Content& c) {
  const Units& u = c.units;
  Columns k;
  k.path_label_w = std::max(c.TextWidth(kGoodsLabel), c.TextWidth(kCountsLabel));
  k.browse_w = std::max(u.field + 4, Natural(c, kGoodsBrowse));
  k.code_w = 12 * u.average;
  k.quantity_w = 6 * u.average;
  int rows_least = 0, rows_whole = 0;
  RowWidths(c, rows_least, rows_whole);
  k.left_least =
      std::max({SettingsWidth(c, k), k.path_label_w + 2 * u.gap + 16 * u.average + k.browse_w,
                c.TextWidth(kSettingsGroup) + 4 * u.margin, rows_least});
  k.left_whole = std::max(k.left_least, rows_whole);
  k.right_least = LeastRightWidth(c, k);
  k.choose_w = Natural(c, kChoosePlugin);
  k.least_w = std::max(3 * u.margin + u.gap + k.left_least + k.right_least,
                       k.choose_w + kPluginLetters * u.average + 2 * u.margin);
  return k;
}

// The left column's width in a client area `width` wide (at least the
// least): its rows on one line each when the log's column keeps its least.
int LeftWidth(const Columns& k, const Units& u, int width) {
  return std::max(k.left_least,
                  std::min(k.left_whole, width - 3 * u.margin - u.gap - k.right_least));
}

int TextHeight(const Units& u) { return u.line + 2; }
// A label beside a field, centred on it.
int LabelDrop(const Units& u) { return (u.field - TextHeight(u)) / 2; }

// The plug-in's line and the button that chooses another, the model under
// them; where the columns begin.
int PlaceTop(const Content& c, const Columns& k, int width, Placer& put) {
  const Units& u = c.units;
  const int text_h = TextHeight(u), label_dy = LabelDrop(u);
  int y = u.margin;
  put.Put(kChoosePlugin, width - u.margin - k.choose_w, y, k.choose_w, u.field);
  const int plugin_w = width - 2 * u.margin - k.choose_w - u.gap;
  // Room for an edit's inner margins, which the measure does not know.
  const int plugin_h =
      std::max(text_h, c.wrapped_height(c.plugin_line, plugin_w - 2 * u.average) + 2);
  put.Put(kPluginLine, u.margin, y + label_dy, plugin_w, plugin_h);
  y += std::max(u.field, label_dy + plugin_h) + u.gap / 2;
  put.Put(kModelLine, u.margin, y, width - 2 * u.margin, text_h);
  return y + text_h + u.gap;
}

// The settings in their group; where the group ends.
int PlaceSettings(const Content& c, const Columns& k, int left_w, int top, Placer& put) {
  const Units& u = c.units;
  const int x = u.margin, text_h = TextHeight(u), label_dy = LabelDrop(u);
  int y = top + u.line + u.gap;
  for (std::size_t i = 0; i < c.rows.size(); ++i) {
    const int n = static_cast<int>(i);
    const int vx = x + u.margin + k.label_w + u.gap;
    put.Put(kParamLabel + n, x + u.margin, y + label_dy, k.label_w, text_h);
    if (c.rows[i].choice) {
      put.Put(kParamValue + n, vx, y, k.value_w, u.field, 12 * u.line);
    } else {
      const int edit_w = 6 * u.average;
      put.Put(kParamValue + n, vx, y, edit_w, u.field);
      put.Put(kParamRange + n, vx + edit_w + u.gap, y + label_dy, k.value_w - edit_w - u.gap,
              text_h);
    }
    y += u.field + u.gap;
  }
  y += u.gap;
  put.Put(kSettingsGroup, x, top, left_w, y - top);
  return y;
}

// One line of a row: its buttons spread over the column's width, or at
// their own widths with the note taking the rest; where the line ends.
int PlaceLine(const Content& c, const std::vector<int>& line, int left_w, int y, Placer& put) {
  const Units& u = c.units;
  int natural = 0, buttons = 0;
  bool noted = false;
  for (int control : line) {
    if (IsNote(control)) {
      noted = true;
      continue;
    }
    natural += Natural(c, control);
    ++buttons;
  }
  const int spare = left_w - natural - u.gap * (static_cast<int>(line.size()) - 1);
  const int extra = noted || buttons == 0 ? 0 : spare / buttons;
  int x = u.margin, line_h = u.field;
  for (int control : line) {
    if (IsNote(control)) {
      const int w = u.margin + left_w - x;
      const int h = c.wrapped_height(c.Note(control), w);
      put.Put(control, x, y + LabelDrop(u), w, h);
      line_h = std::max(line_h, LabelDrop(u) + h);
      x += w + u.gap;
      continue;
    }
    const int w = Natural(c, control) + extra;
    put.Put(control, x, y, w, u.field);
    x += w + u.gap;
  }
  return y + line_h;
}

// The rows of buttons, each flowed onto as many lines as the column needs.
int PlaceRows(const Content& c, int left_w, int y, Placer& put) {
  const Units& u = c.units;
  std::vector<int> line;
  int line_w = -u.gap;
  for (int control : kButtonRows) {
    const int w = control == kRowEnd ? 0
                  : IsNote(control)  ? kNoteLetters * u.average
                                     : Natural(c, control);
    if (!line.empty() && (control == kRowEnd || line_w + u.gap + w > left_w)) {
      y = PlaceLine(c, line, left_w, y, put) + u.gap;
      line.clear();
      line_w = -u.gap;
    }
    if (control == kRowEnd) continue;
    line.push_back(control);
    line_w += w + u.gap;
  }
  return y;
}

// Settings, files, operations; where the column ends.
int PlaceLeft(const Content& c, const Columns& k, int left_w, int top, Placer& put) {
  const Units& u = c.units;
  const int x = u.margin, text_h = TextHeight(u), label_dy = LabelDrop(u);
  int y = PlaceSettings(c, k, left_w, top, put) + u.gap;
  for (int label : {kGoodsLabel, kCountsLabel}) {
    put.Put(label, x, y + label_dy, k.path_label_w, text_h);
    put.Put(label + 1, x + k.path_label_w + u.gap, y,
            left_w - k.path_label_w - 2 * u.gap - k.browse_w, u.field);
    put.Put(label + 2, x + left_w - k.browse_w, y, k.browse_w, u.field);
    y += u.field + u.gap;
  }
  return PlaceRows(c, left_w, y + u.gap, put) - u.gap;
}

// The rehearsal's group at `x`, `w` wide, from `top`: the check box, the
// scan's fields, the simulator's buttons.
void PlaceRehearsal(const Content& c, const Columns& k, int x, int w, int top, Placer& put) {
  const Units& u = c.units;
  const int text_h = TextHeight(u), label_dy = LabelDrop(u);
  const int ix = x + u.margin, iw = w - 2 * u.margin;
  int y = top + u.line + u.gap;
  put.Put(kRehearsal, ix, y, iw, u.field);
  y += u.field + u.gap;
  const int code_label_w = c.TextWidth(kScanCodeLabel);
  const int quantity_label_w = c.TextWidth(kScanQuantityLabel);
  // The code's field takes what the row has to spare.
  const int code_w =
      k.code_w + iw - RowWidth(u, {code_label_w, k.code_w, quantity_label_w, k.quantity_w});
  int cx = ix;
  put.Put(kScanCodeLabel, cx, y + label_dy, code_label_w, text_h);
  cx += code_label_w + u.gap;
  put.Put(kScanCode, cx, y, code_w, u.field);
  cx += code_w + u.gap;
  put.Put(kScanQuantityLabel, cx, y + label_dy, quantity_label_w, text_h);
  cx += quantity_label_w + u.gap;
  put.Put(kScanQuantity, cx, y, k.quantity_w, u.field);
  y += u.field + u.gap;
  const int scan_w = Natural(c, kScan), clear_w = Natural(c, kSimulatorClear);
  put.Put(kScan, ix, y, scan_w, u.field);
  put.Put(kSimulatorClear, ix + iw - clear_w, y, clear_w, u.field);
  y += u.field + u.gap;
  put.Put(kRehearsalGroup, x, top, w, y - top);
}

int RehearsalHeight(const Units& u) { return u.line + 4 * u.gap + 3 * u.field; }

constexpr int kPaneFrame = 8;  // an edit's border and inner margins
int PaneLabelHeight(const Units& u) { return TextHeight(u) + 2; }

// The least height of the log's column from the top of its header: the
// log's and the panes' least, with the rehearsal's group or without.
int RightLeastHeight(const Units& u, bool group) {
  return u.field + u.gap / 2 + kLogLines * u.line + kPaneFrame + u.gap +
         2 * (u.gap + PaneLabelHeight(u) + kPaneLines * u.line + kPaneFrame) +
         (group ? u.gap + RehearsalHeight(u) : 0);
}

// The log, what to do on the terminal and the explanation, the rehearsal's
// group at the bottom when `group`. The log and the two panes share what is
// left of `bottom`, the lowest the content may reach: each gets its least,
// then what to do on the terminal as much as shows it whole, the
// explanation its lines, the log the rest.
void PlaceRight(const Content& c, const Columns& k, int x, int top, int bottom, int width,
                bool group, Placer& put) {
  const Units& u = c.units;
  const int text_h = TextHeight(u), label_dy = LabelDrop(u);
  const int w = width - x - u.margin;
  int y = top;
  const int copy_w = Natural(c, kCopyLog), clear_w = Natural(c, kClearLog);
  put.Put(kClearLog, x + w - clear_w, y, clear_w, u.field);
  put.Put(kCopyLog, x + w - clear_w - u.gap - copy_w, y, copy_w, u.field);
  put.Put(kLogLabel, x, y + label_dy, c.TextWidth(kLogLabel), text_h);
  y += u.field + u.gap / 2;

  int instruction_text_h = 3 * u.line;
  const int instruction_w = w - u.scroll_bar - 4 - 2 * u.average;
  for (const std::wstring& text : c.instructions)
    instruction_text_h = std::max(instruction_text_h, c.wrapped_height(text, instruction_w));
  const int pane_label_h = PaneLabelHeight(u), frame = kPaneFrame;
  const int log_least = kLogLines * u.line + frame + u.gap;
  const int pane_least = kPaneLines * u.line + frame;
  int spare = std::max(0, bottom - top - RightLeastHeight(u, group));
  auto grow = [&spare](int least, int wanted) {
    const int more = std::min(spare, std::max(0, wanted - least));
    spare -= more;
    return least + more;
  };
  const int instruction_h = grow(pane_least, instruction_text_h + frame);
  const int explanation_h = grow(pane_least, kExplanationLines * u.line + frame);
  const int log_h = log_least + spare;

  put.Put(kLog, x, y, w, log_h);
  y += log_h + u.gap;
  put.Put(kInstructionLabel, x, y, c.TextWidth(kInstructionLabel), text_h);
  y += pane_label_h;
  put.Put(kInstruction, x, y, w, instruction_h);
  y += instruction_h + u.gap;
  put.Put(kExplanationLabel, x, y, c.TextWidth(kExplanationLabel), text_h);
  y += pane_label_h;
  put.Put(kExplanation, x, y, w, explanation_h);
  if (group) PlaceRehearsal(c, k, x, w, y + explanation_h + u.gap, put);
}

}  // namespace

Units UnitsFor(int line, int average, int check_box, int scroll_bar) {
  Units u;
  u.line = line;
  u.average = std::max(average, 1);
  u.margin = line * 2 / 3 + 1;
  u.gap = line / 3 + 1;
  u.field = line + line / 2 + 4;
  u.pad = 2 * u.average + 8;
  u.check = std::max(check_box, line) + u.average + 4;
  u.scroll_bar = scroll_bar;
  return u;
}

Placement PlaceControls(const Content& content, int width, int height) {
  const Columns k = Measure(content);
  const Units& u = content.units;
  width = std::max(width, k.least_w);
  const int left_w = LeftWidth(k, u, width);
  Placement placement;
  Placer put(placement);
  const int top = PlaceTop(content, k, width, put);
  const int left_bottom = PlaceLeft(content, k, left_w, top, put);
  // The rehearsal's group goes under the log's panes; in a window taller
  // than the least, under the buttons where it fits there, which leaves the
  // panes more room.
  const int bottom = std::max(height - u.margin, left_bottom);
  const int group_top = left_bottom + u.gap;
  const bool group_left = left_w >= RehearsalWidth(content, k) &&
                          group_top + RehearsalHeight(u) <= bottom &&
                          bottom > std::max(left_bottom, top + RightLeastHeight(u, true));
  if (group_left) PlaceRehearsal(content, k, u.margin, left_w, group_top, put);
  PlaceRight(content, k, 2 * u.margin + u.gap + left_w, top, bottom, width, !group_left, put);
  placement.used_w += u.margin;
  placement.used_h += u.margin;
  return placement;
}

Extent LeastClient(const Content& content) {
  const Placement least = PlaceControls(content, 0, 0);
  return {least.used_w, least.used_h};
}

}  // namespace kolektor::form
