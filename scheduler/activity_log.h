#pragma once
// What became of each firing, for a user who was not watching: one line per firing in
// Vemlix.log beside the data files, and a one-line summary for the notification-area icon.
#include <cstdint>
#include <string>
#include <string_view>

#include "delivery/firing_report.h"
#include "platform/clock.h"

inline constexpr wchar_t kActivityLogName[] = L"Vemlix.log";
// The one older file kept when the log rolls over; it ends in .log so that it opens the same way.
inline constexpr wchar_t kOlderActivityLogName[] = L"Vemlix.old.log";
inline constexpr uint64_t kActivityLogLimit = 1024 * 1024;

// "2026-05-01 10:42:03 | Desk | saved C:\...\Desk-1.png | uploaded to ftp.example.com", or with
// the reason in place of the file and the upload's failure, and the upload's notice after one
// more " | " when it has one; always one line.
std::wstring logLine(const FiringReport& report);

// "2026-05-01 10:42:03 | Desk | deleted 3 old pictures": a line of its own about a shot.
std::wstring noteLine(const platform::LocalTime& time, std::wstring_view shotName,
                      std::wstring_view note);

// "2026-05-01 10:42:03 | Desk | deleted 3 old pictures"
std::wstring cleanUpLine(std::wstring_view shotName, size_t deleted,
                         const platform::LocalTime& time);

// "Desk 10:42:03 saved and uploaded", "Desk 10:42:03 upload failed: no answer from ...": one
// line of at most kMaxTipLength characters, as the notification area takes it.
inline constexpr size_t kMaxTipLength = 127;
std::wstring tipText(const FiringReport& report);

// Vemlix.log in one folder. Writers of every thread take turns; one that waits too long for its
// turn drops its line rather than hold up its shot.
class ActivityLog {
 public:
  // `folder` ends in a separator, as AppSettings::sharedDataFolder() gives it; an empty one
  // means there is no data folder, and nothing is written.
  explicit ActivityLog(std::wstring folder, uint64_t limit = kActivityLogLimit);

  // Appends `line` and a line end in UTF-8. A log that the line would take past the limit first
  // becomes the older file, replacing the one before. False when the line was dropped (no
  // folder, no turn in time, the file could not be written); the caller goes on regardless.
  bool write(std::wstring_view line) const;

  // Makes an empty log when there is none yet, so that it can be opened; true when it exists.
  bool create() const;

  const std::wstring& path() const { return path_; }
  const std::wstring& olderPath() const { return olderPath_; }

 private:
  std::wstring path_;
  std::wstring olderPath_;
  uint64_t limit_;
};
