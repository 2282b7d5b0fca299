// The dialogs from their real templates, driven by messages from a second thread while the
// test's thread runs them modally, as a user's typing and clicks would.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which it builds on.
#include <commctrl.h>

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <thread>

#include "settings/app_settings.h"
#include "settings/password_cipher.h"
#include "support/data_folder_test.h"
#include "support/temp_folder.h"
#include "support/vemlix_process_win.h"
#include "ui/about_dialog.h"
#include "ui/dialog_ids.h"
#include "ui/ftp_settings_dialog.h"
#include "ui/run_key_access.h"
#include "ui/schedule_storage_dialog.h"
#include "ui/settings_dialog.h"
#include "ui/shot_settings_dialog.h"

namespace {

constexpr DWORD kPatienceMs = 10000;

// Runs `steps` on a second thread against the dialogs of the constructing thread. Whatever the
// steps leave open (after a failed expectation) is cancelled, so a test cannot hang; a script
// must therefore end (leave its scope) before the next dialog opens.
class DialogScript {
 public:
  explicit DialogScript(std::function<void(DialogScript&)> steps)
      : uiThread_(GetCurrentThreadId()), thread_([this, steps = std::move(steps)] {
          steps(*this);
          cancelLeftovers();
        }) {}
  ~DialogScript() { thread_.join(); }

  // The visible, enabled (so innermost) dialog with this caption, other than `except`.
  HWND waitForDialog(const std::wstring& caption, HWND except = nullptr) const {
    HWND found = nullptr;
    waitFor([&] { return (found = findDialog(&caption, except)) != nullptr; }, kPatienceMs);
    return found;
  }
  static bool waitClosed(HWND dialog) {
    return waitFor([&] { return !IsWindow(dialog); }, kPatienceMs);
  }
  // Posted: a button that opens a modal dialog would keep a sent message waiting until it ends.
  static void press(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
  }
  static void click(HWND dialog, int id) { SendDlgItemMessageW(dialog, id, BM_CLICK, 0, 0); }
  static void type(HWND dialog, int id, const std::wstring& text) {
    SetDlgItemTextW(dialog, id, text.c_str());
  }

 private:
  struct Search {
    const std::wstring* caption;
    HWND except;
    HWND found;
  };

  HWND findDialog(const std::wstring* caption, HWND except) const {
    Search search{caption, except, nullptr};
    EnumThreadWindows(
        uiThread_,
        [](HWND window, LPARAM param) {
          auto& search = *reinterpret_cast<Search*>(param);
          wchar_t className[16] = {};
          wchar_t text[128] = {};
          GetClassNameW(window, className, 16);
          GetWindowTextW(window, text, 128);
          if (window != search.except && std::wstring(className) == L"#32770" &&
              IsWindowVisible(window) && IsWindowEnabled(window) &&
              (!search.caption || *search.caption == text)) {
            search.found = window;
            return FALSE;
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
  }
  void cancelLeftovers() const {
    waitFor(
        [&] {
          HWND open = findDialog(nullptr, nullptr);
          if (open) PostMessageW(open, WM_COMMAND, IDCANCEL, 0);
          return open == nullptr;
        },
        kPatienceMs);
  }

  DWORD uiThread_;
  std::thread thread_;
};

std::wstring text(HWND dialog, int id) {
  wchar_t buffer[512] = {};
  GetDlgItemTextW(dialog, id, buffer, 512);
  return buffer;
}
// Every text of a window's controls, e.g. a message box's.
std::wstring childTexts(HWND window) {
  std::wstring texts;
  EnumChildWindows(
      window,
      [](HWND child, LPARAM all) {
        wchar_t buffer[1024] = {};
        GetWindowTextW(child, buffer, 1024);
        *reinterpret_cast<std::wstring*>(all) += std::wstring(buffer) + L"\n";
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&texts));
  return texts;
}

// The controls of the Shot Settings dialog that the enabling rules govern.
std::set<int> enabledOfTheTable(HWND dialog) {
  std::set<int> enabled;
  for (int id : {IDC_AUTO_MODE, IDC_INTERVAL, IDC_LABELS, IDC_FORMAT, IDC_SAVE_LOCAL,
                 IDC_LOCAL_PATH, IDC_BROWSE, IDC_SAVE_FTP, IDC_FTP_PATH, IDC_FTP_SERVER_SETTINGS}) {
    if (IsWindowEnabled(GetDlgItem(dialog, id))) enabled.insert(id);
  }
  return enabled;
}

// A time picker's hour and minute as "HH:MM", and setting them as a user's typing would.
std::wstring pickedTime(HWND dialog, int id) {
  SYSTEMTIME time{};
  SendDlgItemMessageW(dialog, id, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time));
  wchar_t text[8] = {};
  swprintf(text, 8, L"%02u:%02u", time.wHour, time.wMinute);
  return text;
}
void pickTime(HWND dialog, int id, WORD hour, WORD minute) {
  SYSTEMTIME time{};
  GetLocalTime(&time);
  time.wHour = hour;
  time.wMinute = minute;
  time.wSecond = 0;
  SendDlgItemMessageW(dialog, id, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
}
std::wstring tickedDays(HWND dialog) {
  std::wstring days;
  for (int id = IDC_MONDAY; id <= IDC_SUNDAY; ++id)
    days += IsDlgButtonChecked(dialog, id) == BST_CHECKED ? L'1' : L'0';
  return days;
}
// Presses Save, expects the dialog's refusal and dismisses it; the dialog stays open.
void expectRefusedSave(DialogScript& s, HWND dialog) {
  s.press(dialog, IDOK);
  HWND message = s.waitForDialog(L"Schedule and Storage", dialog);
  ASSERT_NE(message, nullptr);
  s.press(message, IDOK);
  EXPECT_TRUE(s.waitClosed(message));
  EXPECT_TRUE(IsWindow(dialog));
}

std::wstring decrypted(std::wstring stored) {
  PasswordCipher::instance().decrypt(stored, stored.size());
  return stored;
}

std::optional<std::wstring> runValue() {
  wchar_t data[1024] = {};
  DWORD size = sizeof data;
  if (RegGetValueW(HKEY_CURRENT_USER, kRunSubKey, kRunValueName, RRF_RT_REG_SZ, nullptr, data,
                   &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return data;
}

class DialogTest : public DataFolderTest {
 protected:
  void SetUp() override {
    DataFolderTest::SetUp();
    AppSettings::instance().applyDefaults();
    // Windows always has the Run key; a fresh Wine prefix may not.
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, kRunSubKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                    nullptr);
    run_.reset(key);
    RegDeleteValueW(run_.get(), kRunValueName);
  }
  void TearDown() override {
    RegDeleteValueW(run_.get(), kRunValueName);
    RunKeyAccess::release();
    DataFolderTest::TearDown();
  }

  static std::string settingsFile() {
    return readBytes(AppSettings::instance().settingsFilePath());
  }
  static ShotDefinition editedShot() {
    ShotDefinition shot;
    shot.NAME = L"Desk";
    shot.AUTO_ENABLED = true;
    shot.AUTO_INTERVAL = 30;
    shot.TIMESTAMP = L"%H%M";
    shot.FORMAT = 1;
    shot.USE_OWN_LOCAL_SETTINGS = true;
    shot.LOCAL_PATH = L"C:\\shots";
    shot.USE_OWN_FTP_SETTINGS = true;
    shot.FTP_FOLDER = L"/up";
    shot.FTP_SERVER = L"ftp.old";
    shot.DEFAULT_FTP_SERVER = true;
    return shot;
  }

  win32::UniqueRegKey run_;
};

using ShotSettingsDialogTest = DialogTest;
using FtpSettingsDialogTest = DialogTest;
using SettingsDialogTest = DialogTest;
using AboutDialogTest = DialogTest;
using ScheduleStorageDialogTest = DialogTest;

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
  EXPECT_FALSE(runShotSettingsDialog(nullptr, shot, true));
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
  EXPECT_TRUE(runShotSettingsDialog(nullptr, shot, false));
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
  EXPECT_TRUE(runShotSettingsDialog(nullptr, shot, false));
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
  EXPECT_FALSE(runShotSettingsDialog(nullptr, shot, false));
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
  EXPECT_TRUE(runShotSettingsDialog(nullptr, shot, false));
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
  ASSERT_TRUE(runFtpSettingsDialog(nullptr, login));
  EXPECT_EQ(login.passwordCipherText, cipher);
  EXPECT_EQ(login.server, server);
}

TEST_F(FtpSettingsDialogTest, AnAddressOfNoKnownFormIsRefusedAndOneWithASchemeIsKept) {
  FtpLogin login{L"ftp.example.com", L"anna", L""};
  DialogScript script([](DialogScript& s) {
    HWND f = s.waitForDialog(L"Ftp Settings");
    ASSERT_NE(f, nullptr);
    s.type(f, IDC_FTP_SERVER, L"http://example.com");
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
  ASSERT_TRUE(runFtpSettingsDialog(nullptr, login));
  EXPECT_EQ(login.server, L"sftp://example.com:2222");
}

TEST_F(ScheduleStorageDialogTest, ShowsTheShotsValuesSavesTheFormsAndRefusesEmptyRanges) {
  ShotDefinition shot = editedShot();
  shot.KEEP_DAYS = 30;
  shot.SKIP_UNCHANGED = true;
  shot.ACTIVE_HOURS = L"22:00-06:30";
  shot.ACTIVE_DAYS = L"1111100";
  const ShotDefinition before = shot;
  {
    DialogScript cancel([](DialogScript& s) {
      HWND d = s.waitForDialog(L"Schedule and Storage");
      ASSERT_NE(d, nullptr);
      EXPECT_EQ(text(d, IDC_KEEP_DAYS), L"30");
      EXPECT_EQ(text(d, IDC_KEEP_COUNT), L"");
      EXPECT_TRUE(IsDlgButtonChecked(d, IDC_SKIP_UNCHANGED));
      EXPECT_TRUE(IsDlgButtonChecked(d, IDC_ACTIVE_HOURS));
      EXPECT_EQ(pickedTime(d, IDC_HOURS_FROM), L"22:00");
      EXPECT_EQ(pickedTime(d, IDC_HOURS_TO), L"06:30");
      EXPECT_EQ(tickedDays(d), L"1111100");
      s.type(d, IDC_KEEP_DAYS, L"7");
      s.click(d, IDC_SKIP_UNCHANGED);
      s.press(d, IDCANCEL);
      EXPECT_TRUE(s.waitClosed(d));
    });
    EXPECT_FALSE(runScheduleStorageDialog(nullptr, shot));
  }
  EXPECT_EQ(shot, before);
  {
    DialogScript save([](DialogScript& s) {
      HWND d = s.waitForDialog(L"Schedule and Storage");
      ASSERT_NE(d, nullptr);
      pickTime(d, IDC_HOURS_TO, 22, 0);
      expectRefusedSave(s, d);
      pickTime(d, IDC_HOURS_TO, 7, 15);
      s.type(d, IDC_KEEP_COUNT, L"500");
      s.click(d, IDC_MONDAY + 5);
      s.click(d, IDC_SUNDAY);
      s.press(d, IDOK);
      EXPECT_TRUE(s.waitClosed(d));
    });
    EXPECT_TRUE(runScheduleStorageDialog(nullptr, shot));
  }
  ShotDefinition expected = before;
  expected.KEEP_COUNT = 500;
  expected.ACTIVE_HOURS = L"22:00-07:15";
  expected.ACTIVE_DAYS = L"";
  EXPECT_EQ(shot, expected);

  DialogScript clear([](DialogScript& s) {
    HWND d = s.waitForDialog(L"Schedule and Storage");
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(tickedDays(d), L"1111111");
    s.click(d, IDC_ACTIVE_HOURS);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, IDC_HOURS_FROM)));
    for (int id = IDC_MONDAY; id <= IDC_SUNDAY; ++id) s.click(d, id);
    expectRefusedSave(s, d);
    s.click(d, IDC_MONDAY + 2);
    s.type(d, IDC_KEEP_DAYS, L"");
    s.press(d, IDOK);
    EXPECT_TRUE(s.waitClosed(d));
  });
  EXPECT_TRUE(runScheduleStorageDialog(nullptr, shot));
  EXPECT_EQ(shot.ACTIVE_HOURS, L"");
  EXPECT_EQ(shot.ACTIVE_DAYS, L"0010000");
  EXPECT_EQ(shot.KEEP_DAYS, 0);
}

TEST_F(ScheduleStorageDialogTest, ItsSaveReachesTheShotOnlyThroughShotSettingsSave) {
  for (int shotSettingsButton : {IDCANCEL, IDOK}) {
    ShotDefinition shot = editedShot();
    DialogScript script([shotSettingsButton](DialogScript& s) {
      HWND d = s.waitForDialog(L"Shot Settings");
      ASSERT_NE(d, nullptr);
      s.press(d, IDC_SCHEDULE_STORAGE);
      HWND g = s.waitForDialog(L"Schedule and Storage");
      ASSERT_NE(g, nullptr);
      s.type(g, IDC_KEEP_DAYS, L"14");
      s.press(g, IDOK);
      EXPECT_TRUE(s.waitClosed(g));
      s.press(d, shotSettingsButton);
      EXPECT_TRUE(s.waitClosed(d));
    });
    EXPECT_EQ(runShotSettingsDialog(nullptr, shot, false), shotSettingsButton == IDOK);
    EXPECT_EQ(shot.KEEP_DAYS, shotSettingsButton == IDOK ? 14 : 0);
  }
}

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
