#pragma once
// Where pictures are sent: one interface for every transport, so that the delivery of a
// picture and its retries never need to know which one a server speaks.
#include <string>

#include "delivery/upload_outcome.h"
#include "shots/shot_settings.h"

class Destination {
 public:
  virtual ~Destination() = default;

  // Sends `localFile` to the account's server as `remoteName` (remotePathIn() of the account's
  // folder) and returns once that has ended, bounded in time. The local file is only read.
  virtual UploadOutcome send(const FtpAccount& account, const std::wstring& remoteName,
                             const std::wstring& localFile) = 0;
};
