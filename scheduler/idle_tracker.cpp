#include "scheduler/idle_tracker.h"

#include <limits>

bool IdleTracker::onTick(uint32_t lastInputTime, bool disableIdle, int32_t idleLimitSeconds) {
  std::lock_guard guard(lock_);
  if (lastInputTime == lastInputTime_) {
    // Held at the top instead of wrapping: a wrapped count would let a long absence look short.
    constexpr uint64_t kMax = std::numeric_limits<uint64_t>::max();
    idleMilliseconds_ = idleMilliseconds_ > kMax - 1000 ? kMax : idleMilliseconds_ + 1000;
    // In 64 bits: seconds times 1000 in 32 bits wraps from about 4.3 million seconds on, and a
    // wrapped limit would pause after a second. Taken unsigned, a negative limit is one of
    // about 136 years instead of pausing at the first quiet tick.
    const uint64_t limit = uint64_t{static_cast<uint32_t>(idleLimitSeconds)} * 1000u;
    if (disableIdle && idleMilliseconds_ >= limit) active_ = false;
  } else {
    idleMilliseconds_ = 0;
    lastInputTime_ = lastInputTime;
    active_ = true;
  }
  return active_;
}

bool IdleTracker::active() const {
  std::lock_guard guard(lock_);
  return active_;
}
