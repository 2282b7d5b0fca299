#include "capture/capture_area.h"

#include <algorithm>

namespace {

// One axis: [start, start + length) cut to [0, limit). 64-bit, since a hand-edited shots file
// can hold any 32-bit start and length.
void clampSpan(int32_t& start, int32_t& length, int32_t limit) {
  const int64_t begin = std::max<int64_t>(start, 0);
  const int64_t end = std::min<int64_t>(int64_t{start} + length, limit);
  start = static_cast<int32_t>(std::min<int64_t>(begin, limit));
  length = static_cast<int32_t>(std::max<int64_t>(end - begin, 0));
}

}  // namespace

CaptureArea clampToScreen(const CaptureArea& area, int32_t screenWidth, int32_t screenHeight) {
  CaptureArea result = area;
  clampSpan(result.x, result.width, screenWidth);
  clampSpan(result.y, result.height, screenHeight);
  return result;
}
