#pragma once
// Counts the captures that were skipped because the screen had not changed, so the log gets
// one line per run of them rather than one per capture: when the run ends, and every hour
// while it lasts.
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "platform/clock.h"

class SkipTally {
 public:
  // A capture of the shot was skipped at `now`: the line to log when the run has lasted an hour
  // since it began or since its last line.
  std::optional<std::wstring> skipped(const std::wstring& shotName, const platform::LocalTime& now);
  // A capture of the shot was not skipped: the line for the run it ends, if any.
  std::optional<std::wstring> ended(const std::wstring& shotName, const platform::LocalTime& now);

 private:
  struct Run {
    uint64_t count = 0;
    int64_t since = 0;
  };
  static std::wstring lineOf(const std::wstring& shotName, const platform::LocalTime& now,
                             uint64_t count);

  std::mutex lock_;
  std::map<std::wstring, Run> runs_;
};
