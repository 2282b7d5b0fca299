#pragma once
// Uploads that failed for a reason that may pass, each kept in a small file of its own in
// SharedData\Outbox until it is delivered, so that an hour without network or a server restart
// loses no picture, across restarts of the program too. What is sent again is the shot's local
// copy. The password stays in its stored (cipher) form, as in every data file.
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "delivery/upload_outcome.h"
#include "shots/shot_settings.h"

inline constexpr wchar_t kOutboxFolderName[] = L"Outbox";

// Everything one waiting upload needs.
struct OutboxEntry {
  std::wstring shotName;   // for the log
  std::wstring localPath;  // the shot's saved copy
  FtpAccount account;      // the password as stored
  std::wstring remoteName;
  int64_t queuedAt = 0;  // seconds since 1970, UTC, when it first failed

  bool operator==(const OutboxEntry&) const = default;
};

// The file of one entry: UTF-8 key lines. Nothing for text that lacks the local path, the
// server or the remote name, or whose server is no address.
std::string formatOutboxEntry(const OutboxEntry& entry);
std::optional<OutboxEntry> parseOutboxEntry(std::string_view bytes);

// How soon a failed upload is tried again.
enum class RetryPace {
  kSoon,  // no connection, a time-out, a dropped transfer, a 4xx reply: doubling waits
  kSlow,  // a refusal (530, 550, 553, any 5xx): the user may be fixing the account
};
// From an upload's failure text, which starts with the server's reply when it gave one.
RetryPace retryPaceOf(std::wstring_view failure);
RetryPace retryPaceOf(const UploadOutcome& failure);

class Outbox {
 public:
  static constexpr int64_t kFirstWait = 30;
  static constexpr int64_t kLongestWait = 15 * 60;
  static constexpr int64_t kLongestStay = 7 * 24 * 60 * 60;
  static constexpr size_t kMostWaiting = 10000;

  struct Waiting {
    std::wstring fileName;
    OutboxEntry entry;
  };

  explicit Outbox(std::wstring folder);

  // Reads what the folder holds, everything due at once. Unreadable files are left alone.
  void load(int64_t now);

  // Keeps the upload to be sent again; false when its file could not be written.
  bool add(const OutboxEntry& entry, RetryPace pace, int64_t now);

  // The oldest waiting upload of a server whose wait is over and that has no retry under way;
  // it is under way from now until delivered(), failedAgain() or drop().
  std::optional<Waiting> nextDue(int64_t now);
  void delivered(const Waiting& upload, int64_t now);
  void failedAgain(const Waiting& upload, RetryPace pace, int64_t now);
  // Gone for good: its local copy is missing.
  void drop(const Waiting& upload);

  // An upload to this server got through: whatever waits for it is due now.
  void reached(const FtpAccount& account, int64_t now);

  // The uploads given up since last asked, older than kLongestStay or beyond kMostWaiting,
  // oldest first; for the log.
  std::vector<OutboxEntry> takeGivenUp(int64_t now);

  size_t size() const;
  // Whether the local file still waits to be sent: retention must keep it.
  bool holds(const std::wstring& localPath) const;

 private:
  struct Pace {
    int64_t wait = 0;  // the last wait; 0 when the server was last reached
    int64_t next = 0;  // when it may be tried
    bool busy = false;
  };

  std::wstring newFileName(int64_t now);
  void slowDown(const std::wstring& server, RetryPace pace, int64_t now);
  void giveUpBeyondLimits(int64_t now);
  void remove(const std::wstring& fileName);

  const std::wstring folder_;
  mutable std::mutex lock_;
  std::map<std::wstring, OutboxEntry> waiting_;  // by file name: oldest first
  std::map<std::wstring, Pace> servers_;         // by serverKey()
  std::vector<OutboxEntry> givenUp_;
  uint32_t sequence_ = 0;
};
