#include "capture/screen_capturer_win.h"

#include <windows.h>

#include <cstdint>
#include <mutex>
#include <span>
#include <utility>
#include <vector>

#include "capture/capture_area.h"
#include "capture/gdiplus_image_win.h"
#include "capture/gdiplus_session_win.h"
#include "capture/image_format.h"
#include "platform/win32_handles.h"

namespace {

constexpr long kQuality = 65;

// The virtual screen: the rectangle around every monitor, starting left of or above 0 when a
// monitor lies there. Parts of it that no monitor shows come out black.
CaptureArea virtualScreen() {
  return {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
          GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

struct ScreenCopy {
  win32::UniqueBitmap bitmap;
  std::span<const uint32_t> pixels;  // the bitmap's own, valid while it lives
};

// A copy of `area` of the screen, as a bitmap selected into no device context (GDI+ must not
// wrap one that is still selected). Only the area is copied: a small shot of a large desktop
// costs what the shot's pixels cost. The screen's DC from GetDC(NULL) takes virtual-screen
// coordinates on every monitor; a DC made by CreateDC("DISPLAY") is offset on some systems
// when a monitor lies left of the primary one.
ScreenCopy copyScreenArea(const CaptureArea& area) {
  win32::WindowDc screen(nullptr);
  if (!screen.get()) return {};
  win32::UniqueMemoryDc memory(CreateCompatibleDC(screen.get()));
  if (!memory) return {};
  // 32-bit rows, top row first, in memory of our own: an unchanged screen is told by these
  // pixels where they lie, with no second copy.
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = area.width;
  info.bmiHeader.biHeight = -area.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  ScreenCopy copy;
  copy.bitmap.reset(CreateDIBSection(memory.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!copy.bitmap || !bits) return {};
  {
    win32::SelectedObject selected(memory.get(), copy.bitmap.get());
    if (!BitBlt(memory.get(), 0, 0, area.width, area.height, screen.get(), area.x, area.y,
                SRCCOPY)) {
      return {};
    }
  }
  GdiFlush();  // the section's memory is read directly next
  copy.pixels = {static_cast<const uint32_t*>(bits), static_cast<size_t>(area.width) * area.height};
  return copy;
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

// The copied area as a GDI+ bitmap of 24-bit RGB, whatever the screen's depth.
gdip::UniqueBitmap toRgb24(HBITMAP copy, const CaptureArea& area) {
  using namespace Gdiplus::DllExports;
  Gdiplus::GpBitmap* wrapped = nullptr;
  if (GdipCreateBitmapFromHBITMAP(copy, nullptr, &wrapped) != Gdiplus::Ok) return {};
  gdip::UniqueBitmap wrappedOwner(wrapped);
  Gdiplus::GpBitmap* rgb = nullptr;
  if (GdipCloneBitmapAreaI(0, 0, area.width, area.height, PixelFormat24bppRGB, wrapped, &rgb) !=
      Gdiplus::Ok) {
    return {};
  }
  return gdip::UniqueBitmap(rgb);
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

void ScreenCapturer::keep(const EffectiveShot& shot, CapturedPixels pixels) {
  lastPictures_.remember(shot, std::move(pixels));
}

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
  std::wstring failure;
  return capture(shot, path, failure);
}

bool ScreenCapturer::capture(const EffectiveShot& shot, std::wstring& path, std::wstring& failure) {
  return captureShot(shot, path, failure) == CaptureResult::kCaptured;
}

CaptureResult ScreenCapturer::captureShot(const EffectiveShot& shot, std::wstring& path,
                                          std::wstring& failure, CapturedPixels* pixels) {
  constexpr CaptureResult kFailed = CaptureResult::kFailed;
  std::shared_lock<std::shared_mutex> reading(lock_);
  failure = L"the screen could not be read";
  if (!gdiplus_ || !gdiplus_->started()) return kFailed;

  const CaptureArea area =
      clampToArea({shot.rectX, shot.rectY, shot.rectWidth, shot.rectHeight}, virtualScreen());
  if (area.empty()) {
    failure = L"the rectangle lies on no screen";
    return kFailed;
  }

  const ImageFormat& format = ImageFormat::byIndex(shot.format);
  CLSID encoder{};
  if (!gdip::findEncoder(format.mimeType, encoder)) {
    failure = L"no encoder for " + std::wstring(format.mimeType);
    return kFailed;
  }

  const ScreenCopy copy = copyScreenArea(area);
  if (!copy.bitmap) return kFailed;
  if (shot.skipUnchanged && lastPictures_.sameAsLast(shot, copy.pixels))
    return CaptureResult::kUnchanged;
  if (shot.skipUnchanged && pixels)
    *pixels = std::make_shared<const std::vector<uint32_t>>(copy.pixels.begin(), copy.pixels.end());
  gdip::UniqueBitmap cut = toRgb24(copy.bitmap.get(), area);
  if (!cut) return kFailed;
  cut = prepareForFormat(std::move(cut), format, area);

  failure = L"the picture could not be written to the temporary folder";
  const std::wstring file = makeTempFile();
  if (file.empty()) return kFailed;
  if (!gdip::saveImage(cut.get(), file, encoder, kQuality)) {
    DeleteFileW(file.c_str());  // empty or half written: of no use to anyone
    return kFailed;
  }
  failure.clear();
  path += file;
  return CaptureResult::kCaptured;
}
