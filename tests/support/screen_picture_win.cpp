#include "support/screen_picture_win.h"

#include "capture/gdiplus_image_win.h"
#include "capture/gdiplus_session_win.h"
#include "platform/win32_handles.h"

bool saveScreenArea(const RECT& area, const std::wstring& pngPath) {
  const GdiplusSession gdiplus;
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  win32::WindowDc screen(nullptr);
  win32::UniqueMemoryDc memory(CreateCompatibleDC(screen.get()));
  win32::UniqueBitmap bitmap(CreateCompatibleBitmap(screen.get(), width, height));
  if (!gdiplus.started() || !memory || !bitmap) return false;
  {
    win32::SelectedObject selected(memory.get(), bitmap.get());
    if (!BitBlt(memory.get(), 0, 0, width, height, screen.get(), area.left, area.top, SRCCOPY))
      return false;
  }
  Gdiplus::GpBitmap* picture = nullptr;
  if (Gdiplus::DllExports::GdipCreateBitmapFromHBITMAP(bitmap.get(), nullptr, &picture) !=
      Gdiplus::Ok)
    return false;
  const gdip::UniqueBitmap owned(picture);
  CLSID png{};
  return gdip::findEncoder(L"image/png", png) && gdip::saveImage(picture, pngPath, png, 100);
}

COLORREF screenPixel(int x, int y) {
  win32::WindowDc screen(nullptr);
  return GetPixel(screen.get(), x, y);
}
