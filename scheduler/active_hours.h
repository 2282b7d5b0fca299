#pragma once
// The working hours of a shot: the time of day and the weekdays in which Automatic Mode counts
// and takes it. Decided on the local wall clock, so clock changes, daylight saving and midnight
// follow what the user's clock says.
#include <optional>
#include <string>
#include <string_view>

#include "platform/clock.h"

// `hours` is "HH:MM-HH:MM" in 24-hour time, the end not included; a range that ends before it
// starts runs past midnight, and empty means all day. `days` is seven '1' or '0', Monday
// first; empty means every day. Text that does not have these forms (a hand-edited file)
// limits nothing, so a typing slip never stops a shot for good; nor does a range that starts
// where it ends.
bool isWithinActiveHours(std::wstring_view hours, std::wstring_view days,
                         const platform::LocalTime& now);

// A range of the day in minutes after midnight; `end` is not included.
struct ActiveHourRange {
  int start = 0;
  int end = 0;
};

// The range `hours` holds; nothing when it is empty, malformed, or starts where it ends.
std::optional<ActiveHourRange> parseActiveHours(std::wstring_view hours);

// "HH:MM-HH:MM", as stored.
std::wstring activeHoursText(const ActiveHourRange& range);
