#pragma once
// Uploads nobody waits for: each is sent on a worker of its own, and whoever handed it over
// hears the outcome when the send has ended.
#include <functional>
#include <string>

#include "delivery/destination.h"
#include "delivery/upload_outcome.h"
#include "platform/worker_group.h"
#include "shots/shot_settings.h"

// Everything one upload needs, copied when the upload is handed over, so the worker never
// reads a shot record that another thread may be changing or deleting.
struct UploadJob {
  FtpAccount account;       // the password as stored (cipher text)
  std::wstring remoteName;  // remoteFileName() of the capture
  std::wstring localPath;   // the picture, only read
};

class UploadWorkers {
 public:
  // Both outlive every upload started here; this may go before they end.
  UploadWorkers(Destination& destination, WorkerGroup& workers)
      : destination_(destination), workers_(workers) {}

  // Starts sending `job` on a worker of the group and returns at once. `done`, when given,
  // hears the outcome on that worker once the send has ended. When the group is closed (the
  // program is ending) or no worker can be started, nothing is sent and `done` hears so at once,
  // on the calling thread.
  void upload(UploadJob job, std::function<void(const UploadOutcome&)> done = nullptr);

 private:
  Destination& destination_;
  WorkerGroup& workers_;
};
