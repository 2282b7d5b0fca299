#include "delivery/transports_win.h"

#include <memory>
#include <utility>
#include <vector>

#include "delivery/curl_transport_win.h"
#include "delivery/wininet_ftp_transport_win.h"

ServerDestination makeServerDestination(const std::wstring& knownHostsPath) {
  using enum TransferProtocol;
  std::vector<ServerDestination::Route> routes;
  routes.push_back({std::make_unique<WinInetFtpTransport>(), {kFtp}});
  routes.push_back({std::make_unique<CurlTransport>(knownHostsPath), {kFtpes, kFtps, kSftp}});
  return ServerDestination(std::move(routes));
}
