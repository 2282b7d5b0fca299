#pragma once
// The pictures this program saved, shot by shot, so that keeping only the newest ones deletes
// nothing else: a file that merely looks like a shot's picture is never touched. The record is
// a journal, SavedPictures.idx beside the data files, that only grows by appended lines and is
// rewritten whole (atomically) when most of its lines are spent, so a save costs one short
// append however many pictures are kept.
#include <cstdint>
#include <functional>
#include <list>
#include <map>
#include <mutex>
#include <string>
#include <unordered_map>

#include "platform/clock.h"

inline constexpr wchar_t kSavedPicturesFileName[] = L"SavedPictures.idx";

class SavedPictures {
 public:
  // The program's record in the data folder; created on first use.
  static SavedPictures& instance();

  explicit SavedPictures(std::wstring journalPath);

  // `path` was saved for the shot `shotName` at `time`. A path saved again (a time text that
  // repeats) counts once, as the newest.
  void record(const std::wstring& shotName, const std::wstring& path,
              const platform::LocalTime& time);

  // Deletes the shot's oldest pictures: those older than `keepDays` days at `now`, and those
  // beyond the newest `keepCount` (0 sets no limit to either). A picture the user already
  // removed is forgotten; one that cannot be deleted now is tried again next time. Returns how
  // many were deleted.
  // `stillNeeded`, when given, keeps a picture that must stay for now (one waiting to be
  // uploaded), without counting it against the limits.
  size_t trim(const std::wstring& shotName, int32_t keepDays, int32_t keepCount,
              const platform::LocalTime& now,
              const std::function<bool(const std::wstring& path)>& stillNeeded = nullptr);

  // The shot was deleted: its pictures stay for good, even if a new shot takes its name.
  void forget(const std::wstring& shotName);

  // How many pictures of the shot are on record.
  size_t count(const std::wstring& shotName);

 private:
  struct Picture {
    int64_t second = 0;  // local time, seconds since 1970-01-01 00:00
    std::wstring path;
  };
  struct Shot {
    std::list<Picture> oldestFirst;
    std::unordered_map<std::wstring, std::list<Picture>::iterator> byPath;
  };

  void loadOnce();
  void replay(std::wstring_view line);
  void add(const std::wstring& shotName, Picture picture);
  void append(const std::wstring& line);
  void compactIfWasteful();

  std::mutex lock_;
  std::wstring path_;
  bool loaded_ = false;
  std::map<std::wstring, Shot> shots_;
  size_t journalLines_ = 0;
};
