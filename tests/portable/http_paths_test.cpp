#include "delivery/http_paths.h"

#include <gtest/gtest.h>

namespace {

using namespace http_paths;

ServerAddress address(const wchar_t* text) {
  return parseServerAddress(text).value();
}

TEST(HttpPathsTest, KeysAreEncodedAsAwsSignsThem) {
  EXPECT_EQ(awsEncode("a b+c/\xC3\xA9~._-", true), "a%20b%2Bc/%C3%A9~._-");
  EXPECT_EQ(awsEncode("a/b", false), "a%2Fb");
  EXPECT_EQ(s3Key(L"//shots//Desk 1.png"), "shots/Desk 1.png");
  EXPECT_EQ(s3Key(L"Desk.png"), "Desk.png");
  EXPECT_EQ(s3Url(address(L"s3://127.0.0.31:7443/pictures"), "pc 7/D+\xC3\xA9.png"),
            "https://127.0.0.31:7443/pictures/pc%207/D%2B%C3%A9.png");
  EXPECT_EQ(s3Url(address(L"s3+http://h/b"), "k"), "http://h:80/b/k");
}

TEST(HttpPathsTest, AShareKeepsItsTypedPathAndEncodesTheFoldersAndName) {
  const ServerAddress share = address(L"https://h/remote.php/dav/files/ann%20b");
  EXPECT_EQ(webDavUrl(share, L"/up/pc 1/Desk+\u00e9.png"),
            "https://h:443/remote.php/dav/files/ann%20b/up/pc%201/Desk%2B%C3%A9.png");
  EXPECT_EQ(webDavUrl(address(L"http://h:8080/dav d\u00e9/"), L"D.png"),
            "http://h:8080/dav%20d%C3%A9/D.png");
  EXPECT_EQ(webDavFolderUrls(share, L"/a/b/D.png"),
            (std::vector<std::string>{"https://h:443/remote.php/dav/files/ann%20b/a/",
                                      "https://h:443/remote.php/dav/files/ann%20b/a/b/"}));
  EXPECT_TRUE(webDavFolderUrls(share, L"D.png").empty());
}

TEST(HttpPathsTest, OnlyAServersPassingTroubleIsTriedAgain) {
  for (long status : {200L, 201L, 204L}) EXPECT_EQ(verdictOf(status), HttpVerdict::kDone);
  for (long status : {0L, 408L, 429L, 500L, 503L})
    EXPECT_EQ(verdictOf(status), HttpVerdict::kMayPass);
  for (long status : {400L, 401L, 403L, 404L, 409L})
    EXPECT_EQ(verdictOf(status), HttpVerdict::kRefused);
}

}  // namespace
