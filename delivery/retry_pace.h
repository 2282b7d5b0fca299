#pragma once
// How soon a failed upload is tried again, and which uploads share a wait.
#include <string>
#include <string_view>

#include "delivery/upload_outcome.h"
#include "shots/shot_settings.h"

enum class RetryPace {
  kSoon,  // no connection, a time-out, a dropped transfer, a 4xx reply: doubling waits
  kSlow,  // a refusal (530, 550, 553, any 5xx, a certificate or host key): the user may be
          // fixing the account
};

// From an upload's failure text, which starts with the server's reply when it gave one.
RetryPace retryPaceOf(std::wstring_view failure);
RetryPace retryPaceOf(const UploadOutcome& failure);

// Uploads share a wait when they go to the same account on the same server, reached the same
// way: "user@ftpes://host:port", the host in lower case.
std::wstring serverKey(const FtpAccount& account);
