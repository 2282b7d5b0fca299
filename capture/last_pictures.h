#pragma once
// The last captured pixels of each shot that skips unchanged pictures, to tell whether the
// screen has changed since. Kept in memory only: the first capture after a start is always new,
// and so is the first after the shot's values change.
#include <cstdint>
#include <map>
#include <mutex>
#include <span>
#include <vector>

#include "shots/shot_settings.h"

class LastPictures {
 public:
  // True when `pixels` (32-bit, the top byte padding and not compared) are those of the last
  // capture of the same record taken with the same values; either way they become the last
  // ones.
  bool sameAsLast(const EffectiveShot& shot, std::span<const uint32_t> pixels);

 private:
  struct Last {
    EffectiveShot shot;
    std::vector<uint32_t> pixels;
  };
  std::mutex lock_;
  std::map<uint64_t, Last> last_;
};
