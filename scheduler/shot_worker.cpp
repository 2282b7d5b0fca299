#include "scheduler/shot_worker.h"

#include <utility>

#include "platform/worker_group.h"
#include "shots/shot_store.h"

namespace {

// The record may have been deleted since the shot fired; then nobody is left to tell.
void recordCapturedFile(const std::weak_ptr<ShotDefinition>& record, const std::wstring& path) {
  const ShotPtr stored = record.lock();
  if (!stored) return;
  ShotStore::instance().update(stored, [&path](ShotDefinition& shot) { shot.capturedFile = path; });
}

// Kept locally, or on the server: the screen it shows is no reason to skip the next.
bool kept(const FiringReport& report) {
  return !report.localFile.empty() || static_cast<bool>(report.upload);
}

}  // namespace

ShotWorker::ShotWorker(ShotServices services) : services_(std::move(services)) {}

void ShotWorker::fire(const Firing& firing) const {
  FiringReport report;
  report.time = platform::localNow();
  report.shotName = firing.shot.name;

  CapturedPicture picture;
  std::wstring failure;
  const CaptureResult captured =
      services_.capture ? services_.capture(firing.shot, picture, failure) : CaptureResult::kFailed;
  if (captured == CaptureResult::kUnchanged) {
    report.unchanged = true;
  } else if (captured != CaptureResult::kCaptured || !picture.file) {
    report.whyNoFile = L"not captured: " + (failure.empty() ? L"no picture was made" : failure);
  } else {
    recordCapturedFile(firing.record, picture.file.path());
    if (services_.deliver)
      report = services_.deliver(firing.shot, std::move(picture.file), report.time);
    if (kept(report) && picture.pixels && services_.keep)
      services_.keep(firing.shot, std::move(picture.pixels));
  }
  if (services_.report) services_.report(report);
}

bool ShotWorker::start(Firing firing, WorkerGroup& group) const {
  return group.start([worker = *this, firing = std::move(firing)] { worker.fire(firing); });
}
