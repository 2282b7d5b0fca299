#pragma once
// Decides for each timer tick whether Automatic Mode counts it or is paused for idleness.
// Idleness is counted in whole ticks: a tick that sees the same last-input time as the
// previous one adds a second. Meant to outlive stop/start of the scheduler.
#include <cstdint>
#include <mutex>

class IdleTracker {
 public:
  // One timer tick. `lastInputTime` is the system's tick count of the last keyboard or mouse
  // input; `disableIdle` and `idleLimitSeconds` are DISABLE_IDLE and DISABLE_IDLE_INTERVAL as
  // they stand now. Returns whether this tick counts and fires shots. Once paused, only new
  // input resumes, whatever the settings say meanwhile.
  bool onTick(uint32_t lastInputTime, bool disableIdle, int32_t idleLimitSeconds);

  bool active() const;

 private:
  mutable std::mutex lock_;  // timer-pool ticks may overlap when one is delayed
  // Starts at 0, so the first tick always counts as one that saw input.
  uint32_t lastInputTime_ = 0;
  uint64_t idleMilliseconds_ = 0;
  bool active_ = true;
};
