#pragma once
// The main window made in the test's own process, with a private data folder, as the program
// makes it at start-up; the shots it loads are the test's.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which they build on.
#include <commctrl.h>
#include <oleacc.h>
#include <shellapi.h>
#include <wtsapi32.h>

#include <atomic>
#include <chrono>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/text_codec.h"
#include "platform/worker_group.h"
#include "scheduler/shot_scheduler_win.h"
#include "settings/password_cipher.h"
#include "shots/shots_file.h"
#include "support/data_folder_test.h"
#include "support/message_pump_win.h"
#include "support/temp_folder.h"
#include "support/vemlix_process_win.h"
#include "ui/main_window.h"
#include "ui/new_shot_window.h"
#include "ui/resource_ids.h"
#include "ui/shot_list_panel.h"
#include "ui/tray_icon.h"
#include "widgets/button_registry.h"
#include "widgets/widgets.h"

inline constexpr wchar_t kDesktopKey[] = L"Control Panel\\Desktop";

// Whether the notification area holds the program's icon: only an icon that is there can be
// changed.
inline bool trayHoldsIcon(HWND window) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof(data);
  data.hWnd = window;
  data.uID = IDI_SMALL;
  data.uFlags = NIF_TIP;
  wcscpy_s(data.szTip, L"probe");
  return Shell_NotifyIconW(NIM_MODIFY, &data);
}

inline void setScreenDpi(DWORD dpi) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kDesktopKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
    return;
  const win32::UniqueRegKey owned(key);
  RegSetValueExW(key, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof(dpi));
}

inline std::wstring itemText(HMENU menu, UINT position) {
  wchar_t text[128] = {};
  GetMenuStringW(menu, position, text, 128, MF_BYPOSITION);
  return text;
}

class MainWindowTest : public DataFolderTest {
 protected:
  void SetUp() override {
    DataFolderTest::SetUp();
    WorkerGroup::workers().reopen();
    AppSettings& settings = AppSettings::instance();
    settings.setInt(SettingId::WND_XPOS, 100);
    settings.setInt(SettingId::WND_YPOS, 100);
  }
  void TearDown() override {
    if (window_ && IsWindow(window_)) SendMessageW(window_, WM_COMMAND, CMD_EXIT, 0);
    pumpUntil([] { return false; }, 200);
    MainWindow::release();
    ShotScheduler::release();
    WorkerGroup::workers().waitIdle(std::chrono::seconds(20));
    DataFolderTest::TearDown();
  }

  // A shot in the file the window loads when it opens.
  void addShot(const std::wstring& name, bool automatic = false) {
    ShotDefinition shot;
    shot.NAME = name;
    shot.AUTO_ENABLED = automatic;
    shot.RECT_WIDTH = 40;
    shot.RECT_HEIGHT = 30;
    shot.FORMAT = 4;
    shot.TIMESTAMP = L"%H_%M_%S";
    shot.LOCAL_PATH = pictures_.path();
    shots_.push_back(shot);
  }

  // Makes the window as the program does at start-up and waits until it is shown.
  void open() {
    writeBytes(AppSettings::instance().sharedDataFolder() + kShotsFileName,
               formatShotsFile(shots_));
    HINSTANCE module = GetModuleHandleW(nullptr);
    InitWidgets(module);
    MainWindow& main = MainWindow::instance();
    main.initialize(module, AppSettings::instance());
    MainWindow::registerClass(module);
    ASSERT_EQ(main.createMainWindow(module, SW_SHOW), 1);
    window_ = main.window();
    pumpPending();
  }

  HWND list() const { return ShotListPanel::instance().list(); }
  std::wstring rowText(int row, int column = 0) const {
    wchar_t text[128] = {};
    ListView_GetItemText(list(), row, column, text, 128);
    return text;
  }
  int rowNamed(const std::wstring& name) const {
    for (int row = 0; row < ListView_GetItemCount(list()); ++row)
      if (rowText(row) == name) return row;
    return -1;
  }
  void select(int row) const {
    ListView_SetItemState(list(), row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_SetSelectionMark(list(), row);
  }
  void command(UINT id) const { SendMessageW(window_, WM_COMMAND, id, 0); }
  std::string settingsFile() const { return readBytes(AppSettings::instance().settingsFilePath()); }

  TempFolder pictures_;
  std::vector<ShotDefinition> shots_;
  HWND window_ = nullptr;
};

// Firings whose reports reach the log and the tray icon; uploads go to tests/servers.
class MainWindowReportTest : public MainWindowTest {
 protected:
  void addUploadedShot(const std::wstring& name, std::wstring password) {
    addShot(name);
    PasswordCipher::instance().encrypt(password, password.size());
    shots_.back().FTP_SERVER = L"127.0.0.1";
    shots_.back().FTP_USER = L"vemlix";
    shots_.back().FTP_PASS = password;
  }
  // Takes the shot in `slot` and waits until its report has reached the tray icon.
  void takeAndWait(uint32_t slot) {
    const std::wstring before = tray().tip();
    ShotScheduler::instance().fireShot(ShotStore::instance().at(slot));
    ASSERT_TRUE(WorkerGroup::workers().waitIdle(std::chrono::seconds(30)));
    pumpUntil([&] { return tray().tip() != before; }, 2000);
  }
  static const TrayIcon& tray() { return MainWindow::instance().trayIcon(); }
  static std::string log() { return readBytes(ShotScheduler::activityLog().path()); }
  static size_t countOf(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
      ++count;
    return count;
  }
  size_t filesOf(const std::wstring& name) const {
    return filesMatching(pictures_.path(), name + L"-*.png").size();
  }
};
