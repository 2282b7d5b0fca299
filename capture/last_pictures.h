#pragma once
// The pixels of each shot's last kept picture, for a shot that skips unchanged pictures, to
// tell whether the screen has changed since. A picture counts once it was kept, saved or
// delivered: one that went nowhere (a missing folder and no server) is no reason to skip the
// next. Kept in memory only: the first capture after a start is always new, and so is the first
// after the shot's values change.
#include <cstdint>
#include <map>
#include <mutex>
#include <span>

#include "capture/capture_result.h"
#include "shots/shot_settings.h"

class LastPictures {
 public:
  // True when `pixels` (32-bit, the top byte padding and not compared) are those of the last
  // kept picture of the same record taken with the same values.
  bool sameAsLast(const EffectiveShot& shot, std::span<const uint32_t> pixels);
  // The picture of these pixels was kept: the next captures are compared with it.
  void remember(const EffectiveShot& shot, CapturedPixels pixels);

 private:
  struct Last {
    EffectiveShot shot;
    CapturedPixels pixels;
  };
  std::mutex lock_;
  std::map<uint64_t, Last> last_;
};
