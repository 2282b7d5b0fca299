#include "delivery/retry_pace.h"

#include <algorithm>

#include "delivery/server_address.h"

RetryPace retryPaceOf(std::wstring_view failure) {
  const bool reply =
      failure.size() >= 3 && std::all_of(failure.begin(), failure.begin() + 3,
                                         [](wchar_t c) { return c >= L'0' && c <= L'9'; });
  return reply && failure[0] == L'5' ? RetryPace::kSlow : RetryPace::kSoon;
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
