#include "capture/time_stamper.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

platform::LocalTime at(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
  platform::LocalTime time;
  time.year = year;
  time.month = month;
  time.day = day;
  time.hour = hour;
  time.minute = minute;
  time.second = second;
  // Deliberately wrong: the expansion derives the weekday from the date.
  time.weekday = 3;
  return time;
}

const std::wstring kZone = L"W. Europe Standard Time";

std::wstring expand(std::wstring_view pattern, const platform::LocalTime& time) {
  return TimeStamper::expand(pattern, time, kZone);
}

struct Case {
  const wchar_t* pattern;
  const wchar_t* expected;
};

void expectAll(const platform::LocalTime& time, std::initializer_list<Case> cases) {
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.pattern)));
    EXPECT_EQ(expand(c.pattern, time), c.expected);
  }
}

}  // namespace

TEST(TimeStamperTest, DefaultPatternNamesTheMoment) {
  EXPECT_EQ(expand(L"default", at(2026, 12, 6, 17, 5, 9)), L"06-Dec-2026_05_05_09_PM");
  EXPECT_EQ(expand(L"default", at(2026, 12, 6, 5, 12, 33)), L"06-Dec-2026_05_12_33_AM");
  EXPECT_EQ(expand(kDefaultTimePattern, at(2026, 12, 6, 17, 5, 9)), L"06-Dec-2026_05_05_09_PM");
  // Only the exact word stands for the default pattern.
  EXPECT_EQ(expand(L"Default", at(2026, 12, 6)), L"Default");
  EXPECT_EQ(expand(L"default ", at(2026, 12, 6)), L"default ");
}

TEST(TimeStamperTest, EveryConversionWithAndWithoutHash) {
  // Sunday, single-digit day, hour, minute and second so that "#" shows.
  expectAll(at(2026, 12, 6, 17, 5, 9), {
                                           {L"%a", L"Sun"},
                                           {L"%#a", L"Sun"},
                                           {L"%A", L"Sunday"},
                                           {L"%#A", L"Sunday"},
                                           {L"%b", L"Dec"},
                                           {L"%#b", L"Dec"},
                                           {L"%B", L"December"},
                                           {L"%#B", L"December"},
                                           {L"%c", L"12/06/26 17:05:09"},
                                           {L"%#c", L"Sunday, December 06, 2026 17:05:09"},
                                           {L"%d", L"06"},
                                           {L"%#d", L"6"},
                                           {L"%H", L"17"},
                                           {L"%#H", L"17"},
                                           {L"%I", L"05"},
                                           {L"%#I", L"5"},
                                           {L"%j", L"340"},
                                           {L"%#j", L"340"},
                                           {L"%m", L"12"},
                                           {L"%#m", L"12"},
                                           {L"%M", L"05"},
                                           {L"%#M", L"5"},
                                           {L"%p", L"PM"},
                                           {L"%#p", L"PM"},
                                           {L"%S", L"09"},
                                           {L"%#S", L"9"},
                                           {L"%U", L"49"},
                                           {L"%#U", L"49"},
                                           {L"%w", L"0"},
                                           {L"%#w", L"0"},
                                           {L"%W", L"48"},
                                           {L"%#W", L"48"},
                                           {L"%x", L"12/06/26"},
                                           {L"%#x", L"Sunday, December 06, 2026"},
                                           {L"%X", L"17:05:09"},
                                           {L"%#X", L"17:05:09"},
                                           {L"%y", L"26"},
                                           {L"%#y", L"26"},
                                           {L"%Y", L"2026"},
                                           {L"%#Y", L"2026"},
                                           {L"%z", L"W. Europe Standard Time"},
                                           {L"%#z", L"W. Europe Standard Time"},
                                           {L"%Z", L"W. Europe Standard Time"},
                                           {L"%#Z", L"W. Europe Standard Time"},
                                           {L"%#d%m", L"612"},
                                       });
}

TEST(TimeStamperTest, HashDropsLeadingZeros) {
  // Friday 2 January 2005, 03:04:05.
  expectAll(at(2005, 1, 2, 3, 4, 5), {
                                         {L"%a %A %w", L"Sun Sunday 0"},
                                         {L"%d %#d", L"02 2"},
                                         {L"%H %#H", L"03 3"},
                                         {L"%I %#I", L"03 3"},
                                         {L"%j %#j", L"002 2"},
                                         {L"%m %#m", L"01 1"},
                                         {L"%U %#U", L"01 1"},
                                         {L"%W %#W", L"00 0"},
                                         {L"%y %#y", L"05 5"},
                                         {L"%c", L"01/02/05 03:04:05"},
                                         {L"%#c", L"Sunday, January 02, 2005 03:04:05"},
                                     });
}

TEST(TimeStamperTest, DayOfYearCountsLeapDays) {
  EXPECT_EQ(expand(L"%j", at(2024, 1, 1)), L"001");
  EXPECT_EQ(expand(L"%j", at(2024, 12, 31)), L"366");
  EXPECT_EQ(expand(L"%j", at(2023, 12, 31)), L"365");
  EXPECT_EQ(expand(L"%j", at(2024, 3, 1)), L"061");
  EXPECT_EQ(expand(L"%j", at(2000, 3, 1)), L"061");
  EXPECT_EQ(expand(L"%j", at(1900, 3, 1)), L"060");
}

TEST(TimeStamperTest, WeekNumbersAtTheEndsOfTheYear) {
  expectAll(at(2023, 1, 1), {{L"%a %U %W", L"Sun 01 00"}});
  expectAll(at(2024, 1, 1), {{L"%a %U %W", L"Mon 00 01"}});
  expectAll(at(2024, 12, 31), {{L"%a %U %W", L"Tue 52 53"}});
  expectAll(at(2023, 12, 31), {{L"%a %U %W", L"Sun 53 52"}});
}

// Week numbers and day of year against their definitions, counted day by day: week 1 begins
// on the year's first Sunday (%U) or Monday (%W).
TEST(TimeStamperTest, WeekNumbersFollowTheirDefinitionEveryDay) {
  using namespace std::chrono;
  for (int y = 1999; y <= 2030; ++y) {
    int sundays = 0;
    int mondays = 0;
    int dayOfYear = 0;
    for (sys_days day = sys_days(year(y) / January / 1); year_month_day(day).year() == year(y);
         day += days(1)) {
      const year_month_day date(day);
      const unsigned dayOfWeek = std::chrono::weekday(day).c_encoding();
      ++dayOfYear;
      if (dayOfWeek == 0) ++sundays;
      if (dayOfWeek == 1) ++mondays;
      const std::wstring expected = std::to_wstring(dayOfYear) + L" " + std::to_wstring(sundays) +
                                    L" " + std::to_wstring(mondays) + L" " +
                                    std::to_wstring(dayOfWeek);
      const std::wstring actual =
          expand(L"%#j %#U %#W %w",
                 at(y, static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day())));
      ASSERT_EQ(actual, expected) << y << "-" << static_cast<unsigned>(date.month()) << "-"
                                  << static_cast<unsigned>(date.day());
    }
  }
}

TEST(TimeStamperTest, TwelveHourClockAtMidnightAndNoon) {
  expectAll(at(2026, 1, 1, 0, 0, 0), {{L"%I %#I %p %H %#H", L"12 12 AM 00 0"}});
  expectAll(at(2026, 1, 1, 11, 59, 59), {{L"%I %p", L"11 AM"}});
  expectAll(at(2026, 1, 1, 12, 0, 0), {{L"%I %p", L"12 PM"}});
  expectAll(at(2026, 1, 1, 13, 0, 0), {{L"%I %#I %p", L"01 1 PM"}});
  expectAll(at(2026, 1, 1, 23, 59, 59), {{L"%I %p %X", L"11 PM 23:59:59"}});
}

TEST(TimeStamperTest, TextOutsideConversionsIsKept) {
  const platform::LocalTime time = at(2026, 12, 6, 17, 5, 9);
  EXPECT_EQ(expand(L"", time), L"");
  EXPECT_EQ(expand(L"morning", time), L"morning");
  EXPECT_EQ(expand(L"shot %d of %B!", time), L"shot 06 of December!");
  EXPECT_EQ(expand(L"%d%m%Y", time), L"06122026");
}

TEST(TimeStamperTest, ConversionsThatDoNotExpandStayAsWritten) {
  const platform::LocalTime time = at(2026, 12, 6, 17, 5, 9);
  expectAll(time, {
                      {L"%%", L"%%"},
                      {L"%%d", L"%%d"},
                      {L"%Q", L"%Q"},
                      {L"%#Q", L"%#Q"},
                      {L"%1", L"%1"},
                      {L"%#1", L"%#1"},
                      {L"%##d", L"%##d"},
                      {L"%#%d", L"%#%d"},
                      {L"% d", L"% d"},
                      {L"%\u00e9", L"%\u00e9"},
                      {L"%Qa%d", L"%Qa06"},
                  });
}

TEST(TimeStamperTest, PercentAtTheVeryEndStays) {
  const platform::LocalTime time = at(2026, 12, 6, 17, 5, 9);
  expectAll(time, {
                      {L"%", L"%"},
                      {L"%#", L"%#"},
                      {L"%d%", L"06%"},
                      {L"%d%#", L"06%#"},
                      {L"x%", L"x%"},
                  });
}

TEST(TimeStamperTest, InsertedTextIsNotScannedAgain) {
  const platform::LocalTime time = at(2026, 12, 6, 17, 5, 9);
  EXPECT_EQ(TimeStamper::expand(L"%Z-%d", time, L"Zone %d %"), L"Zone %d %-06");
}

TEST(TimeStamperTest, ZoneWithoutUsableNameLeavesConversion) {
  const platform::LocalTime time = at(2026, 12, 6, 17, 5, 9);
  EXPECT_EQ(TimeStamper::expand(L"%H %Z %#z", time, L""), L"17 %Z %#z");
  const std::wstring fits(259, L'z');
  EXPECT_EQ(TimeStamper::expand(L"%Z", time, fits), fits);
  EXPECT_EQ(TimeStamper::expand(L"%Z", time, fits + L"z"), L"%Z");
}

TEST(TimeStamperTest, ImpossibleDateLeavesDateConversions) {
  expectAll(at(2026, 13, 6, 17, 5, 9),
            {{L"%b %B %d %j %a %x %H:%M %Y", L"%b %B %d %j %a %x 17:05 2026"}});
  expectAll(at(2026, 0, 0, 17, 5, 9), {{L"%m %U %W %w %c", L"%m %U %W %w %c"}});
}

TEST(TimeStamperTest, FormatNowExpandsTheDefaultPattern) {
  const std::wstring stamp = TimeStamper().formatNow(L"default");
  // e.g. 06-Dec-2026_05_05_09_PM
  ASSERT_EQ(stamp.size(), 23u) << testing::PrintToString(stamp);
  EXPECT_EQ(stamp.find(L'%'), std::wstring::npos);
  EXPECT_TRUE(stamp.ends_with(L"_AM") || stamp.ends_with(L"_PM"));
  EXPECT_EQ(TimeStamper().formatNow(L"morning"), L"morning");
}
