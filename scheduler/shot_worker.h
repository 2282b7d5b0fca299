#pragma once
// The road of one firing, whether the timer or Take Shot fired it: capture into a temporary
// file, local copy, the record's capturedFile, upload, and a report of how it all ended. The worker
// works on its own copy of the shot's values, so the UI thread may edit or delete the shot
// meanwhile.
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "capture/capture_result.h"
#include "delivery/upload_outcome.h"
#include "scheduler/activity_log.h"
#include "shots/shot_definition.h"
#include "shots/shot_settings.h"

class WorkerGroup;

// One shot about to be taken: the values as they stood when it fired, and the stored record
// that hears about the captured file if it still exists by then.
struct Firing {
  std::weak_ptr<ShotDefinition> record;
  EffectiveShot shot;
};

// What a firing needs from outside the portable code. The program plugs in the GDI+ capture
// and the FTP upload; tests plug in fakes.
struct ShotServices {
  // Captures `shot` into a new temporary image file and gives its path. When nothing was
  // captured no file is left behind, and `failure` says why; a shot that skips unchanged
  // pictures may find the screen as it was.
  std::function<CaptureResult(const EffectiveShot& shot, std::wstring& path, std::wstring& failure)>
      capture;
  // Takes over the temporary file: sends it as `remoteName` when the shot names a server and
  // deletes it afterwards, or at once when there is nothing to send. Calls `done` once, with the
  // outcome, when the upload has ended (on whatever thread it ended on).
  std::function<void(const EffectiveShot& shot, std::wstring remoteName, std::wstring localPath,
                     std::function<void(const UploadOutcome&)> done)>
      upload;
  // The time text of `pattern` for now. Empty means TimeStamper on the local clock.
  std::function<std::wstring(std::wstring_view pattern)> stamp;
  // Hears how each firing ended, once, after its upload has ended. May be empty.
  std::function<void(const FiringReport& report)> report;
  // Takes note of a picture saved for the shot and deletes its oldest beyond the shot's limits;
  // gives how many it deleted. May be empty.
  std::function<size_t(const EffectiveShot& shot, const std::wstring& savedPath,
                       const platform::LocalTime& time)>
      keep;
  // Keeps a failed upload of the saved copy `localFile` to be sent again later; true when it
  // was kept. May be empty.
  std::function<bool(const EffectiveShot& shot, const std::wstring& remoteName,
                     const std::wstring& localFile, const UploadOutcome& failure)>
      keepToRetry;
};

class ShotWorker {
 public:
  explicit ShotWorker(ShotServices services);

  // Takes the shot on the calling thread. Reads the clock once, so the local copy and the
  // remote file carry the same time text.
  void fire(const Firing& firing) const;

  // Takes the shot on a new worker thread of `group`; false when no thread was started.
  bool start(Firing firing, WorkerGroup& group) const;

 private:
  std::wstring stampNow(std::wstring_view pattern) const;

  ShotServices services_;
};
