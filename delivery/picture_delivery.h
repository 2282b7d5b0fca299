#pragma once
// The road of one captured picture, in one call: the free-space floor, the names, the local
// copy (written beside its final name and renamed into place), its record in the ledger, the
// old pictures retention may delete, the upload, and the wait for a retry when the upload
// failed. Gives one report.
#include <functional>
#include <string>
#include <string_view>

#include "delivery/delivery_clock.h"
#include "delivery/destination.h"
#include "delivery/firing_report.h"
#include "delivery/picture_files.h"
#include "delivery/picture_ledger.h"
#include "platform/clock.h"
#include "platform/temporary_file.h"
#include "shots/shot_settings.h"

class RetrySender;

// What a delivery is made with; everything outlives it.
struct DeliveryParts {
  // Null when the ledger could not be opened: pictures are still saved and sent, but nothing is
  // kept for later, so no old picture is deleted and no failed upload is sent again.
  PictureLedger* ledger = nullptr;
  Destination* destination = nullptr;
  PictureFiles* files = nullptr;
  const DeliveryClock* clock = nullptr;
  RetrySender* retries = nullptr;  // may be null: then what fails just waits in the ledger
  // The time text of a pattern for now; empty means TimeStamper on the local clock.
  std::function<std::wstring(std::wstring_view pattern)> stamp;
};

class PictureDelivery {
 public:
  explicit PictureDelivery(DeliveryParts parts);

  // Delivers the captured `picture` of `shot`, fired at `firedAt`, and deletes the temporary
  // file. Reads the clock once, so that the local copy and the remote file carry the same time
  // text. Below the free-space floor no local copy is made, and the upload still goes.
  FiringReport deliver(const EffectiveShot& shot, platform::TemporaryFile picture,
                       const platform::LocalTime& firedAt) const;

 private:
  DeliveryTicket saveLocalCopy(const EffectiveShot& shot, std::wstring_view stamp,
                               const std::wstring& captured,
                               const std::optional<std::wstring>& serverName,
                               FiringReport& report) const;
  void settle(const EffectiveShot& shot, const DeliveryTicket& send, FiringReport& report) const;
  std::wstring stampNow(std::wstring_view pattern) const;

  DeliveryParts parts_;
};
