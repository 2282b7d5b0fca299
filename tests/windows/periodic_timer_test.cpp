// The timer under Automatic Mode, on Wine's real timer queue.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>

#include "platform/periodic_timer_win.h"
#include "support/vemlix_process_win.h"

namespace {

TEST(PeriodicTimerTest, TicksEveryPeriodUntilDestroyed) {
  std::atomic<int> ticks{0};
  auto timer = std::make_unique<PeriodicTimer>(50, 100, [&] { ++ticks; });
  ASSERT_TRUE(timer->armed());
  Sleep(1020);
  timer.reset();
  const int atStop = ticks;
  EXPECT_GE(atStop, 7);
  EXPECT_LE(atStop, 11);
  Sleep(300);
  EXPECT_EQ(ticks, atStop);
}

TEST(PeriodicTimerTest, DestroyingWaitsForATickInProgress) {
  std::atomic<bool> started{false};
  std::atomic<bool> finished{false};
  auto timer = std::make_unique<PeriodicTimer>(10, 10000, [&] {
    started = true;
    Sleep(800);
    finished = true;
  });
  ASSERT_TRUE(waitFor([&] { return started.load(); }, 5000));
  timer.reset();
  EXPECT_TRUE(finished);
}

}  // namespace
