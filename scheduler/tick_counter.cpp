#include "scheduler/tick_counter.h"

bool countTick(int32_t& tickCount, int32_t interval) {
  // 64-bit so that neither the count nor the interval can overflow at their extremes.
  if (static_cast<int64_t>(tickCount) + 1 < static_cast<int64_t>(interval)) {
    ++tickCount;
    return false;
  }
  tickCount = 0;
  return true;
}
