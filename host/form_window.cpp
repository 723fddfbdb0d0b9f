#include "host/form_window.h"

#include <algorithm>

#include "host/form_ids.h"
#include "host/form_worker.h"
#include "host/gui_measure.h"
#include "host/gui_text.h"
#include "host/program_texts.h"
#include "host/system_error_text.h"

namespace kolektor::form {
namespace {

namespace u = kolektor::ui;
namespace h = kolektor::host;

std::wstring W(std::string_view utf8) { return h::WideFromUtf8(std::string(utf8)); }

}  // namespace

std::string Ansi(const std::wstring& wide) { return h::AnsiFromWide(wide); }

FormWindow::FormWindow(std::wstring ini, std::string dll)
    : ini_(std::move(ini)), dll_named_(std::move(dll)) {}

bool FormWindow::Create(HINSTANCE instance) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = Proc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
  wc.lpszClassName = kWindowClass;
  RegisterClassExW(&wc);
  window_ = CreateWindowExW(WS_EX_CONTROLPARENT, kWindowClass, W(u::kFormTitle).c_str(),
                            WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                            CW_USEDEFAULT, nullptr, nullptr, instance, this);
  return window_ != nullptr;
}

LRESULT CALLBACK FormWindow::Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* form = static_cast<FormWindow*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    form->window_ = window;
  }
  auto* form = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  return form != nullptr ? form->Handle(message, wparam, lparam)
                         : DefWindowProcW(window, message, wparam, lparam);
}

LRESULT FormWindow::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CREATE:
      Build();
      return 0;
    case WM_SIZE:
      Layout();
      return 0;
    case WM_GETMINMAXINFO: {
      if (font_ == nullptr) break;  // before the controls are made
      const SIZE least = LeastFrame();
      reinterpret_cast<MINMAXINFO*>(lparam)->ptMinTrackSize = {least.cx, least.cy};
      return 0;
    }
    case WM_VSCROLL:
    case WM_HSCROLL:
      Scroll(message == WM_VSCROLL ? SB_VERT : SB_HORZ, LOWORD(wparam));
      return 0;
    case WM_MOUSEWHEEL:
      // Three lines a notch, as Windows scrolls a list by default.
      Scroll(SB_VERT, SB_LINEDOWN, -3 * GET_WHEEL_DELTA_WPARAM(wparam) / WHEEL_DELTA);
      return 0;
    case WM_COMMAND:
      Command(LOWORD(wparam), HIWORD(wparam));
      return 0;
    case WM_NEXTDLGCTL:
      return NextControl(wparam, lparam);
    case WM_ACTIVATE:
      Activate(wparam);
      return 0;
    case kWorkerLogLine:
      Log(TakePosted(lparam));
      return 0;
    case kWorkerExplanation:
      Explain(TakePosted(lparam));
      return 0;
    case kWorkerDone:
      WorkerDone();
      return 0;
    case WM_CLOSE:
      Close();
      return 0;
    case WM_DESTROY:
      h::UnloadPlugin(plugin_);
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(window_, message, wparam, lparam);
}

// Tab out of the log (a multi-line edit asks its parent for the next
// control, as in a dialog box). An Alt letter reaches its control the same
// way. As in a dialog box, an edit reached so has its whole text selected,
// so that what the person types replaces it ("1" in "Ilość" does not
// become "14").
LRESULT FormWindow::NextControl(WPARAM wparam, LPARAM lparam) {
  HWND next = lparam != 0 ? reinterpret_cast<HWND>(wparam)
                          : GetNextDlgTabItem(window_, GetFocus(), wparam != 0);
  if (next != nullptr && (SendMessageW(next, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) != 0)
    SendMessageW(next, EM_SETSEL, 0, -1);
  SetFocus(next);
  ScrollIntoView(next);
  return 0;
}

// The focus comes back where the person left it.
void FormWindow::Activate(WPARAM wparam) {
  if (LOWORD(wparam) == WA_INACTIVE)
    focus_ = GetFocus();
  else
    SetFocus(focus_ != nullptr && IsWindow(focus_) ? focus_
                                                   : GetNextDlgTabItem(window_, nullptr, FALSE));
}

void FormWindow::WorkerDone() {
  if (worker_ != nullptr) {
    WaitForSingleObject(worker_, INFINITE);
    CloseHandle(worker_);
    worker_ = nullptr;
  }
  EnableControls();
  if (close_when_done_) PostMessageW(window_, WM_CLOSE, 0, 0);
}

void FormWindow::Close() {
  if (worker_ != nullptr) {
    // The worker uses the plug-in and posts to this window: the form
    // closes only after it.
    if (!close_when_done_ &&
        MessageBoxW(window_, W(u::kFormCloseRunning).c_str(), W(u::kFormTitle).c_str(),
                    MB_YESNO | MB_ICONQUESTION) == IDYES) {
      close_when_done_ = true;
      Log(u::kLogCloseWhenDone);
      if (worker_ == nullptr) PostMessageW(window_, WM_CLOSE, 0, 0);  // ended meanwhile
    }
    return;
  }
  KeepSettings();
  DestroyWindow(window_);
}

// What the layout pass needs of the controls: their texts' widths in the
// form's font, and the texts that wrap.
Content FormWindow::Measure() const {
  Content content;
  content.units = units_;
  const gui::TextMeasure measure(window_, font_);
  auto width_of = [&measure](const std::wstring& text) {
    return measure.Width(gui::ShownText(text));
  };
  for (int control = kPluginLine; control <= kLastFixed; ++control)
    if (HWND item = Item(control))
      content.text_w[static_cast<std::size_t>(control - kPluginLine)] =
          width_of(gui::ControlText(item));
  for (int note : kNotes)
    content.notes[static_cast<std::size_t>(note - kPluginLine)] =
        gui::ShownText(gui::ControlText(Item(note)));
  for (std::size_t i = 0; i < parameters_.size(); ++i) {
    const int n = static_cast<int>(i);
    Content::Row row;
    row.choice = parameters_[i].kind == kolektor::kParameterChoice;
    row.label_w = width_of(gui::ControlText(Item(kParamLabel + n)));
    if (row.choice) {
      for (const std::string& choice : parameters_[i].choices)
        row.value_w = std::max(row.value_w, width_of(h::WideFromCp1250(choice)));
    } else {
      row.value_w = width_of(gui::ControlText(Item(kParamRange + n)));
    }
    content.rows.push_back(row);
  }
  content.plugin_line = gui::ControlText(Item(kPluginLine));
  content.instructions = instructions_;
  if (has_simulator_)
    for (std::string_view text : {u::kFormSimulatorExport, u::kFormSimulatorImport})
      content.instructions.push_back(W(text));
  content.wrapped_height = [window = window_, font = font_](const std::wstring& text, int width) {
    return gui::TextMeasure(window, font).WrappedHeight(text, width);
  };
  return content;
}

// The controls placed for the window's size. A window smaller than the
// least the layout needs (a small screen at large fonts) gets scroll bars
// and its content scrolled, so that every control can still be reached.
void FormWindow::Layout() {
  if (font_ == nullptr || laying_out_) return;
  laying_out_ = true;
  const Content content = Measure();
  const Extent least = LeastClient(content);
  RECT client{};
  GetClientRect(window_, &client);
  // The client area without the scroll bars shown now, then less each bar
  // it needs: a bar takes room from the other direction.
  const LONG style = GetWindowLongW(window_, GWL_STYLE);
  const int bar_w = GetSystemMetrics(SM_CXVSCROLL), bar_h = GetSystemMetrics(SM_CYHSCROLL);
  int w = client.right + ((style & WS_VSCROLL) != 0 ? bar_w : 0);
  int h = client.bottom + ((style & WS_HSCROLL) != 0 ? bar_h : 0);
  bool vertical = h < least.h, horizontal = w - (vertical ? bar_w : 0) < least.w;
  vertical = vertical || (horizontal && h - bar_h < least.h);
  if (vertical) w -= bar_w;
  if (horizontal) h -= bar_h;
  auto set_bar = [this](int bar, bool needed, int whole, int shown, int& position) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMax = needed ? whole - 1 : 0;
    info.nPage = static_cast<UINT>(needed ? std::max(shown, 1) : 1);
    position = needed ? std::max(0, std::min(position, whole - shown)) : 0;
    info.nPos = position;
    SetScrollInfo(window_, bar, &info, TRUE);
    ShowScrollBar(window_, bar, needed);
  };
  set_bar(SB_VERT, vertical, least.h, h, scroll_y_);
  set_bar(SB_HORZ, horizontal, least.w, w, scroll_x_);
  const Placement placement = PlaceControls(content, w, h);
  HDWP moves = BeginDeferWindowPos(static_cast<int>(placement.at.size()));
  for (const Place& p : placement.at)
    if (HWND item = Item(p.control))
      moves = DeferWindowPos(moves, item, nullptr, p.x - scroll_x_, p.y - scroll_y_, p.w,
                             p.h + p.drop, SWP_NOZORDER | SWP_NOACTIVATE);
  EndDeferWindowPos(moves);
  InvalidateRect(window_, nullptr, TRUE);
  laying_out_ = false;
}

// A scroll bar's request: a line, a page, the thumb's place; or `lines`
// lines of the mouse wheel.
void FormWindow::Scroll(int bar, int request, int wheel_lines) {
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_ALL;
  if (!GetScrollInfo(window_, bar, &info) || info.nMax < static_cast<int>(info.nPage)) return;
  int& position = bar == SB_VERT ? scroll_y_ : scroll_x_;
  const int page = static_cast<int>(info.nPage);
  switch (request) {
    case SB_LINEUP:
      position -= units_.line;
      break;
    case SB_LINEDOWN:
      position += wheel_lines != 0 ? wheel_lines * units_.line : units_.line;
      break;
    case SB_PAGEUP:
      position -= page;
      break;
    case SB_PAGEDOWN:
      position += page;
      break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
      position = info.nTrackPos;
      break;
    case SB_TOP:
      position = 0;
      break;
    case SB_BOTTOM:
      position = info.nMax;
      break;
    default:
      return;
  }
  Layout();  // keeps the position within the range
}

// A control reached with Tab or its Alt letter is scrolled into sight.
void FormWindow::ScrollIntoView(HWND control) {
  if (control == nullptr || (scroll_x_ == 0 && scroll_y_ == 0 &&
                             (GetWindowLongW(window_, GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL)) == 0))
    return;
  RECT at{}, client{};
  GetWindowRect(control, &at);
  MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&at), 2);
  GetClientRect(window_, &client);
  auto into = [](int& position, LONG low, LONG high, LONG shown) {
    if (low < 0)
      position += low;
    else if (high > shown)
      position += std::min<LONG>(low, high - shown);
  };
  const int x = scroll_x_, y = scroll_y_;
  into(scroll_x_, at.left, at.right, client.right);
  into(scroll_y_, at.top, at.bottom, client.bottom);
  if (x != scroll_x_ || y != scroll_y_) Layout();
}

// The window's least size: what the layout pass uses with no room, but no
// more than the work area (the content scrolls then).
SIZE FormWindow::LeastFrame() const {
  const Extent least = LeastClient(Measure());
  return gui::Within(gui::FrameFor(window_, {least.w, least.h}), gui::WorkAreaOf(window_));
}

// As large as the content wants and the work area allows, in its middle.
void FormWindow::SizeOnStart() {
  const Extent least = LeastClient(Measure());
  const RECT work = gui::WorkAreaOf(window_);
  const SIZE size = gui::Within(
      gui::FrameFor(window_, {least.w + 40 * units_.average, least.h + 6 * units_.line}), work);
  SetWindowPos(window_, nullptr, work.left + (work.right - work.left - size.cx) / 2,
               work.top + (work.bottom - work.top - size.cy) / 2, size.cx, size.cy,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

// A plug-in chosen later brings its settings: the window grows to hold
// them, within the work area, instead of cutting off the rows below.
void FormWindow::GrowToContent() {
  RECT client{}, at{};
  GetClientRect(window_, &client);
  const Extent least = LeastClient(Measure());
  if (IsZoomed(window_) || (client.right >= least.w && client.bottom >= least.h)) return;
  GetWindowRect(window_, &at);
  const RECT work = gui::WorkAreaOf(window_);
  const SIZE size = gui::Within(gui::FrameFor(window_, {std::max<LONG>(client.right, least.w),
                                                        std::max<LONG>(client.bottom, least.h)}),
                                work);
  const POINT place =
      gui::PlacedWithin({at.left, at.top, at.left + size.cx, at.top + size.cy}, work);
  SetWindowPos(window_, nullptr, place.x, place.y, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormWindow::EnableControls() {
  const bool idle = worker_ == nullptr;
  for (int control : {kExport, kImport, kClear, kTrace})
    EnableWindow(Item(control), idle && loaded_);
  EnableWindow(Item(kShowTrace), loaded_);
  for (int control : {kCheck, kChoosePlugin, kGoodsBrowse, kCountsBrowse})
    EnableWindow(Item(control), idle);
  EnableWindow(Item(kRehearsal), idle && has_simulator_);
  for (int control :
       {kSimulatorClear, kScanCodeLabel, kScanCode, kScanQuantityLabel, kScanQuantity, kScan})
    EnableWindow(Item(control), idle && Rehearsing());
}

bool FormWindow::Rehearsing() const {
  return has_simulator_ && SendMessageW(Item(kRehearsal), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void FormWindow::Log(const std::wstring& line) {
  HWND log = Item(kLog);
  const int end = GetWindowTextLengthW(log);
  SendMessageW(log, EM_SETSEL, static_cast<WPARAM>(end), static_cast<LPARAM>(end));
  const std::wstring text = gui::CrLf(WithReasons(line)) + L"\r\n";
  SendMessageW(log, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

void FormWindow::Log(std::string_view utf8) { Log(W(utf8)); }

// Every error of the run is explained, each under the one before.
void FormWindow::Explain(const std::wstring& explanation) {
  HWND pane = Item(kExplanation);
  const int end = GetWindowTextLengthW(pane);
  SendMessageW(pane, EM_SETSEL, static_cast<WPARAM>(end), static_cast<LPARAM>(end));
  const std::wstring text = (end > 0 ? L"\r\n\r\n" : L"") + gui::CrLf(WithReasons(explanation));
  SendMessageW(pane, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
  SendMessageW(pane, EM_SCROLLCARET, 0, 0);
}

// Windows' reason beside each "(błąd systemu N)".
std::wstring WithReasons(const std::wstring& text) {
  return h::WideFromUtf8(h::WithSystemErrorReasons(h::Utf8FromWide(text)));
}

}  // namespace kolektor::form
