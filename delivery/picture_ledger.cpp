#include "delivery/picture_ledger.h"

#include <cstdio>
#include <utility>

#include "platform/files.h"
#include "platform/text_codec.h"

namespace {

constexpr int kSchemaVersion = 1;

// The shot table counts its pictures by trigger, so that a limit is checked without counting.
constexpr char kSchema[] = R"sql(
CREATE TABLE IF NOT EXISTS shot(
  id INTEGER PRIMARY KEY,
  guid TEXT NOT NULL UNIQUE,
  name TEXT NOT NULL DEFAULT '',
  pictures INTEGER NOT NULL DEFAULT 0);
CREATE TABLE IF NOT EXISTS picture(
  id INTEGER PRIMARY KEY,
  shot INTEGER NOT NULL REFERENCES shot(id),
  path TEXT NOT NULL,
  path_key TEXT NOT NULL UNIQUE,
  taken_utc INTEGER NOT NULL DEFAULT 0,
  taken_local TEXT NOT NULL DEFAULT '',
  size INTEGER NOT NULL DEFAULT 0,
  seq INTEGER NOT NULL DEFAULT 0,
  saving INTEGER NOT NULL DEFAULT 1);
CREATE INDEX IF NOT EXISTS picture_by_shot ON picture(shot, seq);
CREATE INDEX IF NOT EXISTS picture_saving ON picture(saving) WHERE saving = 1;
CREATE TABLE IF NOT EXISTS delivery(
  id INTEGER PRIMARY KEY,
  picture INTEGER NOT NULL REFERENCES picture(id) ON DELETE CASCADE,
  shot INTEGER NOT NULL,
  destination TEXT NOT NULL,
  remote_name TEXT NOT NULL,
  state INTEGER NOT NULL,
  tries INTEGER NOT NULL DEFAULT 0,
  generation INTEGER NOT NULL DEFAULT 0,
  queued_utc INTEGER NOT NULL,
  next_try_utc INTEGER,
  settled_utc INTEGER,
  last_failure TEXT,
  UNIQUE(picture, destination));
CREATE INDEX IF NOT EXISTS delivery_by_shot ON delivery(shot, state, id);
CREATE INDEX IF NOT EXISTS delivery_by_age ON delivery(state, queued_utc);
CREATE TRIGGER IF NOT EXISTS picture_added AFTER INSERT ON picture BEGIN
  UPDATE shot SET pictures = pictures + 1 WHERE id = NEW.shot; END;
CREATE TRIGGER IF NOT EXISTS picture_removed AFTER DELETE ON picture BEGIN
  UPDATE shot SET pictures = pictures - 1 WHERE id = OLD.shot; END;
CREATE TRIGGER IF NOT EXISTS picture_moved AFTER UPDATE OF shot ON picture BEGIN
  UPDATE shot SET pictures = pictures - 1 WHERE id = OLD.shot;
  UPDATE shot SET pictures = pictures + 1 WHERE id = NEW.shot; END;
)sql";

// The one destination every shot has today: its server.
constexpr wchar_t kServerDestination[] = L"server";

std::wstring localText(const platform::LocalTime& time) {
  wchar_t text[32] = {};
  std::swprintf(text, 32, L"%04d-%02d-%02d %02d:%02d:%02d", time.year, time.month, time.day,
                time.hour, time.minute, time.second);
  return text;
}

bool isNotADatabase(int code) {
  const int primary = code & 0xFF;
  return primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT;
}

// Pragmas and tables; false when SQLite says no.
bool prepare(sqlite::Database& db) {
  return db.execute("PRAGMA busy_timeout = 5000") && db.execute("PRAGMA journal_mode = WAL") &&
         db.execute("PRAGMA synchronous = NORMAL") && db.execute("PRAGMA foreign_keys = ON");
}

}  // namespace

std::unique_ptr<PictureLedger> PictureLedger::open(const std::wstring& path, PictureFiles& files,
                                                   const DeliveryClock& clock,
                                                   std::wstring& failure) {
  for (int attempt = 0; attempt < 2; ++attempt) {
    std::string error;
    std::optional<sqlite::Database> db = sqlite::Database::open(path, error);
    if (!db) {
      failure = L"the picture ledger " + path + L" cannot be opened (" + decodeUtf8(error) + L")";
      return nullptr;
    }
    std::unique_ptr<PictureLedger> ledger(new PictureLedger(std::move(*db), files, clock));
    if (prepare(ledger->db_) && ledger->createSchema()) {
      ledger->tidyAfterCrash();
      return ledger;
    }
    const int code = ledger->db_.lastErrorCode();
    failure = L"the picture ledger " + path + L" cannot be used (" +
              decodeUtf8(ledger->db_.lastError()) + L")";
    ledger.reset();
    if (attempt > 0 || !isNotADatabase(code)) return nullptr;
    // Damaged beyond use: kept aside for whoever wants to look, and a new ledger begun.
    const std::wstring aside = path + L".damaged-" + std::to_wstring(clock.utcSeconds());
    if (!files.rename(path, aside)) return nullptr;
    files.remove(path + L"-wal");
    files.remove(path + L"-shm");
  }
  return nullptr;
}

PictureLedger::PictureLedger(sqlite::Database db, PictureFiles& files, const DeliveryClock& clock)
    : db_(std::move(db)), files_(files), clock_(clock), trusted_(clock) {}

PictureLedger::~PictureLedger() {
  statements_.clear();  // before the connection they belong to
}

bool PictureLedger::createSchema() {
  sqlite::Transaction transaction(db_);
  if (!transaction || !db_.execute(kSchema)) return false;
  sqlite::Statement version(db_.get(), "PRAGMA user_version");
  if (version.step() != SQLITE_ROW || version.integer(0) > kSchemaVersion) return false;
  if (!db_.execute("PRAGMA user_version = " + std::to_string(kSchemaVersion))) return false;
  sqlite::Statement last(db_.get(), "SELECT coalesce(max(seq), 0) FROM picture");
  if (last.step() != SQLITE_ROW) return false;
  lastSeq_ = last.integer(0);
  return transaction.commit();
}

// A copy under way when the process ended: whole under its final name, or not at all.
// A send under way when it ended waits again.
void PictureLedger::tidyAfterCrash() {
  std::lock_guard guard(lock_);
  sqlite::Transaction transaction(db_);
  sqlite::Statement& saving = sql("SELECT id, path, taken_utc FROM picture WHERE saving = 1");
  saving.reset();
  struct Unfinished {
    int64_t id;
    std::wstring path;
    int64_t takenUtc;
  };
  std::vector<Unfinished> unfinished;
  while (saving.step() == SQLITE_ROW)
    unfinished.push_back({saving.integer(0), saving.text(1), saving.integer(2)});
  for (const Unfinished& row : unfinished) {
    files_.remove(row.path + kSavingSuffix);
    const auto size = files_.size(row.path);
    if (!size) {
      sql("DELETE FROM picture WHERE id = ?1").reset().bind(1, row.id).run();
      continue;
    }
    const int64_t taken = row.takenUtc ? row.takenUtc : trusted_.now();
    sql("UPDATE picture SET saving = 0, size = ?2, taken_utc = ?3, seq = ?4 WHERE id = ?1")
        .reset()
        .bind(1, row.id)
        .bind(2, static_cast<int64_t>(*size))
        .bind(3, taken)
        .bind(4, nextSeq())
        .run();
  }
  sql("UPDATE delivery SET state = 0 WHERE state = 1").reset().run();
  transaction.commit();
}

sqlite::Statement& PictureLedger::sql(const char* text) {
  auto found = statements_.find(text);
  if (found == statements_.end())
    found = statements_.emplace(text, sqlite::Statement(db_.get(), text)).first;
  return found->second;
}

int64_t PictureLedger::shotId(const std::wstring& guid) {
  if (const auto known = shotIds_.find(guid); known != shotIds_.end()) return known->second.id;
  sqlite::Statement& find = sql("SELECT id, name FROM shot WHERE guid = ?1");
  find.reset().bind(1, guid);
  if (find.step() != SQLITE_ROW) return 0;
  const int64_t id = find.integer(0);
  shotIds_.emplace(guid, KnownShot{id, find.text(1)});
  return id;
}

// The name is only for the log: a deleted shot's waiting uploads are named by it.
int64_t PictureLedger::shotId(const std::wstring& guid, const std::wstring& name) {
  const int64_t known = shotId(guid);
  if (known != 0 && shotIds_[guid].name == name) return known;
  sql("INSERT INTO shot(guid, name) VALUES(?1, ?2) ON CONFLICT(guid) DO UPDATE SET name = ?2")
      .reset()
      .bind(1, guid)
      .bind(2, name)
      .run();
  shotIds_.erase(guid);
  return shotId(guid);
}

int64_t PictureLedger::nextSeq() {
  return ++lastSeq_;
}

PictureSlot PictureLedger::reserve(const std::wstring& shotGuid, const std::wstring& shotName,
                                   const std::wstring& path) {
  const std::wstring key = files_.comparable(path);
  std::lock_guard guard(lock_);
  sqlite::Transaction transaction(db_);
  const int64_t shot = shotId(shotGuid, shotName);
  if (!transaction || shot == 0) return {};
  PictureSlot slot;
  sqlite::Statement& find = sql("SELECT id FROM picture WHERE path_key = ?1");
  find.reset().bind(1, key);
  if (find.step() == SQLITE_ROW) {
    slot = {find.integer(0), true};
    // The same file, saved again: it is this shot's now, whoever saved it before.
    if (!sql("UPDATE picture SET saving = 1, shot = ?2, path = ?3 WHERE id = ?1")
             .reset()
             .bind(1, slot.picture)
             .bind(2, shot)
             .bind(3, path)
             .run())
      return {};
  } else {
    if (!sql("INSERT INTO picture(shot, path, path_key) VALUES(?1, ?2, ?3)")
             .reset()
             .bind(1, shot)
             .bind(2, path)
             .bind(3, key)
             .run())
      return {};
    slot = {sqlite3_last_insert_rowid(db_.get()), false};
  }
  if (transaction.commit()) return slot;
  shotIds_.clear();  // a shot made in the transaction is not there after all
  return {};
}

DeliveryTicket PictureLedger::saved(const PictureSlot& slot, const SavedPicture& picture,
                                    const std::optional<std::wstring>& remoteName) {
  std::lock_guard guard(lock_);
  sqlite::Transaction transaction(db_);
  sql("UPDATE picture SET saving = 0, taken_utc = ?2, taken_local = ?3, size = ?4, seq = ?5 "
      "WHERE id = ?1")
      .reset()
      .bind(1, slot.picture)
      .bind(2, picture.takenUtc)
      .bind(3, localText(picture.takenLocal))
      .bind(4, static_cast<int64_t>(picture.size))
      .bind(5, nextSeq())
      .run();
  DeliveryTicket ticket;
  if (!remoteName) {
    // Saved again by a shot without a server: nothing of it is to be sent any more.
    sql("DELETE FROM delivery WHERE picture = ?1").reset().bind(1, slot.picture).run();
  } else {
    sqlite::Statement& upsert =
        sql("INSERT INTO delivery(picture, shot, destination, remote_name, state, generation, "
            "queued_utc) SELECT ?1, shot, ?2, ?3, 1, 1, ?4 FROM picture WHERE id = ?1 "
            "ON CONFLICT(picture, destination) DO UPDATE SET shot = excluded.shot, "
            "remote_name = excluded.remote_name, state = 1, tries = 0, "
            "generation = generation + 1, queued_utc = excluded.queued_utc, next_try_utc = NULL, "
            "settled_utc = NULL, last_failure = NULL "
            "RETURNING id, generation");
    upsert.reset().bind(1, slot.picture).bind(2, kServerDestination).bind(3, *remoteName);
    upsert.bind(4, trusted_.now());
    if (upsert.step() == SQLITE_ROW) ticket = {upsert.integer(0), upsert.integer(1)};
    upsert.run();
  }
  return transaction.commit() ? ticket : DeliveryTicket{};
}

void PictureLedger::abandon(const PictureSlot& slot) {
  std::lock_guard guard(lock_);
  // A refresh leaves the older picture of that name where it was, and on record.
  if (slot.refresh)
    sql("UPDATE picture SET saving = 0 WHERE id = ?1").reset().bind(1, slot.picture).run();
  else
    sql("DELETE FROM picture WHERE id = ?1").reset().bind(1, slot.picture).run();
}

bool PictureLedger::adopt(const std::vector<AdoptedPicture>& pictures) {
  std::lock_guard guard(lock_);
  sqlite::Transaction transaction(db_);
  for (const AdoptedPicture& picture : pictures) adoptOne(picture);
  if (transaction.commit()) return true;
  shotIds_.clear();  // a shot made in the transaction is not there after all
  return false;
}

void PictureLedger::adoptOne(const AdoptedPicture& picture) {
  const std::wstring key = files_.comparable(picture.path);
  const int64_t shot = shotId(picture.shotGuid, picture.shotName);
  sql("INSERT INTO picture(shot, path, path_key, taken_utc, size, seq, saving) "
      "VALUES(?1, ?2, ?3, ?4, ?5, ?6, 0) ON CONFLICT(path_key) DO NOTHING")
      .reset()
      .bind(1, shot)
      .bind(2, picture.path)
      .bind(3, key)
      .bind(4, picture.takenUtc)
      .bind(5, static_cast<int64_t>(files_.size(picture.path).value_or(0)))
      .bind(6, nextSeq())
      .run();
  if (!picture.waitingAs) return;
  sql("INSERT INTO delivery(picture, shot, destination, remote_name, state, tries, queued_utc) "
      "SELECT id, shot, ?2, ?3, 0, 1, ?4 FROM picture WHERE path_key = ?1 "
      "ON CONFLICT(picture, destination) DO NOTHING")
      .reset()
      .bind(1, key)
      .bind(2, kServerDestination)
      .bind(3, *picture.waitingAs)
      .bind(4, picture.takenUtc)
      .run();
}
