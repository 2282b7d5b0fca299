#include "capture/screen_capturer_win.h"

#include <windows.h>

#include <mutex>
#include <utility>

#include "capture/capture_area.h"
#include "capture/gdiplus_image_win.h"
#include "capture/gdiplus_session_win.h"
#include "capture/image_format.h"
#include "platform/win32_handles.h"

namespace {

constexpr long kQuality = 65;

// A copy of the whole primary screen, as a bitmap selected into no device context (GDI+ must
// not wrap one that is still selected).
win32::UniqueBitmap copyScreen(int width, int height) {
  win32::WindowDc screen(nullptr);
  if (!screen.get()) return {};
  win32::UniqueMemoryDc memory(CreateCompatibleDC(screen.get()));
  win32::UniqueBitmap bitmap(CreateCompatibleBitmap(screen.get(), width, height));
  if (!memory || !bitmap) return {};
  win32::SelectedObject selected(memory.get(), bitmap.get());
  if (!BitBlt(memory.get(), 0, 0, width, height, screen.get(), 0, 0, SRCCOPY)) return {};
  return bitmap;
}

// A new, empty, uniquely named file "vmp<hex>.tmp" in the user's temporary folder; empty when
// none could be made.
std::wstring makeTempFile() {
  wchar_t folder[MAX_PATH] = {};
  const DWORD length = GetTempPathW(MAX_PATH, folder);
  if (length == 0 || length >= MAX_PATH) return {};
  wchar_t path[MAX_PATH] = {};
  if (GetTempFileNameW(folder, L"vmp", 0, path) == 0) return {};
  return path;
}

// The area of the screen copy cut out as 24-bit RGB.
gdip::UniqueBitmap cutArea(HBITMAP screen, const CaptureArea& area) {
  using namespace Gdiplus::DllExports;
  Gdiplus::GpBitmap* whole = nullptr;
  if (GdipCreateBitmapFromHBITMAP(screen, nullptr, &whole) != Gdiplus::Ok) return {};
  gdip::UniqueBitmap wholeOwner(whole);
  Gdiplus::GpBitmap* cut = nullptr;
  if (GdipCloneBitmapAreaI(area.x, area.y, area.width, area.height, PixelFormat24bppRGB, whole,
                           &cut) != Gdiplus::Ok) {
    return {};
  }
  return gdip::UniqueBitmap(cut);
}

// GIF holds 256 colours at most. The 24-bit cut is reduced here, to the nearest colours of the
// 6x6x6 colour cube that GDI+'s halftone palette is built around, rather than left to the
// encoder: some GIF encoders (Wine's) write an empty picture for anything but an indexed bitmap
// and still report success, and reducing through GDI+ itself takes a second per screen there.
gdip::UniqueBitmap prepareForFormat(gdip::UniqueBitmap cut, const ImageFormat& format,
                                    const CaptureArea& area) {
  if (format.mimeType != L"image/gif") return cut;
  gdip::UniqueBitmap indexed = gdip::reduceToColourCube(cut.get(), area.width, area.height);
  return indexed ? std::move(indexed) : std::move(cut);
}

}  // namespace

ScreenCapturer& ScreenCapturer::theCapturer() {
  // Never deleted: a shot worker may still hold the reference while the program ends.
  static ScreenCapturer* const capturer = new ScreenCapturer;
  return *capturer;
}

ScreenCapturer& ScreenCapturer::instance() {
  ScreenCapturer& capturer = theCapturer();
  capturer.start();
  return capturer;
}

void ScreenCapturer::release() {
  theCapturer().stop();
}

ScreenCapturer::~ScreenCapturer() = default;

void ScreenCapturer::start() {
  {
    std::shared_lock<std::shared_mutex> reading(lock_);
    if (gdiplus_) return;
  }
  std::unique_lock<std::shared_mutex> writing(lock_);
  if (!gdiplus_) gdiplus_ = std::make_unique<GdiplusSession>();
}

void ScreenCapturer::stop() {
  std::unique_lock<std::shared_mutex> writing(lock_);  // waits for the captures in progress
  gdiplus_.reset();
}

bool ScreenCapturer::capture(const EffectiveShot& shot, std::wstring& path) {
  std::shared_lock<std::shared_mutex> reading(lock_);
  if (!gdiplus_ || !gdiplus_->started()) return false;

  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  const CaptureArea area =
      clampToScreen({shot.rectX, shot.rectY, shot.rectWidth, shot.rectHeight}, width, height);
  if (area.empty()) return false;

  const ImageFormat& format = ImageFormat::byIndex(shot.format);
  CLSID encoder{};
  if (!gdip::findEncoder(format.mimeType, encoder)) return false;

  win32::UniqueBitmap screen = copyScreen(width, height);
  if (!screen) return false;
  gdip::UniqueBitmap cut = cutArea(screen.get(), area);
  if (!cut) return false;
  cut = prepareForFormat(std::move(cut), format, area);

  const std::wstring file = makeTempFile();
  if (file.empty()) return false;
  if (!gdip::saveImage(cut.get(), file, encoder, kQuality)) {
    DeleteFileW(file.c_str());  // empty or half written: of no use to anyone
    return false;
  }
  path += file;
  return true;
}
