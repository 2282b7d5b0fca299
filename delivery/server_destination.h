#pragma once
// Every server a shot can name, each reached through the transport its address's scheme asks
// for: a transport comes in as one more route, and the others never hear of it.
#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "delivery/destination.h"
#include "delivery/server_address.h"

class ServerDestination : public Destination {
 public:
  struct Route {
    std::unique_ptr<Destination> transport;
    std::vector<TransferProtocol> protocols;  // the schemes it takes
  };

  // A protocol that two routes name goes by the first.
  explicit ServerDestination(std::vector<Route> routes);

  // An account with no server: nothing is sent, and no transport hears of it. A bare host name,
  // and an address no scheme of ours reads, are plain FTP, as they always were.
  UploadOutcome send(const FtpAccount& account, const std::wstring& remoteName,
                     const std::wstring& localFile) override;
  UploadOutcome remove(const FtpAccount& account, const std::wstring& remoteName) override;
  // Every transport's, in the order of the routes; a later one's wait gets what is left of the
  // limit.
  void cancelAll() override;
  bool waitForCleanup(std::chrono::milliseconds limit) override;

 private:
  Destination* routeFor(const FtpAccount& account, UploadOutcome& refusal) const;

  std::vector<std::unique_ptr<Destination>> transports_;
  std::map<TransferProtocol, Destination*> byProtocol_;
};
