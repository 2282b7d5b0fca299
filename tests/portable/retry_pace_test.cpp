#include "delivery/retry_pace.h"

#include <gtest/gtest.h>

#include "delivery/server_address.h"

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

TEST(RetryPaceTest, RefusalsWaitLongAndEverythingElseSoon) {
  EXPECT_EQ(retryPaceOf(L"530 Login incorrect."), RetryPace::kSlow);
  EXPECT_EQ(retryPaceOf(L"553 Could not create file."), RetryPace::kSlow);
  EXPECT_EQ(retryPaceOf(L"421 Too many connections"), RetryPace::kSoon);
  EXPECT_EQ(retryPaceOf(L"no answer from ftp.example.com"), RetryPace::kSoon);
  UploadOutcome certificate = UploadOutcome::failed(L"the certificate of example.com ...");
  EXPECT_EQ(retryPaceOf(certificate), RetryPace::kSoon);
  certificate.refused = true;
  EXPECT_EQ(retryPaceOf(certificate), RetryPace::kSlow);
}

}  // namespace
