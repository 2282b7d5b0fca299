// Shot Settings and its Ftp Settings: what they show, what Save keeps and what they refuse.
#include "support/dialog_script_win.h"

namespace {

TEST_F(ShotSettingsDialogTest, ANewShotOpensWithItsNameDefaultLabelsBmpAndTheEnablingRules) {
  ShotDefinition shot;
  shot.NAME = L"New Shot - 3";
  shot.isNew = true;
  const ShotDefinition before = shot;
  DialogScript script([](DialogScript& s) {
    HWND d = s.waitForDialog(L"Shot Settings");
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(text(d, IDC_SHOT_NAME), L"New Shot - 3");
    EXPECT_EQ(text(d, IDC_INTERVAL), L"0");
    EXPECT_EQ(text(d, IDC_LABELS), L"default");
    EXPECT_EQ(text(d, IDC_FORMAT), L"Bmp - Windows Bitmap Format");
    EXPECT_EQ(enabledOfTheTable(d),
              (std::set<int>{IDC_AUTO_MODE, IDC_LABELS, IDC_FORMAT, IDC_SAVE_LOCAL, IDC_SAVE_FTP}));
    s.click(d, IDC_AUTO_MODE);
    s.click(d, IDC_SAVE_LOCAL);
    s.click(d, IDC_SAVE_FTP);
    EXPECT_EQ(enabledOfTheTable(d).size(), 10u);
    s.press(d, IDCANCEL);
    EXPECT_TRUE(s.waitClosed(d));
  });
  EXPECT_FALSE(runShotSettingsDialog(nullptr, shot, true, L""));
  EXPECT_EQ(shot, before);
}

TEST_F(ShotSettingsDialogTest, DefaultShotSettingsDisableTheTableAndSaveKeepsItsValues) {
  ShotDefinition shot = editedShot();
  DialogScript script([](DialogScript& s) {
    HWND d = s.waitForDialog(L"Shot Settings");
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(text(d, IDC_LABELS), L"%H%M");
    s.click(d, IDC_USE_DEFAULTS);
    EXPECT_TRUE(enabledOfTheTable(d).empty());
    s.type(d, IDC_SHOT_NAME, L"Desk 2");
    s.press(d, IDOK);
    EXPECT_TRUE(s.waitClosed(d));
  });
  ShotDefinition expected = shot;
  expected.NAME = L"Desk 2";
  expected.USE_GLOBAL_SETTINGS = true;
  expected.DEFAULT_FTP_SERVER = false;
  EXPECT_TRUE(runShotSettingsDialog(nullptr, shot, false, L""));
  EXPECT_EQ(shot, expected);
}

TEST_F(ShotSettingsDialogTest, TheIntervalIsReadAsANumberAndAnUnknownFormatSavesMinusOne) {
  ShotDefinition shot = editedShot();
  shot.FORMAT = 7;
  DialogScript script([](DialogScript& s) {
    HWND d = s.waitForDialog(L"Shot Settings");
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(SendDlgItemMessageW(d, IDC_FORMAT, CB_GETCURSEL, 0, 0), CB_ERR);
    s.type(d, IDC_INTERVAL, L"42abc");
    s.press(d, IDOK);
    EXPECT_TRUE(s.waitClosed(d));
  });
  EXPECT_TRUE(runShotSettingsDialog(nullptr, shot, false, L""));
  EXPECT_EQ(shot.AUTO_INTERVAL, 42);
  EXPECT_EQ(shot.FORMAT, -1);
}

TEST_F(FtpSettingsDialogTest, OkThenShotSettingsCancelLeavesTheShotUntouched) {
  ShotDefinition shot = editedShot();
  const ShotDefinition before = shot;
  DialogScript script([](DialogScript& s) {
    HWND d = s.waitForDialog(L"Shot Settings");
    ASSERT_NE(d, nullptr);
    s.press(d, IDC_FTP_SERVER_SETTINGS);
    HWND f = s.waitForDialog(L"Ftp Settings");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(text(f, IDC_FTP_SERVER), L"ftp.old");
    s.type(f, IDC_FTP_SERVER, L"ftp.new");
    s.type(f, IDC_FTP_USER, L"anna");
    s.type(f, IDC_FTP_PASSWORD, L"secret");
    s.press(f, IDOK);
    EXPECT_TRUE(s.waitClosed(f));
    s.press(d, IDCANCEL);
    EXPECT_TRUE(s.waitClosed(d));
  });
  EXPECT_FALSE(runShotSettingsDialog(nullptr, shot, false, L""));
  EXPECT_EQ(shot, before);
}

TEST_F(FtpSettingsDialogTest, ThePasswordIsStoredEncryptedShownDecryptedAndRefusedAboveU00FF) {
  ShotDefinition shot = editedShot();
  DialogScript script([](DialogScript& s) {
    HWND d = s.waitForDialog(L"Shot Settings");
    ASSERT_NE(d, nullptr);
    s.press(d, IDC_FTP_SERVER_SETTINGS);
    HWND f = s.waitForDialog(L"Ftp Settings");
    ASSERT_NE(f, nullptr);
    s.type(f, IDC_FTP_PASSWORD, L"p\u0100ss");
    s.press(f, IDOK);
    HWND message = s.waitForDialog(L"Ftp Settings", f);
    ASSERT_NE(message, nullptr);
    EXPECT_NE(childTexts(message).find(L"U+0100"), std::wstring::npos);
    s.press(message, IDOK);
    EXPECT_TRUE(s.waitClosed(message));
    EXPECT_TRUE(IsWindow(f));
    s.type(f, IDC_FTP_PASSWORD, L"s3cr\u00e9t");
    s.press(f, IDOK);
    EXPECT_TRUE(s.waitClosed(f));

    s.press(d, IDC_FTP_SERVER_SETTINGS);
    f = s.waitForDialog(L"Ftp Settings");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(text(f, IDC_FTP_PASSWORD), L"s3cr\u00e9t");
    s.press(f, IDCANCEL);
    EXPECT_TRUE(s.waitClosed(f));
    s.press(d, IDOK);
    EXPECT_TRUE(s.waitClosed(d));
  });
  EXPECT_TRUE(runShotSettingsDialog(nullptr, shot, false, L""));
  EXPECT_NE(shot.FTP_PASS, L"s3cr\u00e9t");
  EXPECT_EQ(decrypted(shot.FTP_PASS), L"s3cr\u00e9t");
}

// A field stops the typing where what is stored ends, and a value longer than that (a hand-edited
// file) is neither cut nor, for a password left alone, encrypted anew.
TEST_F(FtpSettingsDialogTest, FieldsStopAtWhatIsStoredAndALongUntouchedPasswordIsKept) {
  std::wstring cipher(300, L'p');
  ASSERT_TRUE(PasswordCipher::instance().encrypt(cipher, cipher.size()));
  const std::wstring server(300, L's');
  FtpLogin login{server, L"anna", cipher};
  DialogScript script([](DialogScript& s) {
    HWND f = s.waitForDialog(L"Ftp Settings");
    ASSERT_NE(f, nullptr);
    for (int id : {IDC_FTP_SERVER, IDC_FTP_USER, IDC_FTP_PASSWORD}) {
      EXPECT_EQ(SendDlgItemMessageW(f, id, EM_GETLIMITTEXT, 0, 0), 259) << id;
    }
    s.press(f, IDOK);
    EXPECT_TRUE(s.waitClosed(f));
  });
  ASSERT_TRUE(runFtpSettingsDialog(nullptr, login, {}));
  EXPECT_EQ(login.passwordCipherText, cipher);
  EXPECT_EQ(login.server, server);
}

TEST_F(FtpSettingsDialogTest, AnAddressOfNoKnownFormIsRefusedAndOneWithASchemeIsKept) {
  FtpLogin login{L"ftp.example.com", L"anna", L""};
  DialogScript script([](DialogScript& s) {
    HWND f = s.waitForDialog(L"Ftp Settings");
    ASSERT_NE(f, nullptr);
    s.type(f, IDC_FTP_SERVER, L"gopher://example.com");
    s.press(f, IDOK);
    HWND message = s.waitForDialog(L"Ftp Settings", f);
    ASSERT_NE(message, nullptr);
    EXPECT_NE(childTexts(message).find(L"sftp://"), std::wstring::npos);
    s.press(message, IDOK);
    EXPECT_TRUE(s.waitClosed(message));
    s.type(f, IDC_FTP_SERVER, L"sftp://example.com:2222");
    s.press(f, IDOK);
    EXPECT_TRUE(s.waitClosed(f));
  });
  ASSERT_TRUE(runFtpSettingsDialog(nullptr, login, {}));
  EXPECT_EQ(login.server, L"sftp://example.com:2222");
}

}  // namespace
