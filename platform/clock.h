#pragma once
// The local wall clock, as the time-stamp expansion needs it.
#include <chrono>
#include <cstdint>
#include <string>

namespace platform {

struct LocalTime {
  int year = 1970;  // e.g. 2026
  int month = 1;    // 1..12
  int day = 1;      // 1..31
  int weekday = 4;  // 0 = Sunday .. 6
  int hour = 0;     // 0..23
  int minute = 0;   // 0..59
  int second = 0;   // 0..59
};

LocalTime localNow();

inline constexpr int64_t kSecondsPerDay = 24 * 60 * 60;

// The wall-clock time as seconds since 1970-01-01 00:00 of the same clock, for telling how far
// apart two local times are (days from the civil date as in H. Hinnant's algorithm).
constexpr int64_t secondsOf(const LocalTime& time) {
  int64_t year = time.year - (time.month <= 2);
  const auto month = static_cast<unsigned>(time.month);
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const auto yearOfEra = static_cast<unsigned>(year - era * 400);
  const unsigned dayOfYear =
      (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + static_cast<unsigned>(time.day) - 1;
  const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  const int64_t days = era * 146097 + static_cast<int64_t>(dayOfEra) - 719468;
  return days * kSecondsPerDay + time.hour * 3600 + time.minute * 60 + time.second;
}

// Seconds since 1970-01-01 00:00 UTC by the system's clock, which the user or a time server may
// set forwards or back at any moment.
inline int64_t utcSeconds() {
  return std::chrono::duration_cast<std::chrono::seconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

// Milliseconds of a clock that only ever moves forwards, from an arbitrary start; for waits.
inline int64_t steadyMilliseconds() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// The name the system gives the local standard time zone ("Coordinated Universal Time",
// "Pacific Standard Time", ...); empty when it has none.
std::wstring standardTimeZoneName();

}  // namespace platform
