#include "delivery/upload_workers.h"

#include <utility>

void UploadWorkers::upload(UploadJob job, std::function<void(const UploadOutcome&)> done) {
  // The destination, not this: a worker may still be sending after this has gone.
  const bool started = workers_.start([&to = destination_, job = std::move(job), done] {
    const UploadOutcome outcome = to.send(job.account, job.remoteName, job.localPath);
    if (done) done(outcome);
  });
  if (!started && done) done(UploadOutcome::failed(L"not sent, Vemlix was closing"));
}
