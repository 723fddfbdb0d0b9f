#include "host/gui_measure.h"

#include <algorithm>

namespace kolektor::gui {

HFONT CreateMessageFont() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  return CreateFontIndirectW(&metrics.lfMessageFont);
}

TextMeasure::TextMeasure(HWND window, HFONT font)
    : window_(window), dc_(GetDC(window)), old_(SelectObject(dc_, font)) {}

TextMeasure::~TextMeasure() {
  SelectObject(dc_, old_);
  ReleaseDC(window_, dc_);
}

int TextMeasure::LineHeight() const {
  TEXTMETRICW tm{};
  GetTextMetricsW(dc_, &tm);
  return tm.tmHeight;
}

int TextMeasure::AverageWidth() const {
  TEXTMETRICW tm{};
  GetTextMetricsW(dc_, &tm);
  return std::max<int>(tm.tmAveCharWidth, 1);
}

int TextMeasure::Width(const std::wstring& text) const {
  SIZE size{};
  GetTextExtentPoint32W(dc_, text.c_str(), static_cast<int>(text.size()), &size);
  return size.cx;
}

int TextMeasure::WrappedHeight(const std::wstring& text, int width) const {
  RECT rect{0, 0, std::max(width, 1), 0};
  DrawTextW(dc_, text.c_str(), static_cast<int>(text.size()), &rect,
            DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX);
  return std::max<int>(rect.bottom, LineHeight());
}

int CheckBoxWidth() { return GetSystemMetrics(SM_CXMENUCHECK); }
int ScrollBarWidth() { return GetSystemMetrics(SM_CXVSCROLL); }

SIZE FrameFor(HWND window, SIZE client) {
  RECT frame{0, 0, client.cx, client.cy};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE)));
  return {frame.right - frame.left, frame.bottom - frame.top};
}

RECT WorkAreaOf(HWND window) {
  // The main monitor's work area as the system keeps it: where a task bar
  // or another program has set it, Windows tells it here first.
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  HMONITOR monitor = MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (monitor != nullptr && GetMonitorInfoW(monitor, &info) &&
      (info.dwFlags & MONITORINFOF_PRIMARY) == 0)
    work = info.rcWork;
  return work;
}

SIZE Within(SIZE size, const RECT& work) {
  return {std::min<LONG>(size.cx, work.right - work.left),
          std::min<LONG>(size.cy, work.bottom - work.top)};
}

POINT PlacedWithin(RECT frame, const RECT& work) {
  const LONG w = frame.right - frame.left, h = frame.bottom - frame.top;
  return {std::max<LONG>(work.left, std::min<LONG>(frame.left, work.right - w)),
          std::max<LONG>(work.top, std::min<LONG>(frame.top, work.bottom - h))};
}

}  // namespace kolektor::gui
