#pragma once
// The road of one firing, whether the timer or Take Shot fired it, one way: capture into a
// temporary file, the record's capturedFile, the picture's delivery, and the report of how it
// all ended. The worker works on its own copy of the shot's values, so the UI thread may edit
// or delete the shot meanwhile.
#include <functional>
#include <memory>
#include <string>

#include "capture/capture_result.h"
#include "delivery/firing_report.h"
#include "platform/clock.h"
#include "platform/temporary_file.h"
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
// and the picture's delivery; tests plug in fakes.
struct ShotServices {
  // Captures `shot` into a new temporary image file. When nothing was captured no file is left
  // behind, and `failure` says why; a shot that skips unchanged pictures may find the screen as
  // it was.
  std::function<CaptureResult(const EffectiveShot& shot, CapturedPicture& picture,
                              std::wstring& failure)>
      capture;
  // Takes the captured picture the rest of its way (local copy, upload, retries) and gives the
  // firing's report; the temporary file is gone once it returns.
  std::function<FiringReport(const EffectiveShot& shot, platform::TemporaryFile picture,
                             const platform::LocalTime& firedAt)>
      deliver;
  // The picture of these pixels was kept, saved or delivered. May be empty.
  std::function<void(const EffectiveShot& shot, CapturedPixels pixels)> keep;
  // Hears how each firing ended, once. May be empty.
  std::function<void(const FiringReport& report)> report;
};

class ShotWorker {
 public:
  explicit ShotWorker(ShotServices services);

  // Takes the shot on the calling thread.
  void fire(const Firing& firing) const;

  // Takes the shot on a new worker thread of `group`; false when no thread was started.
  bool start(Firing firing, WorkerGroup& group) const;

 private:
  ShotServices services_;
};
