#include "capture/time_stamper.h"

#include <array>
#include <cstdint>

namespace {

constexpr std::array<std::wstring_view, 7> kWeekdays = {
    L"Sunday", L"Monday", L"Tuesday", L"Wednesday", L"Thursday", L"Friday", L"Saturday"};
constexpr std::array<std::wstring_view, 12> kMonths = {
    L"January", L"February", L"March",     L"April",   L"May",      L"June",
    L"July",    L"August",   L"September", L"October", L"November", L"December"};
constexpr std::array<int, 12> kDaysBeforeMonth = {0,   31,  59,  90,  120, 151,
                                                  181, 212, 243, 273, 304, 334};

// Longer expansions leave the conversion as written.
constexpr size_t kMaxExpansion = 259;

bool isLeapYear(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

// Days since 1 January 1970 in the proleptic Gregorian calendar, valid for any year.
int64_t daysSinceEpoch(int year, int month, int day) {
  const int64_t y = static_cast<int64_t>(year) - (month <= 2 ? 1 : 0);
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yearOfEra = y - era * 400;
  const int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

std::wstring number(int value, int width, bool noPadding) {
  std::wstring digits = std::to_wstring(value);
  if (noPadding || value < 0 || static_cast<int>(digits.size()) >= width) return digits;
  return std::wstring(width - digits.size(), L'0') + digits;
}

std::wstring abbreviated(std::wstring_view name) {
  return std::wstring(name.substr(0, 3));
}

// One moment with the calendar values that the conversions derive from the date.
class Moment {
 public:
  explicit Moment(const platform::LocalTime& time) : time_(time) {
    valid_ = time.month >= 1 && time.month <= 12 && time.day >= 1 && time.day <= 31;
    if (!valid_) return;
    const int64_t days = daysSinceEpoch(time.year, time.month, time.day);
    // 1 January 1970 was a Thursday. The weekday is derived rather than taken from the clock
    // so that %a, %w, %U and %W can never disagree.
    weekday_ = static_cast<int>(((days + 4) % 7 + 7) % 7);
    dayOfYear_ = kDaysBeforeMonth[time.month - 1] + time.day - 1 +
                 (time.month > 2 && isLeapYear(time.year) ? 1 : 0);
  }

  // Empty when the letter is not a conversion or the clock gave an impossible date.
  std::wstring expand(wchar_t letter, bool alternate, std::wstring_view zoneName) const {
    if (letter == L'z' || letter == L'Z') return std::wstring(zoneName);
    if (std::wstring text = clockConversion(letter, alternate); !text.empty()) return text;
    return valid_ ? calendarConversion(letter, alternate) : std::wstring();
  }

 private:
  std::wstring clockConversion(wchar_t letter, bool alternate) const {
    switch (letter) {
      case L'H':
        return number(time_.hour, 2, alternate);
      case L'I':
        return number(hour12(), 2, alternate);
      case L'M':
        return number(time_.minute, 2, alternate);
      case L'S':
        return number(time_.second, 2, alternate);
      case L'p':
        return time_.hour < 12 ? L"AM" : L"PM";
      case L'X':
        return timeForm();
      case L'Y':
        return std::to_wstring(time_.year);
      case L'y':
        return number(yearInCentury(), 2, alternate);
      default:
        return {};
    }
  }

  // Only for a valid date: these index the name tables.
  std::wstring calendarConversion(wchar_t letter, bool alternate) const {
    switch (letter) {
      case L'a':
        return abbreviated(kWeekdays[weekday_]);
      case L'A':
        return std::wstring(kWeekdays[weekday_]);
      case L'b':
        return abbreviated(kMonths[time_.month - 1]);
      case L'B':
        return std::wstring(kMonths[time_.month - 1]);
      case L'c':
        return (alternate ? longDateForm() : shortDateForm()) + L" " + timeForm();
      case L'd':
        return number(time_.day, 2, alternate);
      case L'j':
        return number(dayOfYear_ + 1, 3, alternate);
      case L'm':
        return number(time_.month, 2, alternate);
      case L'U':
        return number((dayOfYear_ + 7 - weekday_) / 7, 2, alternate);
      case L'w':
        return std::to_wstring(weekday_);
      case L'W':
        return number((dayOfYear_ + 7 - (weekday_ + 6) % 7) / 7, 2, alternate);
      case L'x':
        return alternate ? longDateForm() : shortDateForm();
      default:
        return {};
    }
  }

  int hour12() const { return time_.hour % 12 == 0 ? 12 : time_.hour % 12; }
  int yearInCentury() const { return (time_.year % 100 + 100) % 100; }

  std::wstring shortDateForm() const {
    return number(time_.month, 2, false) + L"/" + number(time_.day, 2, false) + L"/" +
           number(yearInCentury(), 2, false);
  }
  std::wstring longDateForm() const {
    return std::wstring(kWeekdays[weekday_]) + L", " + std::wstring(kMonths[time_.month - 1]) +
           L" " + number(time_.day, 2, false) + L", " + std::to_wstring(time_.year);
  }
  std::wstring timeForm() const {
    return number(time_.hour, 2, false) + L":" + number(time_.minute, 2, false) + L":" +
           number(time_.second, 2, false);
  }

  const platform::LocalTime& time_;
  bool valid_ = false;
  int weekday_ = 0;    // 0 = Sunday
  int dayOfYear_ = 0;  // 0 = 1 January
};

bool isAsciiLetter(wchar_t c) {
  return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
}

}  // namespace

std::wstring TimeStamper::formatNow(std::wstring_view pattern) const {
  return expand(pattern, platform::localNow(), platform::standardTimeZoneName());
}

std::wstring TimeStamper::expand(std::wstring_view pattern, const platform::LocalTime& time,
                                 std::wstring_view zoneName) {
  if (pattern == L"default") pattern = kDefaultTimePattern;
  const Moment moment(time);
  std::wstring out;
  out.reserve(pattern.size() * 2);
  size_t scan = 0;
  for (;;) {
    const size_t percent = pattern.find(L'%', scan);
    if (percent == std::wstring_view::npos) break;
    out.append(pattern.substr(scan, percent - scan));
    const bool alternate = percent + 1 < pattern.size() && pattern[percent + 1] == L'#';
    const size_t length = alternate ? 3 : 2;
    if (pattern.size() - percent < length) {
      scan = percent;
      break;
    }
    const std::wstring_view conversion = pattern.substr(percent, length);
    const wchar_t letter = conversion.back();
    std::wstring expansion;
    if (isAsciiLetter(letter)) expansion = moment.expand(letter, alternate, zoneName);
    if (expansion.empty() || expansion.size() > kMaxExpansion) {
      out.append(conversion);
    } else {
      out.append(expansion);
    }
    scan = percent + length;
  }
  out.append(pattern.substr(scan));
  return out;
}
