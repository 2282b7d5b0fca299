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

namespace {

TEST(ServerAddressTest, ObjectStorageNamesOneBucketAndItsRegion) {
  const auto aws = parseServerAddress(L"s3://s3.eu-central-1.amazonaws.com/shots");
  ASSERT_TRUE(aws);
  EXPECT_EQ(aws->protocol, TransferProtocol::kS3);
  EXPECT_EQ(aws->port, 443);
  EXPECT_EQ(aws->path, L"shots");
  EXPECT_EQ(aws->region, L"eu-central-1");
  EXPECT_EQ(parseServerAddress(L"s3://s3-eu-west-1.amazonaws.com/b")->region, L"eu-west-1");
  EXPECT_EQ(parseServerAddress(L"s3://b2.example/b/?region=us-west-004")->region, L"us-west-004");
  EXPECT_EQ(parseServerAddress(L"s3://minio.lan:9000/b")->region, L"us-east-1");
  const auto lab = parseServerAddress(L"S3+HTTP://127.0.0.1:7480/pictures");
  ASSERT_TRUE(lab);
  EXPECT_EQ(lab->protocol, TransferProtocol::kS3Http);
  EXPECT_EQ(lab->port, 7480);
  EXPECT_TRUE(isPlainHttp(lab->protocol));
  for (const wchar_t* wrong : {L"s3://host", L"s3://host/", L"s3://host/a/b", L"s3://host/b?x=1"})
    EXPECT_FALSE(parseServerAddress(wrong)) << wrong;
}

TEST(ServerAddressTest, AWebDavShareKeepsItsPathAsTyped) {
  const auto share = parseServerAddress(L"https://cloud.example.com/remote.php/dav/files/ann/");
  ASSERT_TRUE(share);
  EXPECT_EQ(share->protocol, TransferProtocol::kWebDav);
  EXPECT_EQ(share->port, 443);
  EXPECT_EQ(share->path, L"/remote.php/dav/files/ann/");
  const auto plain = parseServerAddress(L"http://[::1]:8080");
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain->protocol, TransferProtocol::kWebDavHttp);
  EXPECT_EQ(plain->host, L"[::1]");
  EXPECT_EQ(plain->path, L"/");
  EXPECT_TRUE(parseServerAddress(L"ftp.example.com/up")->path.empty());
}

}  // namespace
