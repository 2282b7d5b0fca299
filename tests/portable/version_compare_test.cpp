#include "app/version_compare.h"

#include <gtest/gtest.h>

namespace {

bool newerThanOneThree(const std::wstring& published) {
  return isNewerVersion(L"Version-" + published, L"1.3");
}

}  // namespace

TEST(VersionCompareTest, NumericallyNewerVersions) {
  for (const wchar_t* published : {L"1.4", L"1.10", L"1.3.1", L"2.0", L"13", L"1.9", L"9"}) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(published)));
    EXPECT_TRUE(newerThanOneThree(published));
  }
}

TEST(VersionCompareTest, SameOrOlderVersions) {
  for (const wchar_t* published : {L"1.3", L"1.3.0", L"1", L"0.9", L"01.03", L"1.3.", L"1.2.99"}) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(published)));
    EXPECT_FALSE(newerThanOneThree(published));
  }
}

TEST(VersionCompareTest, FindsTheMarkerAnywhereAndIgnoresWhatFollowsTheVersion) {
  EXPECT_TRUE(isNewerVersion(L"Vemlix\r\nVersion-1.4\r\nReleased today", L"1.3"));
  EXPECT_TRUE(isNewerVersion(L"Version-1.4beta", L"1.3"));
  EXPECT_FALSE(isNewerVersion(L"Version-1.3 (2.0 soon)", L"1.3"));
}

TEST(VersionCompareTest, SkipsBlanksAfterTheMarker) {
  EXPECT_TRUE(isNewerVersion(L"Version- 2.0", L"1.3"));
  EXPECT_TRUE(isNewerVersion(L"Version-\t \t2.0\n", L"1.3"));
  EXPECT_FALSE(isNewerVersion(L"Version-\n2.0", L"1.3"));
}

TEST(VersionCompareTest, FirstMarkerCounts) {
  EXPECT_FALSE(isNewerVersion(L"Version-1.2 Version-2.0", L"1.3"));
  EXPECT_TRUE(isNewerVersion(L"Version-2.0 Version-1.2", L"1.3"));
}

TEST(VersionCompareTest, NoMarkerOrNoDigitsIsNotNewer) {
  EXPECT_FALSE(isNewerVersion(L"", L"1.3"));
  EXPECT_FALSE(isNewerVersion(L"<html>404 Not Found</html>", L"1.3"));
  EXPECT_FALSE(isNewerVersion(L"version-2.0", L"1.3"));
  EXPECT_FALSE(isNewerVersion(L"Version-", L"1.3"));
  EXPECT_FALSE(isNewerVersion(L"Version-...", L"1.3"));
  EXPECT_FALSE(isNewerVersion(L"Version-v2.0", L"1.3"));
}

TEST(VersionCompareTest, HugeNumbersCompareWithoutOverflow) {
  const std::wstring huge(5000, L'9');
  EXPECT_TRUE(newerThanOneThree(huge));
  EXPECT_TRUE(newerThanOneThree(L"1." + huge));
  EXPECT_FALSE(newerThanOneThree(L"0." + huge));
  EXPECT_FALSE(isNewerVersion(L"Version-" + huge, huge));
  EXPECT_TRUE(isNewerVersion(L"Version-1" + huge, huge));
  EXPECT_FALSE(isNewerVersion(L"Version-8" + huge, L"9" + huge));
  EXPECT_FALSE(newerThanOneThree(std::wstring(5000, L'0') + L"1.3"));
}
