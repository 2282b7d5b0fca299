#include "capture/last_pictures.h"

#include <algorithm>
#include <utility>

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
  const auto last = last_.find(shot.recordId);
  return last != last_.end() && last->second.shot == shot && last->second.pixels &&
         sameColours(pixels, *last->second.pixels);
}

void LastPictures::remember(const EffectiveShot& shot, CapturedPixels pixels) {
  if (!pixels || pixels->empty()) return;
  std::lock_guard guard(lock_);
  last_[shot.recordId] = {shot, std::move(pixels)};
}
