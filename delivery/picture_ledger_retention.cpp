// Retention: the shot's oldest pictures go once they are beyond its limits and settled.
#include <climits>

#include "delivery/picture_ledger.h"
#include "platform/files.h"

namespace {

// Pictures looked at under one hold of the lock: saves wait no longer than this many deletes.
constexpr int64_t kBatch = 64;

}  // namespace

size_t PictureLedger::pictureCount(const std::wstring& shotGuid) {
  std::lock_guard guard(lock_);
  const int64_t shot = shotId(shotGuid);
  if (shot == 0) return 0;
  sqlite::Statement& count = sql("SELECT pictures FROM shot WHERE id = ?1");
  count.reset().bind(1, shot);
  return count.step() == SQLITE_ROW ? static_cast<size_t>(count.integer(0)) : 0;
}

size_t PictureLedger::trim(const std::wstring& shotGuid, int32_t keepDays, int32_t keepCount) {
  if (keepDays <= 0 && keepCount <= 0) return 0;
  std::lock_guard trimming(trimLock_);
  int64_t shot = 0;
  {
    std::lock_guard guard(lock_);
    shot = shotId(shotGuid);
  }
  size_t deleted = 0;
  int64_t afterSeq = 0;
  int64_t keptBeyond = 0;  // pictures beyond the count that must stay for now
  while (shot != 0 && trimBatch(shot, keepDays, keepCount, afterSeq, keptBeyond, deleted)) {
  }
  return deleted;
}

// One batch, oldest first from `afterSeq`; false once nothing more is beyond the limits.
bool PictureLedger::trimBatch(int64_t shot, int32_t keepDays, int32_t keepCount, int64_t& afterSeq,
                              int64_t& keptBeyond, size_t& deleted) {
  std::lock_guard guard(lock_);
  sqlite::Statement& state =
      sql("SELECT s.pictures, coalesce(n.seq, 0), coalesce(n.taken_utc, 0) FROM shot s "
          "LEFT JOIN (SELECT seq, taken_utc FROM picture WHERE shot = ?1 AND saving = 0 "
          "ORDER BY seq DESC LIMIT 1) n WHERE s.id = ?1");
  state.reset().bind(1, shot);
  if (state.step() != SQLITE_ROW) return false;
  const int64_t pictures = state.integer(0), newestSeq = state.integer(1);
  const int64_t newestUtc = state.integer(2), now = trusted_.now();
  // A clock that reads earlier than the newest picture was set back: age tells nothing now.
  const int64_t oldestKept = keepDays > 0 && now >= newestUtc
                                 ? now - int64_t{keepDays} * platform::kSecondsPerDay
                                 : INT64_MIN;
  sqlite::Statement& batch =
      sql("SELECT p.id, p.path, p.seq, p.taken_utc, p.saving, EXISTS(SELECT 1 FROM delivery d "
          "WHERE d.picture = p.id AND d.state < 2) FROM picture p "
          "WHERE p.shot = ?1 AND p.seq > ?2 ORDER BY p.seq LIMIT ?3");
  batch.reset().bind(1, shot).bind(2, afterSeq).bind(3, kBatch);
  struct Candidate {
    int64_t id;
    std::wstring path;
    int64_t seq;
    int64_t takenUtc;
    bool mustStay;
  };
  std::vector<Candidate> candidates;
  while (batch.step() == SQLITE_ROW) {
    candidates.push_back({batch.integer(0), batch.text(1), batch.integer(2), batch.integer(3),
                          batch.integer(4) != 0 || batch.integer(5) != 0});
  }
  int64_t excess = keepCount > 0 ? pictures - keepCount - keptBeyond : 0;
  for (const Candidate& picture : candidates) {
    if (picture.seq >= newestSeq) return false;
    if (excess <= 0 && picture.takenUtc >= oldestKept) return false;
    afterSeq = picture.seq;
    const Settled settled = picture.mustStay ? Settled::kKept : settle(picture.id, picture.path);
    // One kept keeps its place beyond the limit, and pushes no newer picture out.
    if (settled == Settled::kKept) ++keptBeyond;
    if (settled == Settled::kDeleted) ++deleted;
    --excess;
  }
  return static_cast<int64_t>(candidates.size()) == kBatch;
}

// Deletes the picture's file and its record. A file already gone from a folder that can be
// read is only forgotten; one whose folder cannot be reached now stays on record.
PictureLedger::Settled PictureLedger::settle(int64_t picture, const std::wstring& path) {
  const bool existed = files_.exists(path);
  if (existed && !files_.remove(path)) return Settled::kKept;  // held open by someone: next time
  if (!existed && !files_.folderExists(platform::folderOf(path))) return Settled::kKept;
  sql("DELETE FROM picture WHERE id = ?1").reset().bind(1, picture).run();
  return existed ? Settled::kDeleted : Settled::kForgotten;
}
