// Uploads to a real WebDAV share on loopback (lighttpd, tests/servers): the bytes that arrive
// under exactly their name, folders made on the way, refusals, and an upload cut off mid-way.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "delivery/transports_win.h"
#include "settings/password_cipher.h"
#include "support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

fs::path shareDir() {
  return (L"Z:" / fs::path(std::string(VEMLIX_TEST_SERVER_DIR) + "/webdav-root")).make_preferred();
}

std::wstring cipherOf(std::wstring password) {
  PasswordCipher::instance().encrypt(password, password.size());
  return password;
}

class WebDavUploadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::mt19937 random(11);
    for (char& c : bytes_) c = static_cast<char>(random());
    writeBytes(picture_, bytes_);
  }

  UploadOutcome send(const std::wstring& server, const std::wstring& remoteName,
                     const wchar_t* password = L"Up-load 7") {
    return servers_.send({server, L"vemlix", cipherOf(password), L""}, remoteName, picture_);
  }

  TempFolder local_;
  const std::wstring picture_ = local_.file(L"vmp5C.tmp");
  std::string bytes_ = std::string(300 * 1024 + 7, '\0');
  ServerDestination servers_ = makeServerDestination(local_.file(L"known_hosts"));
};

TEST_F(WebDavUploadTest, APictureArrivesWholeUnderExactlyItsNameInFoldersMadeOnTheWay) {
  const std::wstring name = L"Desk 1+\u00e9\u4e2d.png";
  const UploadOutcome sent = send(L"https://127.0.0.32:8443/dav/", L"/pc 7/daily/" + name);
  ASSERT_TRUE(sent) << sent.detail;
  EXPECT_EQ(readBytes((shareDir() / L"pc 7" / L"daily" / name).wstring()), bytes_);
  EXPECT_FALSE(fs::exists(shareDir() / L"pc 7" / L"daily" / (name + L".part")));

  // Again onto the name in use, with Digest over plain HTTP this time.
  bytes_ = "newer";
  writeBytes(picture_, bytes_);
  const UploadOutcome again = send(L"http://127.0.0.32:8080/digest", L"/pc 7/daily/" + name);
  ASSERT_TRUE(again) << again.detail;
  EXPECT_EQ(readBytes((shareDir() / L"pc 7" / L"daily" / name).wstring()), bytes_);
}

TEST_F(WebDavUploadTest, AWrongPasswordIsARefusalAndACutOffUploadLeavesNoFinalName) {
  const UploadOutcome refused = send(L"https://127.0.0.32:8443/dav", L"w.png", L"wrong");
  EXPECT_FALSE(refused);
  EXPECT_TRUE(refused.refused);
  EXPECT_NE(refused.detail.find(L"401"), std::wstring::npos) << refused.detail;

  const fs::path cut = fs::path(L"Z:" + fs::path(VEMLIX_TEST_SERVER_DIR).wstring()) / "webdav-cut";
  writeBytes(cut.wstring(), "");
  const UploadOutcome cutOff = send(L"https://127.0.0.34:8443/dav", L"cut.png");
  fs::remove(cut);
  EXPECT_FALSE(cutOff);
  EXPECT_FALSE(cutOff.refused) << cutOff.detail;
  EXPECT_FALSE(fs::exists(shareDir() / L"cut.png"));
  EXPECT_TRUE(send(L"https://127.0.0.34:8443/dav", L"cut.png"));
  EXPECT_EQ(readBytes((shareDir() / L"cut.png").wstring()), bytes_);
}

}  // namespace
