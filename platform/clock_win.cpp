#include <windows.h>

#include <cwchar>

#include "platform/clock.h"

namespace platform {

LocalTime localNow() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return {now.wYear, now.wMonth, now.wDay, now.wDayOfWeek, now.wHour, now.wMinute, now.wSecond};
}

std::wstring standardTimeZoneName() {
  TIME_ZONE_INFORMATION zone{};
  if (GetTimeZoneInformation(&zone) == TIME_ZONE_ID_INVALID) return {};
  // The name fills a fixed array that need not hold a terminating NUL.
  return std::wstring(zone.StandardName, wcsnlen(zone.StandardName, std::size(zone.StandardName)));
}

}  // namespace platform
