#include "scheduler/skip_tally.h"

#include "scheduler/activity_log.h"

namespace {
constexpr int64_t kSecondsPerHour = 60 * 60;
}  // namespace

std::optional<std::wstring> SkipTally::skipped(const std::wstring& shotName,
                                               const platform::LocalTime& now) {
  const int64_t nowSecond = platform::secondsOf(now);
  std::lock_guard guard(lock_);
  Run& run = runs_[shotName];
  if (run.count++ == 0) run.since = nowSecond;
  // A clock set back starts the hour again rather than waiting for it to come round.
  if (nowSecond < run.since) run.since = nowSecond;
  if (nowSecond - run.since < kSecondsPerHour) return std::nullopt;
  const std::wstring line = lineOf(shotName, now, run.count);
  run = {0, nowSecond};
  return line;
}

std::optional<std::wstring> SkipTally::ended(const std::wstring& shotName,
                                             const platform::LocalTime& now) {
  std::lock_guard guard(lock_);
  const auto run = runs_.find(shotName);
  if (run == runs_.end()) return std::nullopt;
  const uint64_t count = run->second.count;
  runs_.erase(run);
  if (count == 0) return std::nullopt;
  return lineOf(shotName, now, count);
}

std::wstring SkipTally::lineOf(const std::wstring& shotName, const platform::LocalTime& now,
                               uint64_t count) {
  return noteLine(now, shotName,
                  L"skipped " + std::to_wstring(count) +
                      (count == 1 ? L" unchanged picture" : L" unchanged pictures"));
}
