#include "scheduler/shot_worker.h"

#include <utility>

#include "capture/output_name.h"
#include "capture/time_stamper.h"
#include "delivery/disk_guard.h"
#include "delivery/local_saver.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/worker_group.h"
#include "shots/shot_store.h"

namespace {

// The record may have been deleted since the shot fired; then nobody is left to tell.
void recordCapturedFile(const std::weak_ptr<ShotDefinition>& record, const std::wstring& path) {
  const ShotPtr stored = record.lock();
  if (!stored) return;
  ShotStore::instance().update(stored, [&path](ShotDefinition& shot) { shot.capturedFile = path; });
}

}  // namespace

ShotWorker::ShotWorker(ShotServices services) : services_(std::move(services)) {}

void ShotWorker::fire(const Firing& firing) const {
  const auto tell = [report = services_.report](const FiringReport& outcome) {
    if (report) report(outcome);
  };
  FiringReport report;
  report.time = platform::localNow();
  report.shotName = firing.shot.name;

  std::wstring path;
  std::wstring failure;
  const CaptureResult captured =
      services_.capture ? services_.capture(firing.shot, path, failure) : CaptureResult::kFailed;
  if (captured == CaptureResult::kUnchanged) {
    report.unchanged = true;
    tell(report);
    return;
  }
  if (captured != CaptureResult::kCaptured) {
    report.whyNoFile = L"not captured: " + (failure.empty() ? L"no picture was made" : failure);
    tell(report);
    return;
  }
  // A nearly full disk gets neither the picture nor, since nothing is kept of it, the upload.
  const std::wstring folder = localFolderOf(firing.shot);
  if (const auto freeMb = freeMegabytesBelowFloor(folder, firing.shot.minFreeMb)) {
    report.whyNoFile = diskNearlyFullText(folder, *freeMb);
    platform::removeFile(path);
    tell(report);
    return;
  }
  report.captured = true;

  const std::wstring stamp = stampNow(firing.shot.timestampPattern);
  // A failed local copy does not stop the upload: the server may still get the picture.
  const auto target = localTargetPath(firing.shot, stamp);
  if (!target) {
    report.whyNoFile = L"not saved: the path of " + localFolderOf(firing.shot) +
                       L" is too long for the picture's name and time";
  } else if (LocalSaver().saveLocalCopy(firing.shot, path, stamp)) {
    report.localFile = *target;
    if (services_.keep) report.deletedOld = services_.keep(firing.shot, *target, report.time);
  } else {
    report.whyNoFile = L"not saved: could not write " + *target;
  }
  recordCapturedFile(firing.record, path);
  // From here on the upload owns the temporary file and deletes it.
  if (services_.upload) {
    const std::wstring remoteName = remoteFileName(firing.shot, stamp);
    services_.upload(firing.shot, remoteName, path,
                     [tell, report, remoteName, shot = firing.shot,
                      keepToRetry = services_.keepToRetry](const UploadOutcome& upload) mutable {
                       report.upload = upload;
                       // The local copy is what is sent again; without one nothing can be.
                       if (upload.result == UploadOutcome::Result::kFailed &&
                           !report.localFile.empty() && keepToRetry)
                         report.keptToRetry =
                             keepToRetry(shot, remoteName, report.localFile, upload);
                       tell(report);
                     });
  } else {
    platform::removeFile(path);
    tell(report);
  }
}

bool ShotWorker::start(Firing firing, WorkerGroup& group) const {
  return group.start([worker = *this, firing = std::move(firing)] { worker.fire(firing); });
}

std::wstring ShotWorker::stampNow(std::wstring_view pattern) const {
  if (services_.stamp) return services_.stamp(pattern);
  return TimeStamper().formatNow(pattern);
}
