// What a firing leaves in the log and on the tray icon, with the main window open: uploads,
// refusals, a locked session, long names, old pictures, a nearly full disk, a still screen.
#include "support/main_window_fixture_win.h"

namespace {

TEST_F(MainWindowReportTest, ASavedAndUploadedShotAndARefusedLoginReachTheLogAndTheIcon) {
  addUploadedShot(L"Desk", L"Up-load 7");
  addUploadedShot(L"Refused", L"Wrong pass 8");
  open();
  ASSERT_TRUE(tray().tip().empty());

  takeAndWait(0);
  const std::wstring saved = *filesMatching(pictures_.path(), L"Desk-*.png").begin();
  const std::string first = log();
  EXPECT_NE(first.find(" | Desk | saved " + encodeUtf8(pictures_.file(saved), false) +
                       " | uploaded to 127.0.0.1\r\n"),
            std::string::npos)
      << first;
  EXPECT_EQ(tray().tip().substr(0, 5) + tray().tip().substr(13), L"Desk  saved and uploaded");
  EXPECT_FALSE(tray().showsWarning());

  takeAndWait(1);
  const std::string both = log();
  // The server's own words: pyftpdlib answers a wrong password with "530 Authentication failed."
  EXPECT_NE(both.find(" | Refused | saved ", first.size()), std::string::npos) << both;
  EXPECT_NE(both.find(" | upload failed: 530 Authentication failed., waiting to upload again\r\n"),
            std::string::npos);
  EXPECT_EQ(tray().tip().substr(16),
            L" upload failed: 530 Authentication failed., 1 waiting to upload");
  EXPECT_TRUE(tray().showsWarning());
  EXPECT_EQ(both.find("Up-load 7"), std::string::npos);
  EXPECT_EQ(both.find("Wrong pass 8"), std::string::npos);

  Sleep(1000);  // a new second, so a new file name
  takeAndWait(0);
  EXPECT_TRUE(tray().showsWarning());  // the refused one still waits
}

TEST_F(MainWindowReportTest, AutomaticModeTakesNothingWhileTheSessionIsLocked) {
  addShot(L"Locked", true);
  shots_.back().AUTO_INTERVAL = 1;
  addShot(L"Slow", true);
  shots_.back().AUTO_INTERVAL = 1000;
  open();
  const auto slowCount = [] {
    return ShotStore::instance().copy(ShotStore::instance().at(1)).tickCount;
  };
  ShotScheduler::instance().start();
  ASSERT_TRUE(pumpUntil([&] { return filesOf(L"Locked") >= 1; }, 5000));

  SendMessageW(window_, WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK, 0);
  pumpUntil([] { return false; }, 300);  // a tick already under way may still end
  ASSERT_TRUE(WorkerGroup::workers().waitIdle(std::chrono::seconds(20)));
  const size_t atLock = filesOf(L"Locked");
  const int32_t countAtLock = slowCount();
  pumpUntil([] { return false; }, 3000);
  EXPECT_EQ(filesOf(L"Locked"), atLock);
  EXPECT_EQ(slowCount(), countAtLock);

  SendMessageW(window_, WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK, 0);
  EXPECT_TRUE(pumpUntil([&] { return filesOf(L"Locked") >= atLock + 2; }, 5000));
  EXPECT_GT(slowCount(), countAtLock);
}

// A name too long for a file name with its time is shortened, never the time: one picture a
// second, none over another.
TEST_F(MainWindowReportTest, ALongNameStillGivesOnePictureASecond) {
  const std::wstring name(250, L'n');
  addShot(name, true);
  shots_.back().AUTO_INTERVAL = 1;
  open();
  ShotScheduler::instance().start();
  EXPECT_TRUE(
      pumpUntil([&] { return filesMatching(pictures_.path(), L"nnn*.png").size() >= 3; }, 8000));
  ShotScheduler::instance().stop();
  ASSERT_TRUE(WorkerGroup::workers().waitIdle(std::chrono::seconds(20)));
  EXPECT_EQ(log().find(" | not saved"), std::string::npos) << log();
}

// Automatic Mode at one a second keeps three of the shot's own pictures; a file that only
// looks like one of them stays.
TEST_F(MainWindowReportTest, KeepCountLeavesTheNewestPicturesAndNothingElseGoes) {
  addShot(L"Kept", true);
  shots_.back().AUTO_INTERVAL = 1;
  shots_.back().KEEP_COUNT = 3;
  const std::wstring lookAlike = pictures_.file(L"Kept-00_00_00.png");
  writeBytes(lookAlike, "not ours");
  open();
  ShotScheduler::instance().start();
  ASSERT_TRUE(pumpUntil([&] { return countOf(log(), " | Kept | saved ") >= 5; }, 10000));
  ShotScheduler::instance().stop();
  ASSERT_TRUE(WorkerGroup::workers().waitIdle(std::chrono::seconds(20)));
  EXPECT_EQ(filesOf(L"Kept"), 4u);
  EXPECT_EQ(readBytes(lookAlike), "not ours");
}

// Below the free-space floor nothing is saved and the log says why; with room again,
// pictures come back without a restart.
TEST_F(MainWindowReportTest, BelowTheFreeSpaceFloorNothingIsSavedUntilThereIsRoom) {
  addShot(L"Full", true);
  shots_.back().AUTO_INTERVAL = 1;
  AppSettings::instance().setInt(SettingId::MIN_FREE_MB, 2000000000);  // ~2 PB
  open();
  ShotScheduler::instance().start();
  ASSERT_TRUE(pumpUntil(
      [&] { return log().find(" | not saved: disk nearly full: ") != std::string::npos; }, 5000))
      << log();
  EXPECT_EQ(filesOf(L"Full"), 0u);
  EXPECT_TRUE(pumpUntil([] { return tray().showsWarning(); }, 2000));
  AppSettings::instance().setInt(SettingId::MIN_FREE_MB, 1);
  EXPECT_TRUE(pumpUntil([&] { return filesOf(L"Full") >= 1; }, 5000));
}

// On a still screen only the first picture is saved; a window opening over the area gives
// the next one.
TEST_F(MainWindowReportTest, AnUnchangedScreenIsSavedOnceAndAChangeSavesAgain) {
  addShot(L"Still", true);
  shots_.back().AUTO_INTERVAL = 1;
  shots_.back().SKIP_UNCHANGED = true;
  shots_.back().RECT_X = 900;  // away from the window and its tray icon's animations
  shots_.back().RECT_Y = 700;
  open();
  ShotScheduler::instance().start();
  ASSERT_TRUE(pumpUntil([&] { return filesOf(L"Still") >= 1; }, 5000));
  pumpUntil([] { return false; }, 3000);
  EXPECT_EQ(filesOf(L"Still"), 1u);

  WNDCLASSW red{};
  red.lpfnWndProc = DefWindowProcW;
  red.hInstance = GetModuleHandleW(nullptr);
  red.hbrBackground = CreateSolidBrush(RGB(220, 20, 60));
  red.lpszClassName = L"VemlixTestRedPanel";
  RegisterClassW(&red);
  HWND cover = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, red.lpszClassName, L"",
                               WS_POPUP | WS_VISIBLE, 900, 700, 40, 30, nullptr, nullptr,
                               red.hInstance, nullptr);
  UpdateWindow(cover);
  EXPECT_TRUE(pumpUntil([&] { return filesOf(L"Still") >= 2; }, 5000));
  DestroyWindow(cover);
  UnregisterClassW(red.lpszClassName, red.hInstance);
  DeleteObject(red.hbrBackground);
}

// The system's answer counts, not a notification that any process can post.
TEST_F(MainWindowReportTest, AStartWhileLockedTakesNothingUntilTheSystemSaysUnlocked) {
  addShot(L"Asked", true);
  shots_.back().AUTO_INTERVAL = 0;
  std::atomic<bool> locked{true};
  MainWindow::instance().setSessionQuery([&] {
    return win32::SessionState::Reading{locked.load(), true};
  });
  open();
  ShotScheduler::instance().start();
  pumpUntil([] { return false; }, 2500);
  EXPECT_EQ(filesOf(L"Asked"), 0u);
  PostMessageW(window_, WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK, 0);
  pumpUntil([] { return false; }, 2000);
  EXPECT_EQ(filesOf(L"Asked"), 0u) << "a posted unlock was believed";

  locked = false;
  PostMessageW(window_, WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK, 0);
  ASSERT_TRUE(pumpUntil([&] { return filesOf(L"Asked") >= 1; }, 5000));
  PostMessageW(window_, WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK, 0);
  pumpUntil([] { return false; }, 300);
  const size_t afterFakeLock = filesOf(L"Asked");
  EXPECT_TRUE(pumpUntil([&] { return filesOf(L"Asked") >= afterFakeLock + 2; }, 5000))
      << "a posted lock was believed";
}

}  // namespace
