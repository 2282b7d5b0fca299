// Running unattended, in the main window made in the test's own process: what each firing
// leaves in Vemlix.log and on the tray icon, uploads included (tests/servers), and Automatic
// Mode while the session is locked.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which it builds on.
#include <wtsapi32.h>

#include <chrono>
#include <string>
#include <vector>

#include "platform/text_codec.h"
#include "platform/worker_group.h"
#include "scheduler/shot_scheduler_win.h"
#include "settings/password_cipher.h"
#include "shots/shots_file.h"
#include "support/data_folder_test.h"
#include "support/message_pump_win.h"
#include "support/vemlix_process_win.h"
#include "ui/main_window.h"
#include "ui/resource_ids.h"
#include "widgets/widgets.h"

namespace {

constexpr wchar_t kPassword[] = L"Up-load 7";

std::wstring cipherText(std::wstring plain) {
  PasswordCipher::instance().encrypt(plain, plain.size());
  return plain;
}

class UnattendedTest : public DataFolderTest {
 protected:
  void SetUp() override {
    DataFolderTest::SetUp();
    WorkerGroup::workers().reopen();
    AppSettings::instance().setInt(SettingId::WND_XPOS, 100);
    AppSettings::instance().setInt(SettingId::WND_YPOS, 100);
  }
  void TearDown() override {
    if (window_ && IsWindow(window_)) SendMessageW(window_, WM_COMMAND, CMD_EXIT, 0);
    pumpUntil([] { return false; }, 200);
    MainWindow::release();
    ShotScheduler::release();
    WorkerGroup::workers().waitIdle(std::chrono::seconds(20));
    DataFolderTest::TearDown();
  }

  ShotDefinition shot(const std::wstring& name, const std::wstring& password) const {
    ShotDefinition shot;
    shot.NAME = name;
    shot.RECT_WIDTH = 40;
    shot.RECT_HEIGHT = 30;
    shot.FORMAT = 4;
    shot.TIMESTAMP = L"%H_%M_%S";
    shot.LOCAL_PATH = pictures_.path();
    if (!password.empty()) {
      shot.FTP_SERVER = L"127.0.0.1";
      shot.FTP_USER = L"vemlix";
      shot.FTP_PASS = cipherText(password);
    }
    return shot;
  }

  void open(const std::vector<ShotDefinition>& shots) {
    writeBytes(AppSettings::instance().sharedDataFolder() + kShotsFileName, formatShotsFile(shots));
    HINSTANCE module = GetModuleHandleW(nullptr);
    InitWidgets(module);
    MainWindow& main = MainWindow::instance();
    main.initialize(module);
    main.registerWindowClass(module);
    ASSERT_EQ(main.createMainWindow(module, SW_SHOW), 1);
    window_ = main.window();
    pumpPending();
  }

  // Takes the shot in `slot` and waits until its report has reached the tray icon.
  void takeAndWait(uint32_t slot) {
    const std::wstring before = tray().tip();
    ShotScheduler::instance().fireShot(ShotStore::instance().at(slot));
    ASSERT_TRUE(WorkerGroup::workers().waitIdle(std::chrono::seconds(30)));
    pumpUntil([&] { return tray().tip() != before; }, 2000);
  }

  static const TrayIcon& tray() { return MainWindow::instance().trayIcon(); }
  std::string log() const { return readBytes(ShotScheduler::activityLog().path()); }
  size_t filesOf(const std::wstring& name) const {
    return filesMatching(pictures_.path(), name + L"-*.png").size();
  }

  TempFolder pictures_;
  HWND window_ = nullptr;
};

TEST_F(UnattendedTest, ASavedAndUploadedShotAndARefusedLoginAreLoggedAndShownOnTheTrayIcon) {
  open({shot(L"Desk", kPassword), shot(L"Refused", L"Wrong pass 8")});
  ASSERT_TRUE(tray().tip().empty());

  takeAndWait(0);
  const std::wstring saved =
      pictures_.file(*filesMatching(pictures_.path(), L"Desk-*.png").begin());
  const std::string firstLine = log();
  EXPECT_NE(firstLine.find(" | Desk | saved " + encodeUtf8(saved, false) +
                           " | uploaded to 127.0.0.1\r\n"),
            std::string::npos)
      << firstLine;
  EXPECT_EQ(tray().tip().substr(0, 5), L"Desk ");
  EXPECT_EQ(tray().tip().substr(13), L" saved and uploaded");
  EXPECT_FALSE(tray().showsWarning());

  takeAndWait(1);
  const std::string both = log();
  const std::string secondLine = both.substr(firstLine.size());
  EXPECT_NE(secondLine.find(" | Refused | saved "), std::string::npos) << secondLine;
  // The server's own words: pyftpdlib answers a wrong password with "530 Authentication failed."
  EXPECT_NE(secondLine.find(" | upload failed: 530 Authentication failed.\r\n"), std::string::npos)
      << secondLine;
  EXPECT_EQ(tray().tip().substr(0, 8), L"Refused ");
  EXPECT_EQ(tray().tip().substr(16), L" upload failed: 530 Authentication failed.");
  EXPECT_TRUE(tray().showsWarning());
  for (const char* secret : {"Up-load 7", "Wrong pass 8"}) {
    EXPECT_EQ(both.find(secret), std::string::npos) << secret;
  }

  // The badge stays until the next success.
  Sleep(1000);  // a new second, so a new file name
  takeAndWait(0);
  EXPECT_FALSE(tray().showsWarning());
}

TEST_F(UnattendedTest, AutomaticModeTakesNothingWhileTheSessionIsLocked) {
  ShotDefinition everySecond = shot(L"Locked", L"");
  everySecond.AUTO_ENABLED = true;
  everySecond.AUTO_INTERVAL = 1;
  ShotDefinition slow = everySecond;
  slow.NAME = L"Slow";
  slow.AUTO_INTERVAL = 1000;
  open({everySecond, slow});
  ShotScheduler::instance().start();
  ASSERT_TRUE(pumpUntil([&] { return filesOf(L"Locked") >= 1; }, 5000));

  SendMessageW(window_, WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK, 0);
  pumpUntil([] { return false; }, 300);  // a tick already under way may still end
  ASSERT_TRUE(WorkerGroup::workers().waitIdle(std::chrono::seconds(20)));
  const size_t atLock = filesOf(L"Locked");
  const int32_t countAtLock = ShotStore::instance().copy(ShotStore::instance().at(1)).tickCount;
  pumpUntil([] { return false; }, 3000);
  EXPECT_EQ(filesOf(L"Locked"), atLock);
  EXPECT_EQ(ShotStore::instance().copy(ShotStore::instance().at(1)).tickCount, countAtLock);

  SendMessageW(window_, WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK, 0);
  EXPECT_TRUE(pumpUntil([&] { return filesOf(L"Locked") >= atLock + 2; }, 5000));
  EXPECT_GT(ShotStore::instance().copy(ShotStore::instance().at(1)).tickCount, countAtLock);
}

}  // namespace
