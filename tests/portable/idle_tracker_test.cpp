#include "scheduler/idle_tracker.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "scheduler/tick_counter.h"

namespace {

struct IdleSettings {
  bool disableIdle = true;
  int32_t limitSeconds = 10;
};

// `count` ticks that all see the same last-input time; returns how many were active.
int quietTicks(IdleTracker& tracker, uint32_t lastInput, int count, IdleSettings settings) {
  int active = 0;
  for (int i = 0; i < count; ++i)
    if (tracker.onTick(lastInput, settings.disableIdle, settings.limitSeconds)) ++active;
  return active;
}

}  // namespace

TEST(IdleTrackerTest, FirstTickCountsAsInput) {
  IdleTracker tracker;
  EXPECT_TRUE(tracker.active());
  EXPECT_TRUE(tracker.onTick(123456, true, 0));
  EXPECT_TRUE(tracker.active());
}

TEST(IdleTrackerTest, PausesWhenTheIdleLimitIsReached) {
  IdleTracker tracker;
  ASSERT_TRUE(tracker.onTick(5000, true, 10));  // the tick that sees the last input
  EXPECT_EQ(quietTicks(tracker, 5000, 9, {}), 9);
  EXPECT_FALSE(tracker.onTick(5000, true, 10));
  EXPECT_FALSE(tracker.active());
  EXPECT_EQ(quietTicks(tracker, 5000, 100, {}), 0);
}

TEST(IdleTrackerTest, NewInputResumesWithCountsWhereTheyStopped) {
  IdleTracker tracker;
  int32_t tickCount = 0;
  std::vector<int> fired;
  uint32_t lastInput = 1;
  for (int tick = 1; tick <= 40; ++tick) {
    // Input on ticks 1 and 25 only: ticks 2..10 active, 11..24 paused, 25.. active again.
    if (tick == 25) lastInput = 99;
    if (tracker.onTick(lastInput, true, 10) && countTick(tickCount, 4)) fired.push_back(tick);
  }
  EXPECT_EQ(fired, (std::vector<int>{4, 8, 26, 30, 34}));
}

TEST(IdleTrackerTest, ZeroLimitPausesAtTheFirstTickWithoutInput) {
  IdleTracker tracker;
  EXPECT_TRUE(tracker.onTick(7, true, 0));
  EXPECT_FALSE(tracker.onTick(7, true, 0));
  EXPECT_TRUE(tracker.onTick(8, true, 0));
}

TEST(IdleTrackerTest, NeverPausesWhileIdleDetectionIsOff) {
  IdleTracker tracker;
  tracker.onTick(7, false, 0);
  EXPECT_EQ(quietTicks(tracker, 7, 100000, {false, 0}), 100000);
}

TEST(IdleTrackerTest, OnlyInputResumesAPause) {
  IdleTracker tracker;
  tracker.onTick(7, true, 1);
  ASSERT_FALSE(tracker.onTick(7, true, 1));
  // Idle detection switched off or the limit raised while paused: still paused.
  EXPECT_FALSE(tracker.onTick(7, false, 1));
  EXPECT_FALSE(tracker.onTick(7, true, 3600));
  EXPECT_TRUE(tracker.onTick(8, false, 1));
}

TEST(IdleTrackerTest, IdleTimeRestartsAfterInput) {
  IdleTracker tracker;
  tracker.onTick(1, true, 3);
  EXPECT_EQ(quietTicks(tracker, 1, 2, {true, 3}), 2);
  EXPECT_TRUE(tracker.onTick(2, true, 3));
  EXPECT_EQ(quietTicks(tracker, 2, 2, {true, 3}), 2);
  EXPECT_FALSE(tracker.onTick(2, true, 3));
}

TEST(IdleTrackerTest, NegativeLimitIsComparedUnsigned) {
  IdleTracker tracker;
  tracker.onTick(1, true, -1);
  EXPECT_EQ(quietTicks(tracker, 1, 100000, {true, -1}), 100000);
}

// 5,000,000 s times 1000 does not fit in 32 bits; wrapped, it would pause after a second.
TEST(IdleTrackerTest, LimitsBeyondThirtyTwoBitsOfMillisecondsHold) {
  IdleTracker tracker;
  tracker.onTick(1, true, 5'000'000);
  EXPECT_EQ(quietTicks(tracker, 1, 1000, {true, 5'000'000}), 1000);
}

TEST(IdleTrackerTest, LastInputTimeZeroAtTheFirstTickIsNoInput) {
  // The system's last-input tick count really being 0 is indistinguishable from the start.
  IdleTracker tracker;
  EXPECT_FALSE(tracker.onTick(0, true, 0));
}

TEST(IdleTrackerConcurrencyTest, OverlappingTicksAndReadersAreSafe) {
  IdleTracker tracker;
  std::vector<std::thread> threads;
  for (uint32_t t = 0; t < 3; ++t) {
    threads.emplace_back([&tracker, t] {
      for (uint32_t i = 0; i < 20000; ++i) {
        tracker.onTick(i % 50 == 0 ? i + t : 1, true, 5);
        (void)tracker.active();
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_TRUE(tracker.onTick(424242, true, 5));
}
