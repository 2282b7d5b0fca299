// The Test button's check against real servers on loopback: its three answers.
#include <gtest/gtest.h>

#include <filesystem>
#include <future>

#include "delivery/account_check_win.h"
#include "settings/password_cipher.h"
#include "support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

AccountCheckResult checked(FtpAccount account) {
  PasswordCipher::instance().encrypt(account.passwordCipherText, account.passwordCipherText.size());
  TempFolder local;
  AccountCheck check(local.file(L"known_hosts"));
  std::promise<AccountCheckResult> result;
  check.start(std::move(account), [&](const AccountCheckResult& r) { result.set_value(r); });
  return result.get_future().get();
}

TEST(AccountCheckTest, SaysTheFolderCanBeWrittenOrWhatTheServerSaid) {
  const fs::path share =
      (L"Z:" / fs::path(std::string(VEMLIX_TEST_SERVER_DIR) + "/webdav-root")).make_preferred();
  fs::create_directories(share / L"up");
  const AccountCheckResult written =
      checked({L"https://127.0.0.32:8443/dav", L"vemlix", L"Up-load 7", L"up"});
  EXPECT_TRUE(written.written);
  EXPECT_EQ(written.text,
            L"Connected to 127.0.0.32 as vemlix; the folder /dav/up/ can be written.");
  EXPECT_TRUE(fs::is_empty(share / L"up")) << "the test file was left behind";

  const AccountCheckResult refused =
      checked({L"s3://127.0.0.31:7443/pictures", L"VEMLIXTESTACCESSKEY1", L"wrong secret", L""});
  EXPECT_FALSE(refused.written);
  EXPECT_NE(refused.text.find(L"403"), std::wstring::npos) << refused.text;

  const AccountCheckResult silent = checked({L"ftp://127.0.0.2", L"vemlix", L"x", L""});
  EXPECT_FALSE(silent.written);
  EXPECT_NE(silent.text.find(L"127.0.0.2"), std::wstring::npos) << silent.text;

  EXPECT_EQ(checked({L"", L"", L"", L""}).text, L"No server to test.");
}

TEST(AccountCheckTest, ACancelledCheckSaysSoAtOnce) {
  TempFolder local;
  AccountCheck check(local.file(L"known_hosts"));
  std::promise<AccountCheckResult> result;
  // 127.0.0.3 accepts and never answers: the check would wait out the login's limit.
  check.start({L"127.0.0.3", L"vemlix", L"", L""},
              [&](const AccountCheckResult& r) { result.set_value(r); });
  check.cancel();
  auto answer = result.get_future();
  ASSERT_EQ(answer.wait_for(std::chrono::seconds(2)), std::future_status::ready);
  EXPECT_EQ(answer.get().text, L"Test cancelled.");
}

}  // namespace
