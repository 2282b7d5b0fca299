// Vemlix Settings with its Default Shot Settings, and About.
#include "support/dialog_script_win.h"

namespace {

TEST_F(SettingsDialogTest, SaveWritesTheFileAndTheQuotedRunValueAndClearingDeletesIt) {
  AppSettings& settings = AppSettings::instance();
  settings.setString(SettingId::HOME_PATH, L"C:\\Program Files\\Vemlix\\");
  settings.setInt(SettingId::LOAD_ON_START, 0);
  {
    DialogScript tick([](DialogScript& s) {
      HWND d = s.waitForDialog(L"Vemlix Settings");
      ASSERT_NE(d, nullptr);
      EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, IDC_IDLE_SECONDS)));
      s.click(d, IDC_DISABLE_IDLE);
      EXPECT_TRUE(IsWindowEnabled(GetDlgItem(d, IDC_IDLE_SECONDS)));
      s.type(d, IDC_IDLE_SECONDS, L"90");
      EXPECT_EQ(text(d, IDC_MIN_FREE_MB), L"1024");
      s.type(d, IDC_MIN_FREE_MB, L"2048");
      s.click(d, IDC_LAUNCH_ON_STARTUP);
      s.press(d, IDOK);
      EXPECT_TRUE(s.waitClosed(d));
    });
    EXPECT_TRUE(runSettingsDialog(nullptr, AppSettings::instance()));
  }
  EXPECT_EQ(runValue(), L"\"C:\\Program Files\\Vemlix\\Vemlix.exe\"");
  const std::string saved = settingsFile();
  EXPECT_NE(saved.find("\r\nLOAD_ON_START=1\r\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("\r\nDISABLE_IDLE=1\r\nDISABLE_IDLE_INTERVAL=90\r\n"), std::string::npos);
  EXPECT_NE(saved.find("\r\nMIN_FREE_MB=2048\r\n"), std::string::npos);

  DialogScript clear([](DialogScript& s) {
    HWND d = s.waitForDialog(L"Vemlix Settings");
    ASSERT_NE(d, nullptr);
    s.click(d, IDC_LAUNCH_ON_STARTUP);
    s.press(d, IDOK);
    EXPECT_TRUE(s.waitClosed(d));
  });
  EXPECT_TRUE(runSettingsDialog(nullptr, AppSettings::instance()));
  EXPECT_EQ(runValue(), std::nullopt);
  EXPECT_NE(settingsFile().find("\r\nLOAD_ON_START=0\r\n"), std::string::npos);
}

TEST_F(SettingsDialogTest, CancelAfterDefaultShotSettingsSaveKeepsTheDefaultsAndTheRunValue) {
  ASSERT_EQ(RunKeyAccess::instance().setRunValue(kRunSubKey, kRunValueName, L"earlier"), S_OK);
  DialogScript script([](DialogScript& s) {
    HWND d = s.waitForDialog(L"Vemlix Settings");
    ASSERT_NE(d, nullptr);
    s.press(d, IDC_DEFAULT_SHOT_SETTINGS);
    HWND g = s.waitForDialog(L"Default Shot Settings");
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(text(g, IDC_FORMAT), L"Png - Portable Network Graphics Format");
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(g, IDC_INTERVAL)));
    s.type(g, IDC_INTERVAL, L"15");
    SendDlgItemMessageW(g, IDC_FORMAT, CB_SETCURSEL, 1, 0);
    s.press(g, IDC_FTP_SERVER_SETTINGS);
    HWND f = s.waitForDialog(L"Ftp Settings");
    ASSERT_NE(f, nullptr);
    s.type(f, IDC_FTP_SERVER, L"ftp.defaults");
    s.type(f, IDC_FTP_PASSWORD, L"pw");
    s.press(f, IDOK);
    EXPECT_TRUE(s.waitClosed(f));
    s.press(g, IDOK);
    EXPECT_TRUE(s.waitClosed(g));
    s.click(d, IDC_LAUNCH_ON_STARTUP);
    s.press(d, IDCANCEL);
    EXPECT_TRUE(s.waitClosed(d));
  });
  EXPECT_FALSE(runSettingsDialog(nullptr, AppSettings::instance()));
  EXPECT_EQ(runValue(), L"earlier");
  const std::string saved = settingsFile();
  EXPECT_NE(saved.find("\r\nSHOT_INTERVAL=15\r\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("\r\nSHOT_FORMAT=1\r\n"), std::string::npos);
  EXPECT_NE(saved.find("\r\nFTP_SERVER=ftp.defaults\r\n"), std::string::npos);
  const std::wstring password = AppSettings::instance().getString(SettingId::FTP_PASSWORD);
  EXPECT_NE(password, L"pw");
  EXPECT_EQ(decrypted(password), L"pw");
}

TEST_F(AboutDialogTest, ShowsTheVersionLineAndClosesByOkAndByEscape) {
  for (int button : {IDOK, IDCANCEL}) {
    DialogScript script([button](DialogScript& s) {
      HWND d = s.waitForDialog(L"About Tarnwelt Vemlix");
      ASSERT_NE(d, nullptr);
      EXPECT_EQ(text(d, IDC_ABOUT_VERSION), L"Vemlix v1.3");
      s.press(d, button);
      EXPECT_TRUE(s.waitClosed(d));
    });
    runAboutDialog(nullptr, AppSettings::instance().getString(SettingId::VERSION));
  }
}

}  // namespace
