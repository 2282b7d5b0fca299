// Automatic Mode and Take Shot on Wine's real timer queue, screen and GDI+.
#include <gtest/gtest.h>

#include <chrono>
#include <set>
#include <string>
#include <vector>

#include "capture/screen_capturer_win.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/worker_group.h"
#include "scheduler/shot_scheduler_win.h"
#include "settings/app_settings.h"
#include "shots/shot_store.h"
#include "shots/shots_file.h"
#include "support/temp_folder.h"
#include "support/vemlix_process_win.h"

namespace {

using namespace std::chrono_literals;

// A mouse move through the input queue, as the user's hand would make one.
void moveMouse(int step) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = step % 2 == 0 ? 3 : -3;
  input.mi.dwFlags = MOUSEEVENTF_MOVE;
  SendInput(1, &input, sizeof(input));
}

class SchedulerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WorkerGroup::workers().reopen();
    ShotStore::instance().reopen();
    AppSettings& settings = AppSettings::instance();
    settings.setBool(SettingId::DISABLE_IDLE, false);
    settings.setInt(SettingId::DISABLE_IDLE_INTERVAL, 0);
    settings.setInt(SettingId::SHOT_INTERVAL, 60);
    temporaryBefore_ = captureTemporaryFiles();
  }
  void TearDown() override {
    ShotScheduler::release();
    EXPECT_TRUE(WorkerGroup::workers().waitIdle(20s));
    EXPECT_EQ(captureTemporaryFiles(), temporaryBefore_) << "temporary capture files left";
    ShotStore::release();
    ScreenCapturer::release();
    AppSettings::release();
  }

  ShotPtr addShot(const std::wstring& name, bool enabled, int32_t interval) {
    auto shot = std::make_shared<ShotDefinition>();
    shot->NAME = name;
    shot->AUTO_ENABLED = enabled;
    shot->AUTO_INTERVAL = interval;
    shot->RECT_X = 10;
    shot->RECT_Y = 10;
    shot->RECT_WIDTH = 64;
    shot->RECT_HEIGHT = 48;
    shot->FORMAT = 4;
    // Seconds in the name: one file per firing of a shot that fires at most once a second.
    shot->TIMESTAMP = L"%H_%M_%S";
    shot->USE_OWN_LOCAL_SETTINGS = true;
    shot->LOCAL_PATH = local_.path();
    ShotStore::instance().add(shot);
    return shot;
  }
  size_t filesOf(const std::wstring& name) const {
    return filesMatching(local_.path(), name + L"-*.png").size();
  }
  static bool drained() { return WorkerGroup::workers().waitIdle(20s); }

  TempFolder local_;
  std::set<std::wstring> temporaryBefore_;
};

TEST_F(SchedulerTest, AutomaticModeTakesEnabledShotsAtTheirIntervals) {
  addShot(L"Every1", true, 1);
  addShot(L"Every2", true, 2);
  addShot(L"Off", false, 1);

  ShotScheduler& scheduler = ShotScheduler::instance();
  scheduler.start();
  EXPECT_TRUE(scheduler.isRunning());
  // Ticks at 1 to 6 seconds; on a busy machine the timer pool may run late and drop one.
  Sleep(6500);
  scheduler.stop();
  EXPECT_FALSE(scheduler.isRunning());
  ASSERT_TRUE(drained());

  // Interval 1 fires at every tick, interval 2 at every other one, a disabled shot never.
  const size_t everySecond = filesOf(L"Every1");
  const size_t everyOther = filesOf(L"Every2");
  EXPECT_GE(everySecond, 4u);
  EXPECT_LE(everySecond, 7u);
  EXPECT_GE(everyOther, (everySecond - 1) / 2);
  EXPECT_LE(everyOther, (everySecond + 1) / 2);
  EXPECT_EQ(filesOf(L"Off"), 0u);

  const std::wstring first = *filesMatching(local_.path(), L"Every1-*.png").begin();
  EXPECT_EQ(readBytes(local_.file(first)).substr(0, 8), "\x89PNG\r\n\x1A\n");

  // Stopped means stopped: no tick comes any more.
  Sleep(1500);
  ASSERT_TRUE(drained());
  EXPECT_EQ(filesOf(L"Every1"), everySecond);
}

TEST_F(SchedulerTest, TakeShotWorksWhileAutomaticModeIsOff) {
  const ShotPtr shot = addShot(L"Manual", false, 10);
  ShotStore::instance().update(shot, [](ShotDefinition& s) { s.tickCount = 3; });
  ShotScheduler& scheduler = ShotScheduler::instance();
  ASSERT_FALSE(scheduler.isRunning());

  scheduler.fireShot(shot);
  ASSERT_TRUE(drained());

  EXPECT_EQ(filesOf(L"Manual"), 1u);
  const ShotDefinition after = ShotStore::instance().copy(shot);
  EXPECT_EQ(after.tickCount, 3);
  // The temporary file was recorded, then deleted by the upload, which had no server.
  EXPECT_FALSE(after.capturedFile.empty());
  EXPECT_FALSE(platform::fileExists(after.capturedFile));
}

TEST_F(SchedulerTest, TakeShotOfADeletedShotIsHarmless) {
  ShotPtr shot = addShot(L"Deleted", false, 0);
  ShotScheduler::instance().fireShot(shot);
  ShotStore::instance().remove(0);
  shot.reset();
  ASSERT_TRUE(drained());
  EXPECT_EQ(filesOf(L"Deleted"), 1u);
}

TEST_F(SchedulerTest, StartAndStopOnlyChangeTheState) {
  ShotScheduler& scheduler = ShotScheduler::instance();
  scheduler.stop();
  EXPECT_FALSE(scheduler.isRunning());
  scheduler.start();
  scheduler.start();
  EXPECT_TRUE(scheduler.isRunning());
  scheduler.stop();
  scheduler.stop();
  EXPECT_FALSE(scheduler.isRunning());
}

TEST_F(SchedulerTest, IdleUserPausesAndInputResumes) {
  AppSettings& settings = AppSettings::instance();
  settings.setBool(SettingId::DISABLE_IDLE, true);
  settings.setInt(SettingId::DISABLE_IDLE_INTERVAL, 0);
  addShot(L"Busy", true, 0);

  ShotScheduler& scheduler = ShotScheduler::instance();
  scheduler.start();
  // The first tick counts as one that saw input; every later one without input pauses.
  Sleep(3500);
  ASSERT_TRUE(drained());
  const size_t whileIdle = filesOf(L"Busy");
  EXPECT_LE(whileIdle, 1u);

  for (int step = 0; step < 16; ++step) {
    moveMouse(step);
    Sleep(200);
  }
  scheduler.stop();
  ASSERT_TRUE(drained());
  EXPECT_GE(filesOf(L"Busy"), whileIdle + 2);
}

TEST_F(SchedulerTest, ShutdownWaitsForRunningShotsAndRefusesNewOnes) {
  std::vector<ShotPtr> shots;
  for (int i = 0; i < 5; ++i) shots.push_back(addShot(L"Shot" + std::to_wstring(i), false, 0));
  ShotScheduler& scheduler = ShotScheduler::instance();
  scheduler.start();
  for (const ShotPtr& shot : shots) scheduler.fireShot(shot);

  EXPECT_TRUE(scheduler.shutdown(10s));
  EXPECT_FALSE(scheduler.isRunning());
  EXPECT_EQ(WorkerGroup::workers().running(), 0u);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(filesOf(L"Shot" + std::to_wstring(i)), 1u);

  scheduler.fireShot(shots[0]);
  EXPECT_EQ(WorkerGroup::workers().running(), 0u);
}

TEST_F(SchedulerTest, ReleaseWhileRunningStopsTheTicks) {
  addShot(L"Released", true, 0);
  ShotScheduler::instance().start();
  Sleep(1500);
  ShotScheduler::release();
  ASSERT_TRUE(drained());
  const size_t atRelease = filesOf(L"Released");
  EXPECT_GE(atRelease, 1u);
  Sleep(1500);
  ASSERT_TRUE(drained());
  EXPECT_EQ(filesOf(L"Released"), atRelease);
}

// The whole program: Automatic Mode restored at start-up, and shots being taken while the
// program ends, by Exit or by the system close command (which skips Exit).
class SchedulerProgramTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    removeVemlixData();
    temporaryBefore_ = captureTemporaryFiles();
  }
  void TearDown() override {
    EXPECT_EQ(captureTemporaryFiles(), temporaryBefore_) << "temporary capture files left";
    removeVemlixData();
  }
  void writeEnabledShot() const {
    ShotDefinition shot;
    shot.NAME = L"Startup";
    shot.AUTO_ENABLED = true;
    shot.AUTO_INTERVAL = 1;
    shot.RECT_WIDTH = 200;
    shot.RECT_HEIGHT = 100;
    shot.FORMAT = 4;
    shot.TIMESTAMP = L"%H_%M_%S";
    shot.LOCAL_PATH = local_.path();
    writeBytes(sharedDataFolder() + L"\\" + kShotsFileName, formatShotsFile({shot}));
  }

  TempFolder local_;
  std::set<std::wstring> temporaryBefore_;
};

TEST_P(SchedulerProgramTest, AutomaticModeOnAtStartTakesShotsAndEndsCleanly) {
  const bool byExitCommand = GetParam();
  writeSettings(L"SCHED_ON=1");
  writeEnabledShot();

  VemlixProcess vemlix;
  HWND window = vemlix.waitForMainWindow();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(
      waitFor([&] { return filesMatching(local_.path(), L"Startup-*.png").size() >= 2; }, 15000));
  if (byExitCommand) {
    PostMessageW(window, WM_COMMAND, 177, 0);
  } else {
    PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  }
  DWORD exitCode = 12345;
  ASSERT_TRUE(vemlix.waitForExit(15000, exitCode));
  EXPECT_EQ(exitCode, 0u);
}

INSTANTIATE_TEST_SUITE_P(ByExitAndBySystemClose, SchedulerProgramTest, ::testing::Bool());

}  // namespace
