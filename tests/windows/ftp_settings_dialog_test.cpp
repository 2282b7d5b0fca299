// The Test button of Ftp Settings: what it shows while a check runs and after, its Cancel, and
// a dialog that closes during a check.
// Winsock's header has to come before windows.h, which dialog_script_win.h brings.
#include "support/silent_server_win.h"
// After Winsock.
#include <atomic>

#include "support/dialog_script_win.h"

namespace {

// Longer than a cancelled check takes to answer, shorter than any check left to run its course.
constexpr DWORD kCancelledWithinMs = 3000;

TEST_F(FtpSettingsDialogTest, TestChecksTheFieldsAsTypedAndSavesNothing) {
  std::wstring cipher = L"pw";
  ASSERT_TRUE(PasswordCipher::instance().encrypt(cipher, cipher.size()));
  FtpLogin login{L"ftp.example.com", L"anna", cipher};
  DialogScript script([](DialogScript& s) {
    HWND f = s.waitForDialog(L"Ftp Settings");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(text(f, IDC_FTP_TEST), L"Test");
    EXPECT_EQ(text(f, IDC_FTP_TEST_RESULT), L"");
    // A password the cipher cannot keep has no stored form to test with.
    s.type(f, IDC_FTP_PASSWORD, L"p\u0100ss");
    s.press(f, IDC_FTP_TEST);
    HWND message = s.waitForDialog(L"Ftp Settings", f);
    ASSERT_NE(message, nullptr);
    s.press(message, IDOK);
    EXPECT_TRUE(s.waitClosed(message));
    EXPECT_EQ(text(f, IDC_FTP_TEST_RESULT), L"");

    s.type(f, IDC_FTP_PASSWORD, L"new");
    s.type(f, IDC_FTP_SERVER, L"");
    s.click(f, IDC_FTP_TEST);
    EXPECT_TRUE(waitFor([&] { return text(f, IDC_FTP_TEST_RESULT) == L"No server to test."; },
                        kPatienceMs));
    EXPECT_EQ(text(f, IDC_FTP_TEST), L"Test");
    s.press(f, IDCANCEL);
    EXPECT_TRUE(s.waitClosed(f));
  });
  EXPECT_FALSE(runFtpSettingsDialog(nullptr, login, {L"up", L""}));
  EXPECT_EQ(login.server, L"ftp.example.com");
  EXPECT_EQ(login.passwordCipherText, cipher);
}

TEST_F(FtpSettingsDialogTest, ATestRunningShowsTestingCancelsAndEndsWithTheDialog) {
  const SilentServer silent;
  const std::wstring server = silent.ftpAddress();
  FtpLogin login{L"ftp.example.com", L"anna", L""};
  std::atomic<DWORD> pressedOk{0};
  DialogScript script([&](DialogScript& s) {
    HWND f = s.waitForDialog(L"Ftp Settings");
    ASSERT_NE(f, nullptr);
    s.type(f, IDC_FTP_SERVER, server);
    s.click(f, IDC_FTP_TEST);
    EXPECT_EQ(text(f, IDC_FTP_TEST_RESULT), L"Testing...");
    EXPECT_EQ(text(f, IDC_FTP_TEST), L"Cancel test");
    s.click(f, IDC_FTP_TEST);
    EXPECT_TRUE(waitFor([&] { return text(f, IDC_FTP_TEST) == L"Test"; }, kCancelledWithinMs));
    EXPECT_NE(text(f, IDC_FTP_TEST_RESULT), L"Testing...");

    s.click(f, IDC_FTP_TEST);
    EXPECT_EQ(text(f, IDC_FTP_TEST_RESULT), L"Testing...");
    pressedOk = GetTickCount();
    s.press(f, IDOK);
    EXPECT_TRUE(s.waitClosed(f));
  });
  EXPECT_TRUE(runFtpSettingsDialog(nullptr, login, {L"up", L""}));
  // The check was cancelled with the dialog, not waited out.
  EXPECT_LT(GetTickCount() - pressedOk, kCancelledWithinMs);
  EXPECT_EQ(login.server, server);
}

}  // namespace
