#pragma once
// The record of every picture Vemlix saved and of each of its deliveries, in one SQLite
// database (Vemlix.db in %LOCALAPPDATA%\Vemlix: it describes this PC's files, and a live
// database must not sit in a folder that is synced to the cloud). Retention deletes only what
// the ledger says is settled, and only pictures in the ledger are ever sent again.
//
// Every change is one transaction in a write-ahead log, so a process killed at any moment
// loses no committed record and leaves nothing half-written. All operations are thread-safe.
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "delivery/delivery_clock.h"
#include "delivery/local_saver.h"
#include "delivery/picture_files.h"
#include "delivery/sqlite_database.h"
#include "platform/clock.h"

inline constexpr wchar_t kLedgerFileName[] = L"Vemlix.db";

enum class DeliveryState : int { kWaiting = 0, kSending = 1, kDelivered = 2, kGivenUp = 3 };

// A picture whose local copy is being written. The ledger knows of it from reserve() on, so
// retention keeps away from it and a crash before saved() or abandon() is tidied at the next
// start.
struct PictureSlot {
  int64_t picture = 0;
  bool refresh = false;  // the path was on record already: a fixed file name saved again
  explicit operator bool() const { return picture != 0; }
};

// One send of one delivery. An outcome counts only for the send it belongs to, so a late answer
// to an older send of the same picture changes nothing.
struct DeliveryTicket {
  int64_t delivery = 0;
  int64_t generation = 0;
  explicit operator bool() const { return delivery != 0; }
};

struct SavedPicture {
  int64_t takenUtc = 0;
  platform::LocalTime takenLocal;
  uint64_t size = 0;
};

// The oldest waiting upload of one shot.
struct WaitingUpload {
  int64_t delivery = 0;
  int64_t picture = 0;
  std::wstring shotGuid;
  std::wstring shotName;  // as it was when the picture was saved
  std::wstring path;
  std::wstring remoteName;  // the file's name on the server, without the folder
  int64_t tries = 0;
  int64_t queuedUtc = 0;
};

// A picture of the records older versions kept.
struct AdoptedPicture {
  std::wstring shotGuid;
  std::wstring shotName;
  std::wstring path;
  int64_t takenUtc = 0;
  std::optional<std::wstring> waitingAs;  // its name on the server, when its upload waited
};

class PictureLedger {
 public:
  static constexpr int64_t kLongestStay = 7 * 24 * 60 * 60;
  static constexpr int64_t kMostWaiting = 10000;

  // Opens the ledger at `path`, making it when missing, and tidies what a crash left: copies
  // under way, sends under way (they wait again). Null, with `failure` in plain words, when it
  // cannot be opened; a file that is not a database is moved aside and a new one made.
  static std::unique_ptr<PictureLedger> open(const std::wstring& path, PictureFiles& files,
                                             const DeliveryClock& clock, std::wstring& failure);
  ~PictureLedger();

  // The save of one picture: reserve() before the copy is written, then saved() once it is in
  // place, or abandon() when it could not be. saved() records the delivery to the shot's
  // server when `remoteName` is given, sending from this moment, and gives its first send.
  PictureSlot reserve(const std::wstring& shotGuid, const std::wstring& shotName,
                      const std::wstring& path);
  DeliveryTicket saved(const PictureSlot& slot, const SavedPicture& picture,
                       const std::optional<std::wstring>& remoteName);
  void abandon(const PictureSlot& slot);

  // How a send ended.
  void delivered(const DeliveryTicket& send);
  void failed(const DeliveryTicket& send, std::wstring_view failure, int64_t nextTryUtc);
  void givenUp(const DeliveryTicket& send, std::wstring_view why);

  // The oldest waiting upload of each shot, oldest first.
  std::vector<WaitingUpload> oldestWaitingPerShot();
  // A new send of a waiting upload; none when it no longer waits.
  DeliveryTicket startRetry(int64_t delivery);
  // Gives up what waited longer than kLongestStay, and the oldest beyond kMostWaiting; gives
  // them for the log.
  std::vector<WaitingUpload> giveUpBeyondLimits();
  // Gives up every waiting upload of the shot; how many there were.
  size_t dropWaitingOf(const std::wstring& shotGuid, std::wstring_view why);
  // A picture missing from a folder that can be read: gone for good, with its deliveries.
  void forgetPicture(int64_t picture);
  // Uploads that failed at least once and are still to be delivered.
  size_t waitingCount();

  // Deletes the shot's oldest pictures beyond its limits: older than `keepDays` days (0: no
  // limit), beyond the newest `keepCount` (0: no limit). Never a picture with an upload that
  // waits or is being sent, never one being saved, never the shot's newest, and by age nothing
  // while the clock reads earlier than the newest picture. A picture the user already removed
  // is forgotten; one whose folder cannot be reached now is kept. Gives how many it deleted.
  size_t trim(const std::wstring& shotGuid, int32_t keepDays, int32_t keepCount);
  size_t pictureCount(const std::wstring& shotGuid);

  // Older records taken over once, all in one transaction: pictures saved before there was a
  // ledger, some with an upload that waited. Nothing changes for a path already on record.
  bool adopt(const std::vector<AdoptedPicture>& pictures);

 private:
  enum class Settled { kKept, kDeleted, kForgotten };

  PictureLedger(sqlite::Database db, PictureFiles& files, const DeliveryClock& clock);

  bool createSchema();
  void tidyAfterCrash();
  sqlite::Statement& sql(const char* text);
  int64_t shotId(const std::wstring& guid);  // 0 when the ledger has no picture of it
  int64_t shotId(const std::wstring& guid, const std::wstring& name);  // made when missing
  int64_t nextSeq();
  bool trimBatch(int64_t shot, int32_t keepDays, int32_t keepCount, int64_t& afterSeq,
                 int64_t& keptBeyond, size_t& deleted);
  Settled settle(int64_t picture, const std::wstring& path);
  void adoptOne(const AdoptedPicture& picture);
  void endSend(const DeliveryTicket& send, DeliveryState state, std::wstring_view failure,
               int64_t nextTryUtc);

  std::mutex lock_;      // the connection and everything below
  std::mutex trimLock_;  // one trim at a time, so two never both delete the same excess
  sqlite::Database db_;
  PictureFiles& files_;
  const DeliveryClock& clock_;
  TrustedUtc trusted_;
  std::unordered_map<const char*, sqlite::Statement> statements_;
  struct KnownShot {
    int64_t id = 0;
    std::wstring name;
  };
  std::unordered_map<std::wstring, KnownShot> shotIds_;
  int64_t lastSeq_ = 0;
};
