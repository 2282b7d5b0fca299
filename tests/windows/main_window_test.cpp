// The main window and its list of shots: the rows, their check boxes, deleting a shot while it
// is taken, new shots' names, the window's position and its layout at 144 dpi, and Help.
#include "support/main_window_fixture_win.h"

namespace {

TEST_F(MainWindowTest, RowsAreSortedDescendingByName) {
  for (const wchar_t* name : {L"New Shot - 10", L"Desk", L"New Shot - 9"}) addShot(name);
  open();
  ASSERT_EQ(ListView_GetItemCount(list()), 3);
  EXPECT_EQ(rowText(0), L"New Shot - 9");
  EXPECT_EQ(rowText(1), L"New Shot - 10");
  EXPECT_EQ(rowText(2), L"Desk");
  EXPECT_EQ(rowText(0, 1), L"Disabled");
}

// The rows are sorted by name, the store by slot: the box switches the shot its row shows.
TEST_F(MainWindowTest, ACheckBoxSwitchesItsOwnShotAndSavesTheFile) {
  for (const wchar_t* name : {L"a", L"b", L"c"}) addShot(name);
  open();
  const int row = rowNamed(L"a");
  ASSERT_EQ(row, 2);
  ListView_SetCheckState(list(), row, TRUE);
  EXPECT_EQ(rowText(row, 1), L"Enabled");
  ShotStore& store = ShotStore::instance();
  EXPECT_TRUE(store.copy(store.at(0)).AUTO_ENABLED);
  EXPECT_FALSE(store.copy(store.at(2)).AUTO_ENABLED);
  const auto saved =
      parseShotsFile(readBytes(AppSettings::instance().sharedDataFolder() + kShotsFileName));
  ASSERT_EQ(saved.size(), 3u);
  EXPECT_TRUE(saved[0].AUTO_ENABLED);
  EXPECT_FALSE(saved[2].AUTO_ENABLED);
}

// A worker taking the shot keeps its own copy: deleting the shot meanwhile is harmless, and
// the picture is still saved.
TEST_F(MainWindowTest, DeleteShotWhileAWorkerTakesIt) {
  addShot(L"Going");
  addShot(L"Staying");
  open();
  select(rowNamed(L"Going"));
  command(CMD_TAKE_SHOT);
  command(CMD_DELETE_SHOT);
  EXPECT_EQ(ShotStore::instance().count(), 1u);
  EXPECT_EQ(ListView_GetItemCount(list()), 1);
  EXPECT_EQ(rowText(0), L"Staying");
  ASSERT_TRUE(WorkerGroup::workers().waitIdle(std::chrono::seconds(20)));
  EXPECT_EQ(filesMatching(pictures_.path(), L"Going-*.png").size(), 1u);
  // Nothing selected: the commands do nothing.
  ListView_SetItemState(list(), -1, 0, LVIS_SELECTED);
  command(CMD_DELETE_SHOT);
  EXPECT_EQ(ShotStore::instance().count(), 1u);
}

// A name taken by a shot or by an overlay still open is never given to another new shot.
TEST_F(MainWindowTest, NewShotNamesAreNeverRepeated) {
  addShot(L"New Shot - 2");  // "New Shot - 1" was deleted
  open();
  command(CMD_NEW_SHOT);
  command(CMD_NEW_SHOT);
  const std::set<std::wstring> pending = NewShotWindow::instance().pendingNames();
  EXPECT_EQ(pending, (std::set<std::wstring>{L"New Shot - 3", L"New Shot - 4"}));
  for (HWND overlay : NewShotWindow::instance().openWindows())
    PostMessageW(overlay, WM_COMMAND, IDCANCEL, 0);
  pumpUntil([] { return NewShotWindow::instance().openWindows().empty(); }, 10000);
}

TEST_F(MainWindowTest, APositionOnNoMonitorOpensAtTheDefaultPlace) {
  AppSettings::instance().setInt(SettingId::WND_XPOS, -30000);
  AppSettings::instance().setInt(SettingId::WND_YPOS, 20000);
  open();
  RECT rect{};
  GetWindowRect(window_, &rect);
  EXPECT_EQ(rect.left, 400);
  EXPECT_EQ(rect.top, 400);
}

// The screen's dpi is read when a program starts, so this one runs Vemlix itself.
TEST(MainWindowDpiTest, At144DpiEverythingScalesTogether) {
  removeVemlixData();
  writeSettings(L"WND_XPOS=100\nWND_YPOS=100");
  setScreenDpi(144);
  VemlixProcess vemlix;
  HWND window = vemlix.waitForMainWindow();
  setScreenDpi(96);
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(vemlix.waitUntilShown(window));
  RECT outer{};
  GetWindowRect(window, &outer);
  EXPECT_EQ(outer.right - outer.left, 600);
  EXPECT_EQ(outer.bottom - outer.top, 450);
  HWND panel = FindWindowExW(window, nullptr, L"#32770", nullptr);
  ASSERT_NE(panel, nullptr);
  RECT list{};
  GetWindowRect(panel, &list);
  RECT inside{};
  IntersectRect(&inside, &list, &outer);
  EXPECT_TRUE(EqualRect(&inside, &list)) << "the list reaches outside the window";
  EXPECT_EQ(list.left - outer.left, 15);
  EXPECT_EQ(list.top - outer.top, 105);
  EXPECT_EQ(list.right - list.left, 570);
  PostMessageW(window, WM_COMMAND, CMD_EXIT, 0);
  DWORD exitCode = 1;
  EXPECT_TRUE(vemlix.waitForExit(10000, exitCode));
  removeVemlixData();
}

// Help opens the help file that lies beside the program, in the system's help viewer.
TEST(MainWindowHelpTest, HelpOpensTheHelpFileBesideTheProgram) {
  removeVemlixData();
  writeSettings(L"");
  VemlixProcess vemlix;
  HWND window = vemlix.waitForMainWindow();
  ASSERT_NE(window, nullptr);
  PostMessageW(window, WM_COMMAND, CMD_HELP, 0);
  HWND help = nullptr;
  EXPECT_TRUE(
      waitFor([&] { return (help = FindWindowW(nullptr, L"Vemlix Help")) != nullptr; }, 15000));
  if (help) {
    // The viewer shares the test's output: it must end before the test does.
    DWORD viewerId = 0;
    GetWindowThreadProcessId(help, &viewerId);
    win32::UniqueHandle viewer(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, viewerId));
    TerminateProcess(viewer.get(), 0);
    WaitForSingleObject(viewer.get(), 5000);
  }
  PostMessageW(window, WM_COMMAND, CMD_EXIT, 0);
  DWORD exitCode = 1;
  EXPECT_TRUE(vemlix.waitForExit(10000, exitCode));
  removeVemlixData();
}

}  // namespace
