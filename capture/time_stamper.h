#pragma once
// Turns a time-stamp pattern such as "%d-%b-%Y_%I_%M_%S_%p" into the time text of output file
// names. Always English names, never the user's locale, so file names do not change with the
// regional settings.
#include <string>
#include <string_view>

#include "platform/clock.h"

// What the pattern "default" stands for, e.g. 06-Dec-2026_05_12_33_AM.
inline constexpr std::wstring_view kDefaultTimePattern = L"%d-%b-%Y_%I_%M_%S_%p";

class TimeStamper {
 public:
  // The pattern expanded for the local time, read once per call.
  std::wstring formatNow(std::wstring_view pattern) const;

  // The pattern expanded for `time`; `zoneName` is what %z and %Z give. Conversions that do
  // not expand (unknown letters, "%%", a "%" or "%#" at the very end, an empty expansion)
  // stay in the text as written.
  static std::wstring expand(std::wstring_view pattern, const platform::LocalTime& time,
                             std::wstring_view zoneName);
};
