// Vemlix.exe given a command, as a script or the Task Scheduler gives it: handed to the running
// Vemlix, or carried out by a start that finds none running.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which it builds on.
#include <commctrl.h>

#include <string>

#include "shots/shots_file.h"
#include "support/temp_folder.h"
#include "support/vemlix_process_win.h"

namespace {

// The class of the control that has the keyboard in `window`'s thread.
std::wstring focusClass(HWND window) {
  GUITHREADINFO gui{};
  gui.cbSize = sizeof(gui);
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &gui)) return {};
  wchar_t name[64] = {};
  GetClassNameW(gui.hwndFocus, name, 64);
  return name;
}

class CommandLineProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    removeVemlixData();
    writeSettings(L"START_ON_TRAY=1");
    ShotDefinition shot;
    shot.NAME = L"Desk";
    shot.RECT_WIDTH = 64;
    shot.RECT_HEIGHT = 48;
    shot.FORMAT = 4;
    shot.TIMESTAMP = L"%H_%M_%S";
    shot.LOCAL_PATH = pictures_.path();
    writeBytes(sharedDataFolder() + L"\\" + kShotsFileName, formatShotsFile({shot}));
  }
  void TearDown() override { removeVemlixData(); }

  // Runs Vemlix.exe with `arguments` to its end and returns its exit code.
  static DWORD run(const std::wstring& arguments) {
    VemlixProcess command(vemlixExePath(), arguments);
    DWORD exitCode = 12345;
    EXPECT_TRUE(command.waitForExit(20000, exitCode));
    return exitCode;
  }
  bool pictureTaken() const {
    return waitFor([&] { return !filesMatching(pictures_.path(), L"Desk-*.png").empty(); }, 15000);
  }

  TempFolder pictures_;
};

TEST_F(CommandLineProgramTest, TheRunningVemlixCarriesOutCommands) {
  VemlixProcess running;
  HWND window = running.waitForMainWindow();
  ASSERT_NE(window, nullptr);

  EXPECT_EQ(run(L"/take Nowhere"), 3u);
  EXPECT_EQ(run(L"/take \"desk\""), 0u);  // no exact match: the name in another case does
  EXPECT_TRUE(pictureTaken());

  EXPECT_EQ(run(L"/auto on"), 0u);
  EXPECT_NE(readBytes(settingsFilePath()).find("\r\nSCHED_ON=1\r\n"), std::string::npos);
  EXPECT_EQ(run(L"/show"), 0u);
  EXPECT_TRUE(running.waitUntilShown(window));
  EXPECT_TRUE(waitFor([&] { return focusClass(window) == WC_LISTVIEWW; }, 2000))
      << "the list does not have the keyboard";
  EXPECT_EQ(run(L"/frobnicate"), 2u);
  EXPECT_EQ(run(L"/take " + std::wstring(1, static_cast<wchar_t>(0xD800))), 2u);

  EXPECT_EQ(run(L"/exit"), 0u);
  DWORD exitCode = 12345;
  EXPECT_TRUE(running.waitForExit(2000, exitCode));
  EXPECT_EQ(exitCode, 0u);
  EXPECT_EQ(run(L"/exit"), 0u) << "with none running";
}

TEST_F(CommandLineProgramTest, AStartWithTakeAndNoneRunningTakesTheShot) {
  VemlixProcess vemlix(vemlixExePath(), L"/take Desk");
  HWND window = vemlix.waitForMainWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(pictureTaken());
  PostMessageW(window, WM_COMMAND, 177, 0);
  DWORD exitCode = 12345;
  EXPECT_TRUE(vemlix.waitForExit(10000, exitCode));
}

}  // namespace
