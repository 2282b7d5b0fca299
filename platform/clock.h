#pragma once
// The local wall clock, as the time-stamp expansion needs it.
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

// The name the system gives the local standard time zone ("Coordinated Universal Time",
// "Pacific Standard Time", ...); empty when it has none.
std::wstring standardTimeZoneName();

}  // namespace platform
