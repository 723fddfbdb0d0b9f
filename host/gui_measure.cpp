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

RECT WorkArea() {
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  return work;
}

SIZE WithinWorkArea(SIZE size) {
  const RECT work = WorkArea();
  return {std::min<LONG>(size.cx, work.right - work.left),
          std::min<LONG>(size.cy, work.bottom - work.top)};
}

}  // namespace kolektor::gui
