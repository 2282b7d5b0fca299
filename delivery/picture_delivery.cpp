#include "delivery/picture_delivery.h"

#include <utility>

#include "capture/output_name.h"
#include "capture/time_stamper.h"
#include "delivery/disk_guard.h"
#include "delivery/retry_sender.h"

PictureDelivery::PictureDelivery(DeliveryParts parts) : parts_(std::move(parts)) {}

FiringReport PictureDelivery::deliver(const EffectiveShot& shot, platform::TemporaryFile picture,
                                      const platform::LocalTime& firedAt) const {
  FiringReport report;
  report.time = firedAt;
  report.shotName = shot.name;
  report.captured = true;
  const std::wstring stamp = stampNow(shot.timestampPattern);
  std::optional<std::wstring> serverName;
  if (!shot.ftp.server.empty()) serverName = serverFileName(shot, stamp);

  const DeliveryTicket send = saveLocalCopy(shot, stamp, picture.path(), serverName, report);
  if (!report.localFile.empty() && parts_.ledger)
    report.deletedOld = parts_.ledger->trim(shot.guid, shot.keepDays, shot.keepCount);
  report.upload = serverName ? parts_.destination->send(
                                   shot.ftp, remotePathIn(shot.ftp, *serverName), picture.path())
                             : UploadOutcome::noServer();
  picture.reset();
  settle(shot, send, report);
  return report;
}

// The local copy and its record; the first send of its upload when it has one to wait for.
DeliveryTicket PictureDelivery::saveLocalCopy(const EffectiveShot& shot, std::wstring_view stamp,
                                              const std::wstring& captured,
                                              const std::optional<std::wstring>& serverName,
                                              FiringReport& report) const {
  const std::wstring folder = localFolderOf(shot);
  if (const auto freeMb = freeMegabytesBelowFloor(folder, shot.minFreeMb)) {
    report.whyNoFile = L"not saved: " + diskNearlyFullText(folder, *freeMb);
    return {};
  }
  const auto target = localTargetPath(shot, stamp);
  if (!target) {
    report.whyNoFile =
        L"not saved: the path of " + folder + L" is too long for the picture's name and time";
    return {};
  }
  PictureLedger* ledger = parts_.ledger;
  const PictureSlot slot = ledger ? ledger->reserve(shot.guid, shot.name, *target) : PictureSlot{};
  if (!LocalSaver(*parts_.files).copyIntoPlace(captured, *target)) {
    if (slot) ledger->abandon(slot);
    report.whyNoFile = L"not saved: could not write " + *target;
    return {};
  }
  report.localFile = *target;
  if (!slot) return {};
  const SavedPicture saved{parts_.clock->utcSeconds(), report.time,
                           parts_.files->size(*target).value_or(0)};
  return ledger->saved(slot, saved, serverName);
}

void PictureDelivery::settle(const EffectiveShot& shot, const DeliveryTicket& send,
                             FiringReport& report) const {
  const bool failed = report.upload.result == UploadOutcome::Result::kFailed;
  if (send && parts_.ledger) {
    if (failed) {
      const RetryPace pace = retryPaceOf(report.upload);
      const int64_t wait = parts_.retries ? parts_.retries->failedFirst(shot.ftp, pace)
                                          : RetrySender::kFirstWaitSeconds;
      parts_.ledger->failed(send, report.upload.detail, parts_.clock->utcSeconds() + wait);
      report.keptToRetry = true;
    } else {
      parts_.ledger->delivered(send);
    }
  }
  if (report.upload && parts_.retries) parts_.retries->reached(shot.ftp);
  if (parts_.ledger) report.waitingUploads = parts_.ledger->waitingCount();
}

std::wstring PictureDelivery::stampNow(std::wstring_view pattern) const {
  if (parts_.stamp) return parts_.stamp(pattern);
  return TimeStamper().formatNow(pattern);
}
