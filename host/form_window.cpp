#include "host/form_window.h"

#include <algorithm>

#include "host/form_ids.h"
#include "host/form_worker.h"
#include "host/gui_measure.h"
#include "host/gui_text.h"
#include "host/program_texts.h"

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
      SetWindowTextW(Item(kExplanation), gui::CrLf(TakePosted(lparam)).c_str());
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
  for (int control = kPluginLine; control <= kScan; ++control)
    if (HWND item = Item(control))
      content.text_w[static_cast<std::size_t>(control - kPluginLine)] =
          width_of(gui::ControlText(item));
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
  content.wrapped_height = [window = window_, font = font_](const std::wstring& text, int width) {
    return gui::TextMeasure(window, font).WrappedHeight(text, width);
  };
  return content;
}

void FormWindow::Layout() {
  if (font_ == nullptr) return;
  RECT client{};
  GetClientRect(window_, &client);
  const Placement placement = PlaceControls(Measure(), client.right, client.bottom);
  HDWP moves = BeginDeferWindowPos(static_cast<int>(placement.at.size()));
  for (const Place& p : placement.at)
    if (HWND item = Item(p.control))
      moves = DeferWindowPos(moves, item, nullptr, p.x, p.y, p.w, p.h + p.drop,
                             SWP_NOZORDER | SWP_NOACTIVATE);
  EndDeferWindowPos(moves);
  InvalidateRect(window_, nullptr, TRUE);
}

// The window's least size: what the layout pass uses with no room.
SIZE FormWindow::LeastFrame() const {
  const Extent least = LeastClient(Measure());
  return gui::FrameFor(window_, {least.w, least.h});
}

// As large as the content wants and the screen allows, in its middle.
void FormWindow::SizeOnStart() {
  const Extent least = LeastClient(Measure());
  const SIZE size = gui::WithinWorkArea(
      gui::FrameFor(window_, {least.w + 40 * units_.average, least.h + 6 * units_.line}));
  const RECT work = gui::WorkArea();
  SetWindowPos(window_, nullptr, work.left + (work.right - work.left - size.cx) / 2,
               work.top + (work.bottom - work.top - size.cy) / 2, size.cx, size.cy,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

// A plug-in chosen later brings its settings: the window grows to hold
// them, within the screen, instead of cutting off the rows below.
void FormWindow::GrowToContent() {
  RECT client{}, at{};
  GetClientRect(window_, &client);
  const Extent least = LeastClient(Measure());
  if (IsZoomed(window_) || (client.right >= least.w && client.bottom >= least.h)) return;
  GetWindowRect(window_, &at);
  const RECT work = gui::WorkArea();
  const SIZE size = gui::WithinWorkArea(gui::FrameFor(
      window_, {std::max<LONG>(client.right, least.w), std::max<LONG>(client.bottom, least.h)}));
  const LONG left = std::max<LONG>(work.left, std::min<LONG>(at.left, work.right - size.cx));
  const LONG top = std::max<LONG>(work.top, std::min<LONG>(at.top, work.bottom - size.cy));
  SetWindowPos(window_, nullptr, left, top, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
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
  // The plug-in's notice begins with a bare line feed.
  const std::wstring text = gui::CrLf(line) + L"\r\n";
  SendMessageW(log, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

void FormWindow::Log(std::string_view utf8) { Log(W(utf8)); }

}  // namespace kolektor::form
