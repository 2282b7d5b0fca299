#pragma once
// A function called every period on a thread of the system timer pool, through a timer queue
// of its own. Destroying the timer cancels it and waits for a call still in progress, so
// whatever the function uses may be freed right afterwards. For that reason it must never be
// destroyed from inside its own function.
#include <windows.h>

#include <functional>

#include "platform/unique_resource.h"

namespace win32 {

// Waits for the callbacks of every timer in the queue before it returns.
inline void deleteTimerQueueWaiting(HANDLE queue) {
  ::DeleteTimerQueueEx(queue, INVALID_HANDLE_VALUE);
}
using UniqueTimerQueue = UniqueResource<HANDLE, deleteTimerQueueWaiting>;

// One timer of a timer queue; freeing it needs the queue as well.
class UniqueQueueTimer {
 public:
  UniqueQueueTimer() = default;
  UniqueQueueTimer(HANDLE queue, HANDLE timer) : queue_(queue), timer_(timer) {}
  ~UniqueQueueTimer() { reset(); }
  UniqueQueueTimer(UniqueQueueTimer&& other) noexcept;
  UniqueQueueTimer& operator=(UniqueQueueTimer&& other) noexcept;
  UniqueQueueTimer(const UniqueQueueTimer&) = delete;
  UniqueQueueTimer& operator=(const UniqueQueueTimer&) = delete;

  explicit operator bool() const { return timer_ != nullptr; }
  // Cancels the timer and waits for its callback in progress.
  void reset();

 private:
  HANDLE queue_ = nullptr;
  HANDLE timer_ = nullptr;
};

}  // namespace win32

class PeriodicTimer {
 public:
  // First call after `dueMs`, then every `periodMs`.
  PeriodicTimer(DWORD dueMs, DWORD periodMs, std::function<void()> tick);
  ~PeriodicTimer() = default;
  // The timer pool holds this object's address.
  PeriodicTimer(const PeriodicTimer&) = delete;
  PeriodicTimer& operator=(const PeriodicTimer&) = delete;

  // False when the queue or the timer could not be made: then no call ever comes.
  bool armed() const { return static_cast<bool>(timer_); }

 private:
  static void CALLBACK onTimer(PVOID self, BOOLEAN timedOut);

  // Declared in this order so that the timer goes first, then its queue, then the function.
  std::function<void()> tick_;
  win32::UniqueTimerQueue queue_;
  win32::UniqueQueueTimer timer_;
};
