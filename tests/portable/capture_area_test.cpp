// Where a shot's rectangle meets the edges of the screen.
#include "capture/capture_area.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

constexpr int32_t kWidth = 1920;
constexpr int32_t kHeight = 1080;

CaptureArea clamp(int32_t x, int32_t y, int32_t width, int32_t height) {
  return clampToScreen({x, y, width, height}, kWidth, kHeight);
}

TEST(CaptureAreaTest, InsideTheScreenStaysAsItIs) {
  EXPECT_EQ(clamp(10, 20, 300, 200), (CaptureArea{10, 20, 300, 200}));
  EXPECT_EQ(clamp(0, 0, kWidth, kHeight), (CaptureArea{0, 0, kWidth, kHeight}));
}

TEST(CaptureAreaTest, PastTheRightOrBottomEdgeIsCut) {
  EXPECT_EQ(clamp(1800, 1000, 400, 200), (CaptureArea{1800, 1000, 120, 80}));
}

TEST(CaptureAreaTest, PastTheLeftOrTopEdgeIsCutNotMoved) {
  EXPECT_EQ(clamp(-100, 50, 300, 100), (CaptureArea{0, 50, 200, 100}));
  EXPECT_EQ(clamp(50, -30, 100, 100), (CaptureArea{50, 0, 100, 70}));
  EXPECT_EQ(clamp(-10, -10, kWidth + 20, kHeight + 20), (CaptureArea{0, 0, kWidth, kHeight}));
}

TEST(CaptureAreaTest, WhollyOffTheScreenIsEmpty) {
  EXPECT_TRUE(clamp(kWidth, 0, 100, 100).empty());  // a second monitor on the right
  EXPECT_TRUE(clamp(0, kHeight + 5, 100, 100).empty());
  EXPECT_TRUE(clamp(-300, 0, 200, 100).empty());
  EXPECT_TRUE(clamp(0, -100, 100, 100).empty());
  EXPECT_TRUE(clamp(10, 10, 0, 100).empty());
  EXPECT_TRUE(clamp(10, 10, 100, -5).empty());
}

TEST(CaptureAreaTest, ExtremeValuesDoNotOverflow) {
  constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
  constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
  EXPECT_EQ(clamp(100, 100, kMax, kMax), (CaptureArea{100, 100, kWidth - 100, kHeight - 100}));
  EXPECT_EQ(clamp(kMin, kMin, kMax, kMax), (CaptureArea{0, 0, 0, 0}));
  EXPECT_TRUE(clamp(kMax, kMax, kMax, kMax).empty());
  EXPECT_TRUE(clamp(kMin, 0, 10, 10).empty());
}

}  // namespace

namespace {

// Three monitors: one 1024 wide left of the primary, the primary 1280 x 1024, one right of it.
TEST(CaptureAreaTest, TheVirtualScreenReachesLeftOfZero) {
  const CaptureArea screens{-1024, 0, 3328, 1024};
  EXPECT_EQ(clampToArea({-900, 100, 200, 150}, screens), (CaptureArea{-900, 100, 200, 150}));
  EXPECT_EQ(clampToArea({-1100, -50, 300, 100}, screens), (CaptureArea{-1024, 0, 224, 50}));
  EXPECT_EQ(clampToArea({2200, 900, 300, 300}, screens), (CaptureArea{2200, 900, 104, 124}));
  EXPECT_TRUE(clampToArea({-2000, 0, 900, 100}, screens).empty());
  EXPECT_TRUE(clampToArea({2304, 0, 100, 100}, screens).empty());
}

}  // namespace
