#include "delivery/retry_sender.h"

#include <algorithm>
#include <utility>

#include "capture/output_name.h"
#include "platform/files.h"
#include "platform/worker_group.h"

namespace {

constexpr int64_t kMsPerSecond = 1000;

}  // namespace

RetrySender::RetrySender(PictureLedger& ledger, Destination& destination, PictureFiles& files,
                         const DeliveryClock& clock, WorkerGroup& workers, ShotLookup lookup,
                         Report report)
    : ledger_(ledger),
      destination_(destination),
      files_(files),
      clock_(clock),
      workers_(workers),
      lookup_(std::move(lookup)),
      report_(std::move(report)) {}

void RetrySender::sendDue() {
  std::lock_guard looking(looking_);
  {
    std::lock_guard guard(lock_);
    if (closed_) return;
  }
  reportGivenUp();
  const int64_t nowMs = clock_.steadyMilliseconds();
  for (const WaitingUpload& upload : ledger_.oldestWaitingPerShot()) {
    EffectiveShot shot;
    const Lookup found = lookup_(upload.shotGuid, shot);
    if (found == Lookup::kUnknown) continue;
    if (found == Lookup::kDeleted || shot.ftp.server.empty()) {
      const std::wstring why =
          found == Lookup::kDeleted ? L"the shot was deleted" : L"the shot has no server any more";
      const size_t dropped = ledger_.dropWaitingOf(upload.shotGuid, why);
      tell(found == Lookup::kDeleted ? upload.shotName : shot.name,
           L"dropped " + std::to_wstring(dropped) +
               (dropped == 1 ? L" waiting upload: " : L" waiting uploads: ") + why);
      continue;
    }
    sendNext(upload, shot, nowMs);
  }
}

void RetrySender::reportGivenUp() {
  for (const WaitingUpload& upload : ledger_.giveUpBeyondLimits()) {
    tell(upload.shotName,
         L"gave up sending " + upload.path + L": it waited too long, or too many were waiting");
  }
}

// The shot's oldest waiting upload goes now, if its server's wait is over and its picture is
// there to be sent.
void RetrySender::sendNext(const WaitingUpload& upload, const EffectiveShot& shot, int64_t nowMs) {
  const std::wstring server = serverKey(shot.ftp);
  {
    std::lock_guard guard(lock_);
    const Pace& pace = paces_[server];
    if (closed_ || pace.busy || pace.nextMs > nowMs) return;
    const auto unreachable = unreachableUntil_.find(upload.shotGuid);
    if (unreachable != unreachableUntil_.end() && unreachable->second > nowMs) return;
  }
  if (!pictureThere(upload, nowMs)) return;
  const DeliveryTicket ticket = ledger_.startRetry(upload.delivery);
  if (!ticket) return;
  {
    std::lock_guard guard(lock_);
    paces_[server].busy = true;
  }
  if (workers_.start([this, ticket, upload, shot] { send(ticket, upload, shot); })) return;
  // The program is ending: it waits for the next start.
  ledger_.failed(ticket, L"not sent, Vemlix was closing", clock_.utcSeconds());
  std::lock_guard guard(lock_);
  paces_[server].busy = false;
}

// Only a picture missing from a folder that can be read is gone; one on a drive or share that
// is not there now waits for it.
bool RetrySender::pictureThere(const WaitingUpload& upload, int64_t nowMs) {
  if (files_.exists(upload.path)) return true;
  if (files_.folderExists(platform::folderOf(upload.path))) {
    ledger_.forgetPicture(upload.picture);
    tell(upload.shotName, L"not sent again: " + upload.path + L" is gone");
    return false;
  }
  std::lock_guard guard(lock_);
  unreachableUntil_[upload.shotGuid] = nowMs + kUnreachableWaitSeconds * kMsPerSecond;
  return false;
}

void RetrySender::send(const DeliveryTicket& ticket, const WaitingUpload& upload,
                       const EffectiveShot& shot) {
  const UploadOutcome outcome =
      destination_.send(shot.ftp, remotePathIn(shot.ftp, upload.remoteName), upload.path);
  const std::wstring server = serverKey(shot.ftp);
  if (outcome) {
    ledger_.delivered(ticket);
    reached(shot.ftp);
  } else {
    int64_t wait = 0;
    {
      std::lock_guard guard(lock_);
      wait = slowDown(paces_[server], retryPaceOf(outcome), clock_.steadyMilliseconds());
    }
    ledger_.failed(ticket, outcome.detail, clock_.utcSeconds() + wait);
  }
  {
    std::lock_guard guard(lock_);
    paces_[server].busy = false;
  }
  FiringReport report;
  report.time = platform::localNow();
  report.shotName = shot.name;
  report.captured = true;
  report.localFile = upload.path;
  report.retried = true;
  report.upload = outcome;
  report.keptToRetry = !outcome;
  report.waitingUploads = ledger_.waitingCount();
  if (report_) report_(report);
  // The server takes uploads again: what else waits for it goes now, not a look later.
  if (outcome) sendDue();
}

int64_t RetrySender::failedFirst(const FtpAccount& account, RetryPace how) {
  std::lock_guard guard(lock_);
  Pace& pace = paces_[serverKey(account)];
  // A new failure does not lengthen the wait: only retries that fail again do.
  if (how == RetryPace::kSlow || pace.waitSeconds == 0)
    return slowDown(pace, how, clock_.steadyMilliseconds());
  return pace.waitSeconds;
}

void RetrySender::reached(const FtpAccount& account) {
  std::lock_guard guard(lock_);
  const auto pace = paces_.find(serverKey(account));
  if (pace == paces_.end()) return;
  pace->second.waitSeconds = 0;
  pace->second.nextMs = clock_.steadyMilliseconds();
}

void RetrySender::close() {
  std::lock_guard guard(lock_);
  closed_ = true;
}

int64_t RetrySender::slowDown(Pace& pace, RetryPace how, int64_t nowMs) {
  if (how == RetryPace::kSlow)
    pace.waitSeconds = kLongestWaitSeconds;
  else
    pace.waitSeconds = pace.waitSeconds == 0 ? kFirstWaitSeconds
                                             : std::min(pace.waitSeconds * 2, kLongestWaitSeconds);
  pace.nextMs = nowMs + pace.waitSeconds * kMsPerSecond;
  return pace.waitSeconds;
}

void RetrySender::tell(const std::wstring& shotName, const std::wstring& note) {
  if (!report_) return;
  FiringReport report;
  report.time = platform::localNow();
  report.shotName = shotName;
  report.whyNoFile = note;
  report.waitingUploads = ledger_.waitingCount();
  report_(report);
}
