#include "delivery/retry_pace.h"

#include "delivery/ftp_reply.h"
#include "delivery/server_address.h"

RetryPace retryPaceOf(std::wstring_view failure) {
  return ftp_reply::isPermanent(ftp_reply::code(failure)) ? RetryPace::kSlow : RetryPace::kSoon;
}

RetryPace retryPaceOf(const UploadOutcome& failure) {
  return failure.refused ? RetryPace::kSlow : retryPaceOf(failure.detail);
}

std::wstring serverKey(const FtpAccount& account) {
  const auto address = parseServerAddress(account.server);
  if (!address) return account.user + L"@" + account.server;
  std::wstring host = address->host;
  for (wchar_t& c : host)
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c + (L'a' - L'A'));
  return account.user + L"@" + std::wstring(protocolName(address->protocol)) + L"://" + host +
         L":" + std::to_wstring(address->port);
}
