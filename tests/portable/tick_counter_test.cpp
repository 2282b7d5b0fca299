#include "scheduler/tick_counter.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <vector>

namespace {

// The 1-based ticks, out of `ticks`, at which a shot fires; the interval may change per tick.
std::vector<int> firings(int ticks, const std::function<int32_t(int)>& intervalAt,
                         int32_t tickCount = 0) {
  std::vector<int> fired;
  for (int tick = 1; tick <= ticks; ++tick)
    if (countTick(tickCount, intervalAt(tick))) fired.push_back(tick);
  return fired;
}

std::vector<int> firings(int ticks, int32_t interval) {
  return firings(ticks, [interval](int) { return interval; });
}

}  // namespace

TEST(TickCounterTest, FiresEveryIntervalTicks) {
  EXPECT_EQ(firings(17, 5), (std::vector<int>{5, 10, 15}));
  EXPECT_EQ(firings(7, 2), (std::vector<int>{2, 4, 6}));
  EXPECT_EQ(firings(3, 1), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(firings(59, 60), std::vector<int>{});
  EXPECT_EQ(firings(121, 60), (std::vector<int>{60, 120}));
}

TEST(TickCounterTest, ZeroOrNegativeIntervalFiresEveryTick) {
  for (int32_t interval : {0, -1, -60, INT_MIN}) {
    SCOPED_TRACE(interval);
    EXPECT_EQ(firings(3, interval), (std::vector<int>{1, 2, 3}));
  }
}

TEST(TickCounterTest, CountsUpAndResetsOnFiring) {
  int32_t tickCount = 0;
  EXPECT_FALSE(countTick(tickCount, 3));
  EXPECT_EQ(tickCount, 1);
  EXPECT_FALSE(countTick(tickCount, 3));
  EXPECT_EQ(tickCount, 2);
  EXPECT_TRUE(countTick(tickCount, 3));
  EXPECT_EQ(tickCount, 0);
}

TEST(TickCounterTest, ChangedIntervalTakesEffectOnTheNextTick) {
  // The global SHOT_INTERVAL lowered from 60 to 5 after 30 ticks: the count is already past the
  // new interval, so the shot fires at once and then every 5 ticks.
  EXPECT_EQ(firings(40, [](int tick) { return tick <= 30 ? 60 : 5; }), (std::vector<int>{31, 36}));
  // Raised from 5 to 10 after 7 ticks (count 2): the count goes on to 10.
  EXPECT_EQ(firings(30, [](int tick) { return tick <= 7 ? 5 : 10; }),
            (std::vector<int>{5, 15, 25}));
}

TEST(TickCounterTest, ExtremeCountsDoNotOverflow) {
  int32_t tickCount = INT_MAX - 2;
  EXPECT_FALSE(countTick(tickCount, INT_MAX));
  EXPECT_EQ(tickCount, INT_MAX - 1);
  EXPECT_TRUE(countTick(tickCount, INT_MAX));
  EXPECT_EQ(tickCount, 0);

  tickCount = INT_MAX;
  EXPECT_TRUE(countTick(tickCount, INT_MAX));
  tickCount = INT_MIN;
  EXPECT_TRUE(countTick(tickCount, INT_MIN));
  EXPECT_EQ(tickCount, 0);
}
