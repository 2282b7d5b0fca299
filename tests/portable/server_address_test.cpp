#include "delivery/server_address.h"

#include <gtest/gtest.h>

namespace {

TEST(ServerAddressTest, SchemesPortsAndBareHostsAreReadAsClientsWriteThem) {
  using P = TransferProtocol;
  EXPECT_EQ(parseServerAddress(L"ftp.example.com"),
            (ServerAddress{P::kFtp, L"ftp.example.com", 21}));
  EXPECT_EQ(parseServerAddress(L"ftpes://h"), (ServerAddress{P::kFtpes, L"h", 21}));
  EXPECT_EQ(parseServerAddress(L" FTPS://h:2990/ "), (ServerAddress{P::kFtps, L"h", 2990}));
  EXPECT_EQ(parseServerAddress(L"ftps://h"), (ServerAddress{P::kFtps, L"h", 990}));
  EXPECT_EQ(parseServerAddress(L"sftp://[::1]:2222"), (ServerAddress{P::kSftp, L"[::1]", 2222}));
  EXPECT_EQ(parseServerAddress(L"sftp://[::1]"), (ServerAddress{P::kSftp, L"[::1]", 22}));
  for (const wchar_t* wrong : {L"", L"gopher://h", L"sftp://", L"h:0", L"h:65536", L"h:x", L"[::1"})
    EXPECT_FALSE(parseServerAddress(wrong)) << wrong;
}

TEST(ServerAddressTest, EachSchemeIsNamedAsItIsReadWithItsOwnPort) {
  using P = TransferProtocol;
  for (P protocol : {P::kFtp, P::kFtpes, P::kFtps, P::kSftp})
    EXPECT_EQ(protocolNamed(protocolName(protocol)), protocol);
  EXPECT_EQ(protocolNamed(L"SFTP"), P::kSftp);
  EXPECT_FALSE(protocolNamed(L"ftpx"));
  EXPECT_EQ(defaultPort(P::kFtps), 990);
  EXPECT_EQ(defaultPort(P::kSftp), 22);
}

}  // namespace
