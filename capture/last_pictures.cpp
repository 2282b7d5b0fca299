#include "capture/last_pictures.h"

#include <algorithm>

namespace {

// Some displays fill the padding byte with an alpha value of their own.
constexpr uint32_t kColourBits = 0x00FFFFFF;

bool sameColours(std::span<const uint32_t> pixels, const std::vector<uint32_t>& last) {
  return pixels.size() == last.size() &&
         std::equal(pixels.begin(), pixels.end(), last.begin(),
                    [](uint32_t a, uint32_t b) { return ((a ^ b) & kColourBits) == 0; });
}

}  // namespace

bool LastPictures::sameAsLast(const EffectiveShot& shot, std::span<const uint32_t> pixels) {
  if (pixels.empty()) return false;  // unread pixels are never the same as anything
  std::lock_guard guard(lock_);
  Last& last = last_[shot.recordId];
  if (last.shot == shot && sameColours(pixels, last.pixels)) return true;
  last.shot = shot;
  last.pixels.assign(pixels.begin(), pixels.end());
  return false;
}
