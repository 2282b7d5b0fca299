#include "ui/framing_label.h"

#include "widgets/dpi_scale.h"

namespace {

// At 96 dpi: under the row of 16-pixel buttons that starts at 5, 5.
constexpr POINT kPlace{5, 26};
constexpr int kPadding = 3;

}  // namespace

std::wstring FramingLabel::textFor(const RECT& edges) {
  return std::to_wstring(edges.left) + L", " + std::to_wstring(edges.top) + L" \u00B7 " +
         std::to_wstring(edges.right - edges.left) + L" \u00D7 " +
         std::to_wstring(edges.bottom - edges.top);
}

HFONT FramingLabel::fontFor(UINT dpi) {
  if (font_ && fontDpi_ == dpi) return font_.get();
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  if (!SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, dpi)) {
    // The metrics for 96 dpi, scaled as everything else is.
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    metrics.lfMessageFont.lfHeight = dpi::scale(metrics.lfMessageFont.lfHeight, dpi);
  }
  font_.reset(CreateFontIndirectW(&metrics.lfMessageFont));
  fontDpi_ = dpi;
  return font_.get();
}

RECT FramingLabel::areaFor(HDC dc, const std::wstring& text, UINT dpi) {
  win32::SelectedObject selected(dc, fontFor(dpi));
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  const int padding = dpi::scale(kPadding, dpi);
  const int left = dpi::scale(kPlace.x, dpi);
  const int top = dpi::scale(kPlace.y, dpi);
  return {left, top, left + size.cx + 2 * padding, top + size.cy + 2 * padding};
}

void FramingLabel::paint(HDC dc, const std::wstring& text, UINT dpi) {
  RECT area = areaFor(dc, text, dpi);
  // The overlay's own colours the other way round: it stands out from the overlay, and follows
  // a high-contrast scheme.
  const COLORREF backing = GetSysColor(COLOR_WINDOWTEXT);
  const COLORREF ink = GetSysColor(COLOR_WINDOW);
  SetBkColor(dc, backing);
  ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &area, nullptr, 0, nullptr);
  win32::SelectedObject selected(dc, fontFor(dpi));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ink);
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}
