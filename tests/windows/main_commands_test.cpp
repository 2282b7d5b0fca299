// The commands of the main window as the command table makes them: Automatic Mode's picture,
// menu item and setting, the buttons as a screen reader finds them, the tray menu, Exit, and
// one settings dialog at a time.
#include "support/main_window_fixture_win.h"

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

}  // namespace
