#include "host/form_layout.h"

#include <algorithm>
#include <initializer_list>

namespace kolektor::form {
namespace {

// Their text follows a box, not a button's edges.
constexpr int kCheckBoxes[] = {kTrace, kRehearsal};

// The rows of buttons under the files, each spread over the column's width.
using ButtonRow = std::array<int, 3>;
constexpr ButtonRow kButtonRows[] = {
    {kExport, kImport, kClear},
    {kCheck, kTrace, kShowTrace},
};

// The log and the panes under it are at least this many average letters
// wide, and as wide as their own header row and labels; the plug-in's line
// beside its button at least kPluginLetters.
constexpr int kLogLetters = 30;
constexpr int kPluginLetters = 30;
// The log keeps room for this many lines.
constexpr int kLogLines = 5;

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
  int left_w = 0;                      // the whole left column
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

int RehearsalWidth(const Content& c, const Columns& k) {
  const Units& u = c.units;
  return 2 * u.margin +
         std::max(RowWidth(u, {Natural(c, kRehearsal), Natural(c, kSimulatorClear)}),
                  RowWidth(u, {c.TextWidth(kScanCodeLabel), k.code_w,
                               c.TextWidth(kScanQuantityLabel), k.quantity_w, Natural(c, kScan)}));
}

// The log's column: its header row and the labels of the panes under it.
int LeastLogWidth(const Content& c) {
  const Units& u = c.units;
  return std::max(
      {kLogLetters * u.average,
       RowWidth(u, {c.TextWidth(kLogLabel), Natural(c, kCopyLog), Natural(c, kClearLog)}),
       c.TextWidth(kInstructionLabel), c.TextWidth(kExplanationLabel)});
}

Columns Measure(const Content& c) {
  const Units& u = c.units;
  Columns k;
  k.path_label_w = std::max(c.TextWidth(kGoodsLabel), c.TextWidth(kCountsLabel));
  k.browse_w = std::max(u.field + 4, Natural(c, kGoodsBrowse));
  k.code_w = 12 * u.average;
  k.quantity_w = 6 * u.average;
  k.left_w =
      std::max({SettingsWidth(c, k), k.path_label_w + 2 * u.gap + 16 * u.average + k.browse_w,
                RehearsalWidth(c, k), c.TextWidth(kSettingsGroup) + 4 * u.margin,
                c.TextWidth(kRehearsalGroup) + 4 * u.margin});
  for (const auto& row : kButtonRows) {
    int row_w = -u.gap;
    for (int control : row) row_w += Natural(c, control) + u.gap;
    k.left_w = std::max(k.left_w, row_w);
  }
  k.choose_w = Natural(c, kChoosePlugin);
  const int log_x = u.margin + k.left_w + u.margin + u.gap;
  k.least_w = std::max(log_x + LeastLogWidth(c) + u.margin,
                       k.choose_w + kPluginLetters * u.average + 2 * u.margin);
  return k;
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
int PlaceSettings(const Content& c, const Columns& k, int top, Placer& put) {
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
  put.Put(kSettingsGroup, x, top, k.left_w, y - top);
  return y;
}

// A row of buttons spread over the left column's width.
void Spread(const Content& c, const Columns& k, const ButtonRow& row, int y, Placer& put) {
  const Units& u = c.units;
  int natural = 0;
  for (int control : row) natural += Natural(c, control);
  const int n = static_cast<int>(row.size());
  const int extra = (k.left_w - natural - u.gap * (n - 1)) / n;
  int x = u.margin;
  for (int control : row) {
    const int w = Natural(c, control) + extra;
    put.Put(control, x, y, w, u.field);
    x += w + u.gap;
  }
}

// The rehearsal's group: the check box and the simulator's buttons; where
// the group ends.
int PlaceRehearsal(const Content& c, const Columns& k, int top, Placer& put) {
  const Units& u = c.units;
  const int text_h = TextHeight(u), label_dy = LabelDrop(u);
  const int x = u.margin + u.margin, w = k.left_w - 2 * u.margin;
  int y = top + u.line + u.gap;
  const int clear_w = Natural(c, kSimulatorClear);
  put.Put(kRehearsal, x, y, w - clear_w - u.gap, u.field);
  put.Put(kSimulatorClear, x + w - clear_w, y, clear_w, u.field);
  y += u.field + u.gap;
  const int code_label_w = c.TextWidth(kScanCodeLabel);
  const int quantity_label_w = c.TextWidth(kScanQuantityLabel);
  const int scan_w = Natural(c, kScan);
  // The code's field takes what the row has to spare.
  const int code_w =
      k.code_w + w - RowWidth(u, {code_label_w, k.code_w, quantity_label_w, k.quantity_w, scan_w});
  int cx = x;
  put.Put(kScanCodeLabel, cx, y + label_dy, code_label_w, text_h);
  cx += code_label_w + u.gap;
  put.Put(kScanCode, cx, y, code_w, u.field);
  cx += code_w + u.gap;
  put.Put(kScanQuantityLabel, cx, y + label_dy, quantity_label_w, text_h);
  cx += quantity_label_w + u.gap;
  put.Put(kScanQuantity, cx, y, k.quantity_w, u.field);
  cx += k.quantity_w + u.gap;
  put.Put(kScan, cx, y, scan_w, u.field);
  y += u.field + u.gap;
  put.Put(kRehearsalGroup, u.margin, top, k.left_w, y - top);
  return y;
}

// Settings, files, operations, the rehearsal; where the column ends.
int PlaceLeft(const Content& c, const Columns& k, int top, Placer& put) {
  const Units& u = c.units;
  const int x = u.margin, text_h = TextHeight(u), label_dy = LabelDrop(u);
  int y = PlaceSettings(c, k, top, put) + u.gap;
  for (int label : {kGoodsLabel, kCountsLabel}) {
    put.Put(label, x, y + label_dy, k.path_label_w, text_h);
    put.Put(label + 1, x + k.path_label_w + u.gap, y,
            k.left_w - k.path_label_w - 2 * u.gap - k.browse_w, u.field);
    put.Put(label + 2, x + k.left_w - k.browse_w, y, k.browse_w, u.field);
    y += u.field + u.gap;
  }
  y += u.gap;
  for (const auto& row : kButtonRows) {
    Spread(c, k, row, y, put);
    y += u.field + u.gap;
  }
  return PlaceRehearsal(c, k, y + u.gap, put);
}

// The log, then what to do on the terminal and the explanation under it,
// both as high as their text wants; the log takes what is left of
// `bottom`, the lowest the content may reach, and never less than its room.
void PlaceRight(const Content& c, const Columns& k, int top, int bottom, int width, Placer& put) {
  const Units& u = c.units;
  const int text_h = TextHeight(u), label_dy = LabelDrop(u);
  const int x = u.margin + k.left_w + u.margin + u.gap;
  const int w = width - x - u.margin;
  int y = top;
  const int copy_w = Natural(c, kCopyLog), clear_w = Natural(c, kClearLog);
  put.Put(kClearLog, x + w - clear_w, y, clear_w, u.field);
  put.Put(kCopyLog, x + w - clear_w - u.gap - copy_w, y, copy_w, u.field);
  put.Put(kLogLabel, x, y + label_dy, c.TextWidth(kLogLabel), text_h);
  y += u.field + u.gap / 2;
  // What to do on the terminal is shown whole: its pane is as high as the
  // longer of the plug-in's two instructions at this width.
  int instruction_text_h = 3 * u.line;
  const int instruction_w = w - u.scroll_bar - 4 - 2 * u.average;
  for (const std::wstring& text : c.instructions)
    instruction_text_h = std::max(instruction_text_h, c.wrapped_height(text, instruction_w));
  const int instruction_h = instruction_text_h + 8, explanation_h = 4 * u.line + 8;
  const int pane_label_h = text_h + 2;
  const int under_log = u.gap + pane_label_h + instruction_h + u.gap + pane_label_h + explanation_h;
  const int log_h = std::max(kLogLines * u.line + 8 + u.gap, bottom - under_log - y);
  put.Put(kLog, x, y, w, log_h);
  y += log_h + u.gap;
  put.Put(kInstructionLabel, x, y, c.TextWidth(kInstructionLabel), text_h);
  y += pane_label_h;
  put.Put(kInstruction, x, y, w, instruction_h);
  y += instruction_h + u.gap;
  put.Put(kExplanationLabel, x, y, c.TextWidth(kExplanationLabel), text_h);
  y += pane_label_h;
  put.Put(kExplanation, x, y, w, explanation_h);
}

}  // namespace

Units UnitsFor(int line, int average, int check_box, int scroll_bar) {
  Units u;
  u.line = line;
  u.average = std::max(average, 1);
  u.margin = line * 2 / 3 + 1;
  u.gap = line / 3 + 1;
  u.field = line + line / 2 + 4;
  u.pad = 3 * u.average + 8;
  u.check = std::max(check_box, line) + u.average + 4;
  u.scroll_bar = scroll_bar;
  return u;
}

Placement PlaceControls(const Content& content, int width, int height) {
  const Columns k = Measure(content);
  const Units& u = content.units;
  width = std::max(width, k.least_w);
  Placement placement;
  Placer put(placement);
  const int top = PlaceTop(content, k, width, put);
  const int left_bottom = PlaceLeft(content, k, top, put);
  PlaceRight(content, k, top, std::max(height - u.margin, left_bottom), width, put);
  placement.used_w += u.margin;
  placement.used_h += u.margin;
  return placement;
}

Extent LeastClient(const Content& content) {
  const Placement least = PlaceControls(content, 0, 0);
  return {least.used_w, least.used_h};
}

}  // namespace kolektor::form
