#include "delivery/retry_pace.h"

#include <gtest/gtest.h>

namespace {

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

// One wait per account on a server, however its address is written.
TEST(RetryPaceTest, ServersShareAWaitByAccountSchemeHostAndPort) {
  const auto key = [](const wchar_t* server) { return serverKey({server, L"u", L"", L""}); };
  EXPECT_EQ(key(L"FTP.Example.com"), L"u@ftp://ftp.example.com:21");
  EXPECT_EQ(key(L"ftp://ftp.example.com:21/"), L"u@ftp://ftp.example.com:21");
  EXPECT_EQ(key(L"SFTP://Host:2222"), L"u@sftp://host:2222");
  EXPECT_NE(key(L"ftps://h"), key(L"ftpes://h"));
  EXPECT_EQ(key(L"gopher://h"), L"u@gopher://h");
}

}  // namespace
