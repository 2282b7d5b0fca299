#include "capture/last_pictures.h"

#include <utility>

bool LastPictures::sameAsLast(const EffectiveShot& shot, std::vector<uint8_t> pixels) {
  if (pixels.empty()) return false;  // unread pixels are never the same as anything
  std::lock_guard guard(lock_);
  Last& last = last_[shot.recordId];
  if (last.shot == shot && last.pixels == pixels) return true;
  last = {shot, std::move(pixels)};
  return false;
}
