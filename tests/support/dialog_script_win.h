#pragma once
// The dialogs from their real templates, driven by messages from a second thread while the
// test's thread runs them modally, as a user's typing and clicks would.
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
#include "support/message_pump_win.h"
#include "support/temp_folder.h"
#include "support/vemlix_process_win.h"
#include "ui/about_dialog.h"
#include "ui/dialog_ids.h"
#include "ui/ftp_settings_dialog.h"
#include "ui/run_key_access.h"
#include "ui/schedule_storage_dialog.h"
#include "ui/settings_dialog.h"
#include "ui/shot_settings_dialog.h"

inline constexpr DWORD kPatienceMs = 10000;

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

inline std::wstring text(HWND dialog, int id) {
  wchar_t buffer[512] = {};
  GetDlgItemTextW(dialog, id, buffer, 512);
  return buffer;
}
// Every text of a window's controls, e.g. a message box's.
inline std::wstring childTexts(HWND window) {
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
inline std::set<int> enabledOfTheTable(HWND dialog) {
  std::set<int> enabled;
  for (int id : {IDC_AUTO_MODE, IDC_INTERVAL, IDC_LABELS, IDC_FORMAT, IDC_SAVE_LOCAL,
                 IDC_LOCAL_PATH, IDC_BROWSE, IDC_SAVE_FTP, IDC_FTP_PATH, IDC_FTP_SERVER_SETTINGS}) {
    if (IsWindowEnabled(GetDlgItem(dialog, id))) enabled.insert(id);
  }
  return enabled;
}

// A time picker's hour and minute as "HH:MM", and setting them as a user's typing would.
inline std::wstring pickedTime(HWND dialog, int id) {
  SYSTEMTIME time{};
  SendDlgItemMessageW(dialog, id, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time));
  wchar_t text[8] = {};
  swprintf(text, 8, L"%02u:%02u", time.wHour, time.wMinute);
  return text;
}
inline void pickTime(HWND dialog, int id, WORD hour, WORD minute) {
  SYSTEMTIME time{};
  GetLocalTime(&time);
  time.wHour = hour;
  time.wMinute = minute;
  time.wSecond = 0;
  SendDlgItemMessageW(dialog, id, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
}
inline std::wstring tickedDays(HWND dialog) {
  std::wstring days;
  for (int id = IDC_MONDAY; id <= IDC_SUNDAY; ++id)
    days += IsDlgButtonChecked(dialog, id) == BST_CHECKED ? L'1' : L'0';
  return days;
}
// Presses Save, expects the dialog's refusal and dismisses it; the dialog stays open.
inline void expectRefusedSave(DialogScript& s, HWND dialog) {
  s.press(dialog, IDOK);
  HWND message = s.waitForDialog(L"Schedule and Storage", dialog);
  ASSERT_NE(message, nullptr);
  s.press(message, IDOK);
  EXPECT_TRUE(s.waitClosed(message));
  EXPECT_TRUE(IsWindow(dialog));
}

inline std::wstring decrypted(std::wstring stored) {
  PasswordCipher::instance().decrypt(stored, stored.size());
  return stored;
}

inline std::optional<std::wstring> runValue() {
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
