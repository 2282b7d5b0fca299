#include "platform/periodic_timer_win.h"

#include <utility>

namespace win32 {

UniqueQueueTimer::UniqueQueueTimer(UniqueQueueTimer&& other) noexcept
    : queue_(std::exchange(other.queue_, nullptr)), timer_(std::exchange(other.timer_, nullptr)) {}

UniqueQueueTimer& UniqueQueueTimer::operator=(UniqueQueueTimer&& other) noexcept {
  if (this != &other) {
    reset();
    queue_ = std::exchange(other.queue_, nullptr);
    timer_ = std::exchange(other.timer_, nullptr);
  }
  return *this;
}

void UniqueQueueTimer::reset() {
  const HANDLE timer = std::exchange(timer_, nullptr);
  const HANDLE queue = std::exchange(queue_, nullptr);
  if (timer) ::DeleteTimerQueueTimer(queue, timer, INVALID_HANDLE_VALUE);
}

}  // namespace win32

PeriodicTimer::PeriodicTimer(DWORD dueMs, DWORD periodMs, std::function<void()> tick)
    : tick_(std::move(tick)), queue_(::CreateTimerQueue()) {
  if (!queue_) return;
  HANDLE timer = nullptr;
  if (::CreateTimerQueueTimer(&timer, queue_.get(), onTimer, this, dueMs, periodMs,
                              WT_EXECUTEDEFAULT)) {
    timer_ = win32::UniqueQueueTimer(queue_.get(), timer);
  }
}

void CALLBACK PeriodicTimer::onTimer(PVOID self, BOOLEAN) {
  const auto& tick = static_cast<PeriodicTimer*>(self)->tick_;
  if (tick) tick();
}
