#include "scheduler/active_hours.h"

#include <cwchar>

namespace {

constexpr int kMinutesPerDay = 24 * 60;

std::optional<int> digitsValue(std::wstring_view text) {
  int value = 0;
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9') return std::nullopt;
    value = value * 10 + (c - L'0');
  }
  return value;
}

// "HH:MM" as minutes after midnight.
std::optional<int> minuteOfDay(std::wstring_view text) {
  if (text.size() != 5 || text[2] != L':') return std::nullopt;
  const auto hour = digitsValue(text.substr(0, 2));
  const auto minute = digitsValue(text.substr(3, 2));
  if (!hour || !minute || *hour > 23 || *minute > 59) return std::nullopt;
  return *hour * 60 + *minute;
}

bool isInRange(const ActiveHourRange& range, int minute) {
  if (range.start < range.end) return minute >= range.start && minute < range.end;
  return minute >= range.start || minute < range.end;  // past midnight
}

bool isDayText(std::wstring_view days) {
  if (days.size() != 7) return false;
  for (wchar_t c : days)
    if (c != L'0' && c != L'1') return false;
  return days != L"0000000";
}

// Monday 0 .. Sunday 6, from the clock's Sunday 0 .. Saturday 6.
int mondayFirst(int weekday) {
  return (weekday % 7 + 6) % 7;
}

}  // namespace

std::optional<ActiveHourRange> parseActiveHours(std::wstring_view hours) {
  if (hours.size() != 11 || hours[5] != L'-') return std::nullopt;
  const auto start = minuteOfDay(hours.substr(0, 5));
  const auto end = minuteOfDay(hours.substr(6, 5));
  if (!start || !end || *start == *end) return std::nullopt;
  return ActiveHourRange{*start, *end};
}

std::wstring activeHoursText(const ActiveHourRange& range) {
  wchar_t text[16] = {};
  std::swprintf(text, 16, L"%02d:%02d-%02d:%02d", range.start / 60, range.start % 60,
                range.end / 60, range.end % 60);
  return text;
}

bool isWithinActiveHours(std::wstring_view hours, std::wstring_view days,
                         const platform::LocalTime& now) {
  const int minute = (now.hour * 60 + now.minute) % kMinutesPerDay;
  if (const auto range = parseActiveHours(hours)) {
    if (!isInRange(*range, minute)) return false;
    // The part after midnight of a night range belongs to the day it started on.
    const bool afterMidnight = range->start > range->end && minute < range->end;
    if (isDayText(days)) return days[mondayFirst(now.weekday + (afterMidnight ? 6 : 0))] == L'1';
    return true;
  }
  return !isDayText(days) || days[mondayFirst(now.weekday)] == L'1';
}
