// Uploads to a real S3 gateway on loopback (Ceph's RADOS Gateway, tests/servers): the bytes
// that arrive under exactly their key, a wrong secret refused, a gateway gone and back.
#include <curl/curl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "capture/output_name.h"
#include "delivery/http_paths.h"
#include "delivery/transports_win.h"
#include "platform/environment.h"
#include "platform/text_codec.h"
#include "settings/app_settings.h"
#include "settings/password_cipher.h"
#include "shots/shot_settings.h"
#include "support/restart_delivery_win.h"
#include "support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

constexpr wchar_t kKey[] = L"VEMLIXTESTACCESSKEY1";
constexpr wchar_t kSecret[] = L"VemlixTestSecretKey0123456789abcdefABCD";
constexpr wchar_t kGateway[] = L"s3://127.0.0.31:7443/pictures";
constexpr wchar_t kRelay[] = L"s3://127.0.0.33:7443/pictures";  // gone while rgw-down exists

std::wstring cipherOf(std::wstring password) {
  PasswordCipher::instance().encrypt(password, password.size());
  return password;
}

size_t collect(char* data, size_t size, size_t count, void* into) {
  static_cast<std::string*>(into)->append(data, size * count);
  return size * count;
}

// The object as the gateway keeps it, fetched with a signed GET of the test's own.
std::string fetched(const std::wstring& remoteName) {
  const ServerAddress bucket = parseServerAddress(kGateway).value();
  const std::string url = http_paths::s3Url(bucket, http_paths::s3Key(remoteName));
  const std::string user = encodeUtf8(std::wstring(kKey) + L":" + kSecret, false);
  std::string body;
  CURL* easy = curl_easy_init();
  curl_slist* headers =
      curl_slist_append(nullptr,
                        "x-amz-content-sha256: "
                        "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
  curl_easy_setopt(easy, CURLOPT_USERPWD, user.c_str());
  curl_easy_setopt(easy, CURLOPT_AWS_SIGV4, "aws:amz:us-east-1:s3");
  curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers);
  curl_easy_setopt(easy, CURLOPT_SSL_OPTIONS, static_cast<long>(CURLSSLOPT_NATIVE_CA));
  curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, collect);
  curl_easy_setopt(easy, CURLOPT_WRITEDATA, &body);
  long status = 0;
  if (curl_easy_perform(easy) == CURLE_OK) curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
  curl_slist_free_all(headers);
  curl_easy_cleanup(easy);
  return status == 200 ? body : "(" + std::to_string(status) + ")";
}

class S3UploadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::mt19937 random(5);
    for (char& c : bytes_) c = static_cast<char>(random());
    writeBytes(picture_, bytes_);
  }

  UploadOutcome send(const std::wstring& server, const std::wstring& remoteName,
                     const wchar_t* secret = kSecret) {
    return servers_.send({server, kKey, cipherOf(secret), L""}, remoteName, picture_);
  }

  TempFolder local_;
  const std::wstring picture_ = local_.file(L"vmp7D.tmp");
  std::string bytes_ = std::string(200 * 1024 + 3, '\0');
  ServerDestination servers_ = makeServerDestination(local_.file(L"known_hosts"));
};

TEST_F(S3UploadTest, APictureArrivesWholeUnderExactlyItsKeyOverHttpsAndHttp) {
  const std::wstring name = L"/shots/Desk 1+\u00e9\u4e2d.png";
  const UploadOutcome sent = send(kGateway, name);
  ASSERT_TRUE(sent) << sent.detail;
  EXPECT_EQ(fetched(name), bytes_);

  bytes_ = "over plain http";
  writeBytes(picture_, bytes_);
  const UploadOutcome plain = send(L"s3+http://127.0.0.31:7480/pictures", name);
  ASSERT_TRUE(plain) << plain.detail;
  EXPECT_EQ(fetched(name), bytes_);
}

TEST_F(S3UploadTest, TheComputerNameInTheFolderLandsInTheKey) {
  ShotDefinition shot;
  shot.NAME = L"Desk";
  shot.FORMAT = 4;
  shot.FTP_SERVER = kGateway;
  shot.FTP_FOLDER = L"fleet/%COMPUTERNAME%";
  const EffectiveShot effective = effectiveSettings(shot, AppSettings::instance());
  const std::wstring computer = platform::environmentVariable(L"COMPUTERNAME").value_or(L"");
  ASSERT_FALSE(computer.empty());
  EXPECT_EQ(effective.ftp.folder, L"fleet/" + computer);
  const std::wstring remoteName = remotePathIn(effective.ftp, L"Desk.png");
  const UploadOutcome sent = send(kGateway, remoteName);
  ASSERT_TRUE(sent) << sent.detail;
  EXPECT_EQ(fetched(L"fleet/" + computer + L"/Desk.png"), bytes_);
}

TEST_F(S3UploadTest, AWrongSecretIsRefusedAndAGatewayGoneIsOnlyForNow) {
  const UploadOutcome refused = send(kGateway, L"w.png", L"not the secret");
  EXPECT_FALSE(refused);
  EXPECT_TRUE(refused.refused);
  EXPECT_NE(refused.detail.find(L"403"), std::wstring::npos) << refused.detail;
  EXPECT_EQ(refused.detail.find(L"not the secret"), std::wstring::npos);

  const std::wstring down =
      (L"Z:" / fs::path(std::string(VEMLIX_TEST_SERVER_DIR) + "/rgw-down")).wstring();
  writeBytes(down, "");
  const UploadOutcome gone = send(kRelay, L"later.png");
  fs::remove(down);
  EXPECT_FALSE(gone);
  EXPECT_FALSE(gone.refused) << gone.detail;
  const UploadOutcome back = send(kRelay, L"later.png");
  ASSERT_TRUE(back) << back.detail;
  EXPECT_EQ(fetched(L"later.png"), bytes_);
}

}  // namespace

namespace {

TEST(S3OutboxTest, PicturesWaitWhileTheGatewayIsGoneAndArriveOnceEachAfterARestart) {
  const std::wstring down =
      (L"Z:" / fs::path(std::string(VEMLIX_TEST_SERVER_DIR) + "/rgw-down")).make_preferred();
  expectDeliveryAfterARestart({kRelay, kKey, kSecret, down, 4,
                               "the connection to 127.0.0.33 was cut off",
                               [](const std::wstring& name) { return fetched(name); }});
}

}  // namespace
