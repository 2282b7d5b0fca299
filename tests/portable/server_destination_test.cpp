#include "delivery/server_destination.h"

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

namespace {

using namespace std::chrono_literals;
using P = TransferProtocol;

// What reached one transport.
struct Heard {
  std::vector<std::wstring> servers;
  int cancels = 0;
  int waits = 0;
  bool cleanupLeft = false;  // its cancelled sends left something it could not remove in time
};

class FakeTransport : public Destination {
 public:
  explicit FakeTransport(Heard& heard) : heard_(heard) {}

  UploadOutcome send(const FtpAccount& account, const std::wstring&, const std::wstring&) override {
    heard_.servers.push_back(account.server);
    return UploadOutcome::failed(L"heard by " + std::to_wstring(heard_.servers.size()));
  }
  void cancelAll() override { ++heard_.cancels; }
  bool waitForCleanup(std::chrono::milliseconds limit) override {
    ++heard_.waits;
    return !heard_.cleanupLeft;
  }

 private:
  Heard& heard_;
};

class ServerDestinationTest : public ::testing::Test {
 protected:
  ServerDestination make(std::vector<P> plainSchemes = {P::kFtp},
                         std::vector<P> secureSchemes = {P::kFtpes, P::kFtps, P::kSftp}) {
    std::vector<ServerDestination::Route> routes;
    routes.push_back({std::make_unique<FakeTransport>(plain_), std::move(plainSchemes)});
    routes.push_back({std::make_unique<FakeTransport>(secure_), std::move(secureSchemes)});
    return ServerDestination(std::move(routes));
  }
  static UploadOutcome sendTo(Destination& destination, const std::wstring& server) {
    return destination.send({server, L"u", L"", L""}, L"a.png", L"a.tmp");
  }

  Heard plain_;
  Heard secure_;
};

// A bare host, and an address no scheme of ours reads, stay plain FTP as they always were.
TEST_F(ServerDestinationTest, EachAddressGoesToTheTransportOfItsScheme) {
  ServerDestination servers = make();
  for (const wchar_t* server : {L"ftp.example.com", L"ftp://h:2121", L"gopher://h", L"h:0"})
    sendTo(servers, server);
  for (const wchar_t* server : {L"ftpes://h", L"FTPS://h", L"sftp://[::1]:2222"})
    sendTo(servers, server);
  EXPECT_EQ(plain_.servers, (std::vector<std::wstring>{L"ftp.example.com", L"ftp://h:2121",
                                                       L"gopher://h", L"h:0"}));
  EXPECT_EQ(secure_.servers,
            (std::vector<std::wstring>{L"ftpes://h", L"FTPS://h", L"sftp://[::1]:2222"}));
  EXPECT_EQ(sendTo(servers, L"sftp://h").detail, L"heard by 4");  // the transport's own outcome

  EXPECT_EQ(sendTo(servers, L"").result, UploadOutcome::Result::kNoServer);
  EXPECT_EQ(plain_.servers.size() + secure_.servers.size(), 8u);
}

TEST_F(ServerDestinationTest, ASchemeNoTransportTakesIsRefusedByName) {
  ServerDestination servers = make({P::kFtp}, {P::kFtps});
  EXPECT_EQ(sendTo(servers, L"sftp://h").detail, L"Vemlix cannot send to sftp:// servers");
  EXPECT_EQ(plain_.servers.size() + secure_.servers.size(), 0u);
}

// The end of the program reaches every transport once, and waits for each.
TEST_F(ServerDestinationTest, TheEndOfTheProgramReachesEveryTransport) {
  ServerDestination servers = make();
  servers.cancelAll();
  EXPECT_EQ(plain_.cancels, 1);
  EXPECT_EQ(secure_.cancels, 1);
  EXPECT_TRUE(servers.waitForCleanup(2s));
  plain_.cleanupLeft = true;
  EXPECT_FALSE(servers.waitForCleanup(2s));
  EXPECT_EQ(secure_.waits, 2);  // still waited for after the first had something left
}

}  // namespace
