#pragma once
// Where pictures are sent: one interface for every transport, so that the delivery of a
// picture and its retries never need to know which one a server speaks.
#include <chrono>
#include <string>

#include "delivery/transfer_limits.h"
#include "delivery/upload_outcome.h"
#include "shots/shot_settings.h"

class Destination {
 public:
  virtual ~Destination() = default;

  // Sends `localFile` to the account's server as `remoteName` (remotePathIn() of the account's
  // folder) and returns once that has ended. The local file is only read. However the server
  // behaves, the send keeps to transfer_limits: a login, a command and a transfer each end by
  // their limit. Sends may run side by side, each on a thread of its own.
  virtual UploadOutcome send(const FtpAccount& account, const std::wstring& remoteName,
                             const std::wstring& localFile) = 0;

  // Removes `remoteName` (as send() names it) from the account's server, as the Test button does
  // with the tiny file it wrote; within the limit of a command.
  virtual UploadOutcome remove(const FtpAccount& account, const std::wstring& remoteName) {
    return UploadOutcome::failed(L"Vemlix cannot remove files from " + account.server);
  }

  // The end of the program: every send in flight ends at once and every later one is refused
  // at once, so that no worker is kept waiting on a network. What the ended sends had put on
  // their servers may be removed meanwhile, briefly: the program ends within 2 s of Exit.
  virtual void cancelAll() = 0;

  // After cancelAll(): waits until that removal has ended or `limit` has passed; true when none
  // is left. A transport whose cancelled sends leave nothing to remove has nothing to wait for.
  virtual bool waitForCleanup(std::chrono::milliseconds limit) { return true; }
};
