// The deliveries of the ledger: how each send ended, what waits, and what is given up.
#include <utility>

#include "delivery/picture_ledger.h"

namespace {

WaitingUpload waitingFrom(const sqlite::Statement& row) {
  return {row.integer(0), row.integer(1), row.text(2),    row.text(3),
          row.text(4),    row.text(5),    row.integer(6), row.integer(7)};
}

}  // namespace

void PictureLedger::delivered(const DeliveryTicket& send) {
  endSend(send, DeliveryState::kDelivered, {}, 0);
}

void PictureLedger::failed(const DeliveryTicket& send, std::wstring_view failure,
                           int64_t nextTryUtc) {
  endSend(send, DeliveryState::kWaiting, failure, nextTryUtc);
}

void PictureLedger::givenUp(const DeliveryTicket& send, std::wstring_view why) {
  endSend(send, DeliveryState::kGivenUp, why, 0);
}

// Only the send that the ticket names: an answer to an older send of the picture is too late.
void PictureLedger::endSend(const DeliveryTicket& send, DeliveryState state,
                            std::wstring_view failure, int64_t nextTryUtc) {
  std::lock_guard guard(lock_);
  sqlite::Statement& end =
      sql("UPDATE delivery SET state = ?3, tries = tries + (?3 <> 3), last_failure = ?4, "
          "next_try_utc = ?5, settled_utc = CASE WHEN ?3 = 0 THEN NULL ELSE ?6 END "
          "WHERE id = ?1 AND generation = ?2");
  end.reset().bind(1, send.delivery).bind(2, send.generation);
  end.bind(3, static_cast<int64_t>(state)).bind(6, clock_.utcSeconds());
  if (failure.empty())
    end.bindNull(4);
  else
    end.bind(4, failure);
  if (nextTryUtc == 0)
    end.bindNull(5);
  else
    end.bind(5, nextTryUtc);
  end.run();
}

std::vector<WaitingUpload> PictureLedger::oldestWaitingPerShot() {
  std::lock_guard guard(lock_);
  sqlite::Statement& heads =
      sql("SELECT d.id, d.picture, s.guid, s.name, p.path, d.remote_name, d.tries, d.queued_utc "
          "FROM (SELECT min(id) AS id FROM delivery WHERE state = 0 GROUP BY shot) h "
          "JOIN delivery d ON d.id = h.id JOIN picture p ON p.id = d.picture "
          "JOIN shot s ON s.id = d.shot ORDER BY d.id");
  heads.reset();
  std::vector<WaitingUpload> waiting;
  while (heads.step() == SQLITE_ROW) waiting.push_back(waitingFrom(heads));
  return waiting;
}

DeliveryTicket PictureLedger::startRetry(int64_t delivery) {
  std::lock_guard guard(lock_);
  sqlite::Statement& start =
      sql("UPDATE delivery SET state = 1, generation = generation + 1 WHERE id = ?1 AND state = 0 "
          "RETURNING generation");
  start.reset().bind(1, delivery);
  DeliveryTicket ticket;
  if (start.step() == SQLITE_ROW) ticket = {delivery, start.integer(0)};
  start.run();
  return ticket;
}

std::vector<WaitingUpload> PictureLedger::giveUpBeyondLimits() {
  std::lock_guard guard(lock_);
  sqlite::Transaction transaction(db_);
  std::vector<WaitingUpload> givenUp;
  sqlite::Statement& old =
      sql("SELECT d.id, d.picture, s.guid, s.name, p.path, d.remote_name, d.tries, d.queued_utc "
          "FROM delivery d JOIN picture p ON p.id = d.picture JOIN shot s ON s.id = d.shot "
          "WHERE d.state = 0 AND d.queued_utc < ?1 ORDER BY d.queued_utc");
  old.reset().bind(1, trusted_.now() - kLongestStay);
  while (old.step() == SQLITE_ROW) givenUp.push_back(waitingFrom(old));
  sqlite::Statement& count = sql("SELECT count(*) FROM delivery WHERE state = 0");
  count.reset();
  const int64_t waiting = count.step() == SQLITE_ROW ? count.integer(0) : 0;
  const int64_t beyond = waiting - static_cast<int64_t>(givenUp.size()) - kMostWaiting;
  if (beyond > 0) {
    sqlite::Statement& oldest =
        sql("SELECT d.id, d.picture, s.guid, s.name, p.path, d.remote_name, d.tries, d.queued_utc "
            "FROM delivery d JOIN picture p ON p.id = d.picture JOIN shot s ON s.id = d.shot "
            "WHERE d.state = 0 AND d.queued_utc >= ?1 ORDER BY d.id LIMIT ?2");
    oldest.reset().bind(1, trusted_.now() - kLongestStay).bind(2, beyond);
    while (oldest.step() == SQLITE_ROW) givenUp.push_back(waitingFrom(oldest));
  }
  for (const WaitingUpload& upload : givenUp) {
    sql("UPDATE delivery SET state = 3, settled_utc = ?2, last_failure = ?3 WHERE id = ?1")
        .reset()
        .bind(1, upload.delivery)
        .bind(2, clock_.utcSeconds())
        .bind(3, L"it waited too long, or too many were waiting")
        .run();
  }
  return transaction.commit() ? givenUp : std::vector<WaitingUpload>{};
}

size_t PictureLedger::dropWaitingOf(const std::wstring& shotGuid, std::wstring_view why) {
  std::lock_guard guard(lock_);
  const int64_t shot = shotId(shotGuid);
  if (shot == 0) return 0;
  sql("UPDATE delivery SET state = 3, settled_utc = ?2, last_failure = ?3 "
      "WHERE shot = ?1 AND state = 0")
      .reset()
      .bind(1, shot)
      .bind(2, clock_.utcSeconds())
      .bind(3, why)
      .run();
  return static_cast<size_t>(db_.changes());
}

void PictureLedger::forgetPicture(int64_t picture) {
  std::lock_guard guard(lock_);
  sql("DELETE FROM picture WHERE id = ?1 AND saving = 0").reset().bind(1, picture).run();
}

size_t PictureLedger::waitingCount() {
  std::lock_guard guard(lock_);
  sqlite::Statement& count =
      sql("SELECT (SELECT count(*) FROM delivery WHERE state = 0) + "
          "(SELECT count(*) FROM delivery WHERE state = 1 AND tries > 0)");
  count.reset();
  return count.step() == SQLITE_ROW ? static_cast<size_t>(count.integer(0)) : 0;
}
