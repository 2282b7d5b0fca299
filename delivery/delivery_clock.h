#pragma once
// The two clocks a picture's life is measured by: UTC for how old a picture or a waiting upload
// is, and a clock that only moves forwards for waits between tries. Tests set both.
#include <cstdint>

#include "platform/clock.h"

class DeliveryClock {
 public:
  virtual ~DeliveryClock() = default;
  virtual int64_t utcSeconds() const = 0;
  virtual int64_t steadyMilliseconds() const = 0;
};

class SystemDeliveryClock : public DeliveryClock {
 public:
  int64_t utcSeconds() const override { return platform::utcSeconds(); }
  int64_t steadyMilliseconds() const override { return platform::steadyMilliseconds(); }
};

// UTC as far as deleting is concerned: from the first reading on, it moves no faster than the
// steady clock, so a clock set a year ahead while the program runs deletes nothing until the
// next start. Moving slower is harmless: pictures are then kept a little longer.
class TrustedUtc {
 public:
  explicit TrustedUtc(const DeliveryClock& clock)
      : clock_(clock), startUtc_(clock.utcSeconds()), startSteady_(clock.steadyMilliseconds()) {}

  int64_t now() const {
    const int64_t bound = startUtc_ + (clock_.steadyMilliseconds() - startSteady_) / 1000 + kSlack;
    const int64_t utc = clock_.utcSeconds();
    return utc < bound ? utc : bound;
  }

 private:
  // Leap seconds and time-server nudges move the clock by a little; that much is believed.
  static constexpr int64_t kSlack = 120;

  const DeliveryClock& clock_;
  const int64_t startUtc_;
  const int64_t startSteady_;
};
