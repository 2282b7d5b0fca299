#pragma once
// Sends the uploads that wait in the ledger again, whether Automatic Mode runs or not: for each
// shot its oldest first, with the shot's server and account as they are now, each server after
// its wait is over, and the rest of a server's at once when one gets through. Waits run on the
// steady clock and start afresh with every start of the program. Each try is reported like a
// firing.
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>

#include "delivery/delivery_clock.h"
#include "delivery/destination.h"
#include "delivery/firing_report.h"
#include "delivery/picture_files.h"
#include "delivery/picture_ledger.h"
#include "delivery/retry_pace.h"
#include "shots/shot_settings.h"

class WorkerGroup;

class RetrySender {
 public:
  static constexpr int64_t kFirstWaitSeconds = 30;
  static constexpr int64_t kLongestWaitSeconds = 15 * 60;
  // A picture whose folder cannot be reached is looked at again after this long.
  static constexpr int64_t kUnreachableWaitSeconds = 30;

  // What the shots are now, by their lasting identity.
  enum class Lookup {
    kFound,
    kDeleted,  // no shot has it any more: its waiting uploads are dropped
    kUnknown,  // the shots could not be read at start: nothing is decided about them
  };
  using ShotLookup = std::function<Lookup(const std::wstring& guid, EffectiveShot& shot)>;
  using Report = std::function<void(const FiringReport& report)>;

  RetrySender(PictureLedger& ledger, Destination& destination, PictureFiles& files,
              const DeliveryClock& clock, WorkerGroup& workers, ShotLookup lookup, Report report);

  // Gives up what waited too long, drops what no shot sends any more, and starts a send on a
  // worker for every server whose wait is over. Called every second, and by itself at once when
  // a server takes an upload again.
  void sendDue();

  // A first upload failed: its server waits from now, unless it waits already. Gives the wait
  // in seconds.
  int64_t failedFirst(const FtpAccount& account, RetryPace pace);
  // An upload to this server got through: whatever waits for it is due now.
  void reached(const FtpAccount& account);

  // No send starts any more; the ones under way end by themselves.
  void close();

 private:
  struct Pace {
    int64_t waitSeconds = 0;  // the last wait; 0 when the server was last reached
    int64_t nextMs = 0;       // on the steady clock
    bool busy = false;        // a send to it is under way
  };

  void reportGivenUp();
  void sendNext(const WaitingUpload& upload, const EffectiveShot& shot, int64_t nowMs);
  bool pictureThere(const WaitingUpload& upload, int64_t nowMs);
  void send(const DeliveryTicket& ticket, const WaitingUpload& upload, const EffectiveShot& shot);
  // A line for the log about something that happened to a shot's waiting uploads.
  void tell(const std::wstring& shotName, const std::wstring& note);
  int64_t slowDown(Pace& pace, RetryPace how, int64_t nowMs);

  PictureLedger& ledger_;
  Destination& destination_;
  PictureFiles& files_;
  const DeliveryClock& clock_;
  WorkerGroup& workers_;
  const ShotLookup lookup_;
  const Report report_;

  std::mutex looking_;                                // one look at a time
  std::mutex lock_;                                   // what follows
  std::map<std::wstring, Pace> paces_;                // by serverKey()
  std::map<std::wstring, int64_t> unreachableUntil_;  // by shot, on the steady clock
  bool closed_ = false;
};
