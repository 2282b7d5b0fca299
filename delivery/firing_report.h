#pragma once
// What became of one firing, or of one later try to send a waiting picture: the one report
// that the delivery of a picture gives back, for the log and the notification-area icon.
#include <cstddef>
#include <string>

#include "delivery/upload_outcome.h"
#include "platform/clock.h"

struct FiringReport {
  platform::LocalTime time;  // when the shot fired
  std::wstring shotName;
  bool captured = false;
  std::wstring localFile;     // the saved copy's full path; empty when there is none
  std::wstring whyNoFile;     // then why, in plain words
  UploadOutcome upload;       // not looked at when nothing was captured
  bool unchanged = false;     // the screen was as last time, so nothing was saved or sent
  size_t deletedOld = 0;      // old pictures of the shot deleted after this one was saved
  bool keptToRetry = false;   // the failed upload waits to be sent again
  bool retried = false;       // a later try to send `localFile`
  size_t waitingUploads = 0;  // uploads still waiting once this report was made

  // Nothing captured, no local copy, or the upload failed. A shot without a server that was
  // saved has not failed.
  bool failed() const {
    return !captured || localFile.empty() || upload.result == UploadOutcome::Result::kFailed;
  }
};
