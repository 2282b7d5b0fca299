#include "settings/number_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace {

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

TEST(NumberText, ParsesLikeTheCLibrary) {
  EXPECT_EQ(parseDecimal(L"60"), 60);
  EXPECT_EQ(parseDecimal(L"  \t-42"), -42);
  EXPECT_EQ(parseDecimal(L"+7"), 7);
  EXPECT_EQ(parseDecimal(L"30s"), 30);
  EXPECT_EQ(parseDecimal(L"12 34"), 12);
  EXPECT_EQ(parseDecimal(L"0009"), 9);
}

TEST(NumberText, NoLeadingDigitGivesZero) {
  EXPECT_EQ(parseDecimal(L""), 0);
  EXPECT_EQ(parseDecimal(L"abc"), 0);
  EXPECT_EQ(parseDecimal(L"-"), 0);
  EXPECT_EQ(parseDecimal(L"+-1"), 0);
  EXPECT_EQ(parseDecimal(L"- 1"), 0);
  EXPECT_EQ(parseDecimal(L"\x0661"), 0);  // digits of other scripts are not decimal digits here
}

TEST(NumberText, ClampsToThe32BitRange) {
  EXPECT_EQ(parseDecimal(L"2147483647"), kMax);
  EXPECT_EQ(parseDecimal(L"2147483648"), kMax);
  EXPECT_EQ(parseDecimal(L"-2147483648"), kMin);
  EXPECT_EQ(parseDecimal(L"-2147483649"), kMin);
  EXPECT_EQ(parseDecimal(L"99999999999999999999999999999"), kMax);
  EXPECT_EQ(parseDecimal(L"-99999999999999999999999999999"), kMin);
}

TEST(NumberText, DecimalTextRoundTrips) {
  EXPECT_EQ(decimalText(0), L"0");
  EXPECT_EQ(decimalText(400), L"400");
  EXPECT_EQ(decimalText(-5), L"-5");
  EXPECT_EQ(decimalText(kMax), L"2147483647");
  EXPECT_EQ(decimalText(kMin), L"-2147483648");
  for (int32_t value : {kMin, -1000001, -1, 0, 1, 59, 1000001, kMax})
    EXPECT_EQ(parseDecimal(decimalText(value)), value);
}

}  // namespace
