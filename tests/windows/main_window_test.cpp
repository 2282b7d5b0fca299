// The main window made in the test's own process, with a private data folder: the shot list,
// its commands, Automatic Mode, the tray icon and menu, the position and the layout at 144 dpi;
// what a firing leaves in the log and on the tray icon, and Automatic Mode while locked.
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
#include "support/vemlix_process_win.h"
#include "ui/main_window.h"
#include "ui/new_shot_window.h"
#include "ui/resource_ids.h"
#include "ui/shot_list_panel.h"
#include "ui/tray_icon.h"
#include "widgets/button_registry.h"
#include "widgets/widgets.h"

namespace {

constexpr wchar_t kDesktopKey[] = L"Control Panel\\Desktop";

// Whether the notification area holds the program's icon: only an icon that is there can be
// changed.
bool trayHoldsIcon(HWND window) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof(data);
  data.hWnd = window;
  data.uID = IDI_SMALL;
  data.uFlags = NIF_TIP;
  wcscpy_s(data.szTip, L"probe");
  return Shell_NotifyIconW(NIM_MODIFY, &data);
}

void setScreenDpi(DWORD dpi) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kDesktopKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
    return;
  const win32::UniqueRegKey owned(key);
  RegSetValueExW(key, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof(dpi));
}

std::wstring itemText(HMENU menu, UINT position) {
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

TEST_F(MainWindowTest, AutomaticModeSwitchesThePictureTheMenuAndTheSetting) {
  open();
  const ButtonRecordPtr button = [&] {
    ButtonRecordPtr found;
    EnumChildWindows(
        window_,
        [](HWND child, LPARAM result) {
          ButtonRecordPtr record = ButtonRegistry::instance().find(child);
          if (record && record->commandId == CMD_AUTOMATIC_MODE)
            *reinterpret_cast<ButtonRecordPtr*>(result) = record;
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
  }();
  ASSERT_TRUE(button);
  EXPECT_EQ(button->normalImageId, static_cast<UINT>(IDB_AUTOMATIC_STOPPED));

  command(CMD_AUTOMATIC_MODE);
  EXPECT_TRUE(ShotScheduler::instance().isRunning());
  EXPECT_EQ(button->normalImageId, static_cast<UINT>(IDB_AUTOMATIC_RUNNING));
  EXPECT_NE(settingsFile().find("\r\nSCHED_ON=1\r\n"), std::string::npos);
  const win32::UniqueMenu running = TrayIcon::buildMenu(window_);
  EXPECT_EQ(itemText(running.get(), 7), L"&Automatic Mode");
  EXPECT_TRUE(GetMenuState(running.get(), 7, MF_BYPOSITION) & MF_CHECKED);

  command(CMD_AUTOMATIC_MODE);
  EXPECT_FALSE(ShotScheduler::instance().isRunning());
  EXPECT_EQ(button->normalImageId, static_cast<UINT>(IDB_AUTOMATIC_STOPPED));
  EXPECT_NE(settingsFile().find("\r\nSCHED_ON=0\r\n"), std::string::npos);
  const win32::UniqueMenu stopped = TrayIcon::buildMenu(window_);
  EXPECT_FALSE(GetMenuState(stopped.get(), 7, MF_BYPOSITION) & MF_CHECKED);
}

namespace {

// Keeps the commands that reach a window from it, for as long as it lives.
class CommandListener {
 public:
  explicit CommandListener(HWND window) : window_(window) {
    heard_ = &commands;
    original_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure)));
  }
  ~CommandListener() {
    SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
    heard_ = nullptr;
  }
  std::vector<UINT> commands;

 private:
  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_COMMAND) return CallWindowProcW(original_, window, message, wParam, lParam);
    heard_->push_back(LOWORD(wParam));
    return 0;
  }
  HWND window_;
  static inline WNDPROC original_ = nullptr;
  static inline std::vector<UINT>* heard_ = nullptr;
};

std::wstring taken(BSTR text) {
  std::wstring value = text ? std::wstring(text, SysStringLen(text)) : std::wstring();
  SysFreeString(text);
  return value;
}

}  // namespace

// What a screen reader finds on each button, and its default action giving the button's command.
TEST_F(MainWindowTest, EveryButtonReadsAsANamedPushButtonThatPresses) {
  open();
  // The name, and the tooltip with the key that does the same.
  const std::map<UINT, std::pair<std::wstring, std::wstring>> names{
      {CMD_TAKE_SHOT, {L"Take Shot", L"Take Shot (Ctrl+T)"}},
      {CMD_NEW_SHOT, {L"New Shot...", L"New Shot... (Ctrl+N)"}},
      {CMD_DELETE_SHOT, {L"Delete Shot", L"Delete Shot (Delete)"}},
      {CMD_EDIT_SHOT, {L"Edit Shot...", L"Edit Shot... (Enter)"}},
      {CMD_AUTOMATIC_MODE, {L"Start or stop Automatic Mode", L"Start or stop Automatic Mode"}},
      {CMD_SETTINGS, {L"Configure Vemlix...", L"Configure Vemlix..."}},
      {CMD_HELP, {L"Help...", L"Help... (F1)"}},
      {CMD_ABOUT, {L"About Vemlix...", L"About Vemlix..."}},
      {CMD_MINIMIZE, {L"Minimize", L"Minimize (Esc)"}},
      {CMD_EXIT, {L"Exit", L"Exit (Alt+F4)"}}};
  std::vector<HWND> buttons;
  EnumChildWindows(
      window_,
      [](HWND child, LPARAM found) {
        if (ButtonRegistry::instance().find(child))
          reinterpret_cast<std::vector<HWND>*>(found)->push_back(child);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&buttons));
  ASSERT_EQ(buttons.size(), names.size());
  CommandListener listener(window_);
  std::vector<UINT>& heard = listener.commands;

  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  for (HWND button : buttons) {
    const ButtonRecordPtr record = ButtonRegistry::instance().find(button);
    const UINT command = record->commandId;
    SCOPED_TRACE(command);
    EXPECT_EQ(record->tooltipText, names.at(command).second);
    IAccessible* object = nullptr;
    ASSERT_EQ(AccessibleObjectFromWindow(button, OBJID_CLIENT, IID_IAccessible,
                                         reinterpret_cast<void**>(&object)),
              S_OK);
    BSTR text = nullptr;
    EXPECT_EQ(object->get_accName(self, &text), S_OK);
    EXPECT_EQ(taken(text), names.at(command).first);
    VARIANT role{};
    EXPECT_EQ(object->get_accRole(self, &role), S_OK);
    EXPECT_EQ(role.vt, VT_I4);
    EXPECT_EQ(role.lVal, ROLE_SYSTEM_PUSHBUTTON);
    text = nullptr;
    EXPECT_EQ(object->get_accDefaultAction(self, &text), S_OK);
    EXPECT_EQ(taken(text), L"Press");
    heard.clear();
    EXPECT_EQ(object->accDoDefaultAction(self), S_OK);
    pumpUntil([&] { return !heard.empty(); }, 2000);
    EXPECT_EQ(heard, std::vector<UINT>{command});
    object->Release();
  }
}

TEST_F(MainWindowTest, TheTrayMenuFollowsTheWindowAndTheIconComesBack) {
  open();
  ASSERT_TRUE(IsWindowVisible(window_));
  const win32::UniqueMenu shown = TrayIcon::buildMenu(window_);
  ASSERT_EQ(GetMenuItemCount(shown.get()), 13);
  EXPECT_EQ(itemText(shown.get(), 0), L"Ab&out Vemlix...");
  EXPECT_EQ(itemText(shown.get(), 4), L"&Help...");
  EXPECT_EQ(itemText(shown.get(), 5), L"Open &Log");
  EXPECT_EQ(GetMenuItemID(shown.get(), 5), static_cast<UINT>(CMD_OPEN_LOG));
  EXPECT_EQ(itemText(shown.get(), 9), L"&Hide Vemlix");
  EXPECT_EQ(itemText(shown.get(), 12), L"&Exit Vemlix");
  EXPECT_EQ(GetMenuItemID(shown.get(), 10), static_cast<UINT>(CMD_SETTINGS));

  // A left click on the icon hides the window, the next one shows it.
  SendMessageW(window_, WM_TRAYICON, 0, WM_LBUTTONDOWN);
  EXPECT_FALSE(IsWindowVisible(window_));
  const win32::UniqueMenu hidden = TrayIcon::buildMenu(window_);
  EXPECT_EQ(itemText(hidden.get(), 9), L"S&how Vemlix");
  SendMessageW(window_, WM_TRAYICON, 0, WM_LBUTTONDOWN);
  EXPECT_TRUE(IsWindowVisible(window_));

  // Explorer restarted: the notification area is new and empty, and says so.
  ASSERT_TRUE(trayHoldsIcon(window_));
  NOTIFYICONDATAW gone{};
  gone.cbSize = sizeof(gone);
  gone.hWnd = window_;
  gone.uID = IDI_SMALL;
  Shell_NotifyIconW(NIM_DELETE, &gone);
  ASSERT_FALSE(trayHoldsIcon(window_));
  SendMessageW(window_, TrayIcon::taskbarCreatedMessage(), 0, 0);
  EXPECT_TRUE(trayHoldsIcon(window_));
}

TEST_F(MainWindowTest, ExitRemovesTheIconAndEndsWithZero) {
  open();
  ASSERT_TRUE(trayHoldsIcon(window_));
  HWND window = window_;
  command(CMD_EXIT);
  int quitCode = -1;
  pumpUntil([] { return false; }, 2000, &quitCode);
  EXPECT_EQ(quitCode, 0);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_FALSE(trayHoldsIcon(window));
  window_ = nullptr;
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

// Settings asked for twice from the tray opens one dialog, and Exit cancels it first.
TEST_F(MainWindowTest, OneSettingsDialogAtATimeAndExitClosesIt) {
  open();
  PostMessageW(window_, WM_COMMAND, CMD_SETTINGS, 0);
  PostMessageW(window_, WM_COMMAND, CMD_SETTINGS, 0);
  std::atomic<int> dialogs{-1};
  std::thread watcher([&] {
    Sleep(1500);  // both requests handled by then
    int count = 0;
    EnumWindows(
        [](HWND top, LPARAM found) {
          wchar_t caption[64] = {};
          GetWindowTextW(top, caption, 64);
          if (std::wstring(caption) == L"Vemlix Settings" && IsWindowVisible(top))
            ++*reinterpret_cast<int*>(found);
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    dialogs = count;
    PostMessageW(window_, WM_COMMAND, CMD_EXIT, 0);
  });
  int quitCode = -1;
  pumpUntil([] { return false; }, 10000, &quitCode);
  watcher.join();
  EXPECT_EQ(dialogs, 1);
  EXPECT_EQ(quitCode, 0);
  EXPECT_EQ(FindWindowW(L"#32770", L"Vemlix Settings"), nullptr);
  window_ = nullptr;
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

}  // namespace

namespace {

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

}  // namespace

namespace {

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
