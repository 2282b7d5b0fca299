#include <time.h>

#include <mutex>

#include "platform/text_codec.h"
#include "platform/clock.h"

namespace platform {
namespace {

// localtime_r refreshes the C library's tzname as it goes, so reading tzname while another
// thread converts a time is a data race; every use of either goes through this lock.
std::mutex& zoneLock() {
  static std::mutex lock;
  return lock;
}

}  // namespace

LocalTime localNow() {
  const time_t now = ::time(nullptr);
  tm parts{};
  {
    std::lock_guard guard(zoneLock());
    ::tzset();
    ::localtime_r(&now, &parts);
  }
  return {parts.tm_year + 1900,
          parts.tm_mon + 1,
          parts.tm_mday,
          parts.tm_wday,
          parts.tm_hour,
          parts.tm_min,
          parts.tm_sec > 59 ? 59 : parts.tm_sec};
}

std::wstring standardTimeZoneName() {
  std::lock_guard guard(zoneLock());
  ::tzset();
  return tzname[0] ? decodeUtf8(tzname[0]) : std::wstring();
}

}  // namespace platform
