#include "delivery/transports_win.h"

#include <memory>
#include <utility>
#include <vector>

#include "delivery/curl_transport_win.h"
#include "delivery/object_storage_transport_win.h"
#include "delivery/webdav_transport_win.h"
#include "delivery/wininet_ftp_transport_win.h"

ServerDestination makeServerDestination(const std::wstring& knownHostsPath) {
  using enum TransferProtocol;
  std::vector<ServerDestination::Route> routes;
  routes.push_back({std::make_unique<WinInetFtpTransport>(), {kFtp}});
  routes.push_back({std::make_unique<CurlTransport>(knownHostsPath), {kFtpes, kFtps, kSftp}});
  routes.push_back({std::make_unique<ObjectStorageTransport>(), {kS3, kS3Http}});
  routes.push_back({std::make_unique<WebDavTransport>(), {kWebDav, kWebDavHttp}});
  return ServerDestination(std::move(routes));
}
