#pragma once
// Takes the picture of one shot: the shot's rectangle of the screen, on any monitor, encoded in
// the shot's image format into a new temporary file.
#include <memory>
#include <shared_mutex>
#include <string>

#include "capture/capture_result.h"
#include "capture/last_pictures.h"
#include "shots/shot_settings.h"

class GdiplusSession;

// Shot workers capture on their own threads, several at once. The object itself lives for the
// whole process, so a worker that got it from instance() never finds it freed; release() shuts
// GDI+ down only after the captures in progress have ended, and the next instance() starts it
// again.
class ScreenCapturer {
 public:
  static ScreenCapturer& instance();  // starts GDI+ when it is not running; thread-safe
  static void release();

  // Captures the shot's rectangle, in virtual-screen coordinates (any monitor; negative left of
  // or above the primary one), cut at the virtual screen's edges (the shot is not changed), as
  // 24-bit RGB in the shot's format, JPEG at quality 65, into a new file "vmp....tmp" in the
  // temporary folder, and appends that file's path to `path`. False, with `path` unchanged and
  // no file left behind, when the rectangle is off every screen or anything fails; `failure`
  // then says which in plain words.
  bool capture(const EffectiveShot& shot, std::wstring& path, std::wstring& failure);
  bool capture(const EffectiveShot& shot, std::wstring& path);
  // The same, except that a shot that skips unchanged pictures whose pixels are those of its
  // last kept picture gives kUnchanged, having encoded and written nothing; otherwise its
  // pixels come back in `pixels`, for keep() once the picture has been kept.
  CaptureResult captureShot(const EffectiveShot& shot, std::wstring& path, std::wstring& failure,
                            CapturedPixels* pixels = nullptr);
  // The picture of these pixels was kept: the shot's next captures are compared with it.
  void keep(const EffectiveShot& shot, CapturedPixels pixels);

 private:
  ScreenCapturer() = default;
  ~ScreenCapturer();

  static ScreenCapturer& theCapturer();
  void start();
  void stop();

  // Shared by captures, exclusive while GDI+ starts or stops.
  std::shared_mutex lock_;
  std::unique_ptr<GdiplusSession> gdiplus_;
  LastPictures lastPictures_;
};
