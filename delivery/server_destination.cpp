#include "delivery/server_destination.h"

#include <algorithm>
#include <utility>

ServerDestination::ServerDestination(std::vector<Route> routes) {
  for (Route& route : routes) {
    for (TransferProtocol protocol : route.protocols)
      byProtocol_.emplace(protocol, route.transport.get());
    transports_.push_back(std::move(route.transport));
  }
}

Destination* ServerDestination::routeFor(const FtpAccount& account, UploadOutcome& refusal) const {
  if (account.server.empty()) {
    refusal = UploadOutcome::noServer();
    return nullptr;
  }
  const auto address = parseServerAddress(account.server);
  const TransferProtocol protocol = address ? address->protocol : TransferProtocol::kFtp;
  const auto route = byProtocol_.find(protocol);
  if (route != byProtocol_.end()) return route->second;
  refusal = UploadOutcome::failed(L"Vemlix cannot send to " + std::wstring(protocolName(protocol)) +
                                  L":// servers");
  return nullptr;
}

UploadOutcome ServerDestination::send(const FtpAccount& account, const std::wstring& remoteName,
                                      const std::wstring& localFile) {
  UploadOutcome refusal;
  Destination* const route = routeFor(account, refusal);
  return route ? route->send(account, remoteName, localFile) : refusal;
}

UploadOutcome ServerDestination::remove(const FtpAccount& account, const std::wstring& remoteName) {
  UploadOutcome refusal;
  Destination* const route = routeFor(account, refusal);
  return route ? route->remove(account, remoteName) : refusal;
}

void ServerDestination::cancelAll() {
  for (const auto& transport : transports_) transport->cancelAll();
}

bool ServerDestination::waitForCleanup(std::chrono::milliseconds limit) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point end = Clock::now() + limit;
  bool clean = true;
  for (const auto& transport : transports_) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
    clean = transport->waitForCleanup(std::max(left, std::chrono::milliseconds(0))) && clean;
  }
  return clean;
}
