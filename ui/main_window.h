#pragma once
// The program's one top-level window: a 400 x 300 layered pop-up skin with a bar of picture
// buttons above the list of shots, and the notification-area icon. Its commands are the command
// table's; what they do is MainCommands'.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "delivery/firing_report.h"
#include "platform/session_state_win.h"
#include "platform/win32_handles.h"
#include "scheduler/activity_log.h"
#include "ui/main_commands.h"
#include "ui/tray_icon.h"
#include "ui/window_mailbox.h"
#include "widgets/base_window.h"
#include "widgets/image_button.h"

class AppSettings;

class MainWindow final : public BaseWindow<MainWindow>, public CommandHost {
 public:
  static MainWindow& instance();
  // Destroys what is left of the window, its buttons and tray icon, and ends the widgets.
  static void release();

  static WindowClass windowClass();

  // Before the window is made: the program's module and the settings it keeps its place in.
  void initialize(HINSTANCE instance, AppSettings& settings);
  // 1 when the window exists, 0 when it could not be made.
  int createMainWindow(HINSTANCE instance, int showCommand);
  // The wParam of WM_QUIT.
  int runMessageLoop();

  HWND window() const override { return BaseWindow::window(); }
  const std::wstring& title() const override { return title_; }
  AppSettings& settings() const override { return *settings_; }
  const TrayIcon& trayIcon() const { return tray_; }
  MainCommands& commands() { return commands_; }

  // Posted by a second start of the program to bring this one to the front.
  static UINT activateMessage();
  // What another program sends by WM_COPYDATA goes to `listener`, whose answer is the result.
  void setCopyDataListener(std::function<LRESULT(const COPYDATASTRUCT&)> listener) {
    copyDataListener_ = std::move(listener);
  }
  // For a start asked to hide: the window is made but not shown, as when starting on the tray.
  void setStartHidden(bool hidden) { startHidden_ = hidden; }

  // Where the window learns whether the session is locked or disconnected; the system's own
  // query unless replaced before the window is made.
  void setSessionQuery(win32::SessionState::Query query) {
    session_ = win32::SessionState(std::move(query));
  }

  void showAutomaticMode(bool running) override;

  static constexpr int kWidth = 400;  // at 96 dpi
  static constexpr int kHeight = 300;

 private:
  friend class BaseWindow<MainWindow>;
  MainWindow() : commands_(*this) {}
  ~MainWindow();

  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handleOtherMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // True for keys sent to this window or one of its controls.
  bool ownsKeyboardMessage(HWND target) const;
  void focusList() const;
  void onCreate();
  void makeButtons();
  LRESULT onCommand(WPARAM wParam, LPARAM lParam);
  LRESULT onNcHitTest(WPARAM wParam, LPARAM lParam);
  void onMove();
  void onPaint();
  void onTrayIcon(LPARAM mouseMessage);
  void onDpiChanged(UINT dpi, const RECT& suggested);
  void onDestroy();
  void onWarnUnreadableFiles();
  void onSessionChange(WPARAM change);
  // On the UI thread: the last firing's outcome on the tray icon.
  void onFiringReported();

  // Sizes the window, the skin, the buttons and the list for `dpi`.
  void applyDpi(UINT dpi);

  HINSTANCE instance_ = nullptr;
  AppSettings* settings_ = nullptr;
  std::wstring title_;
  MainCommands commands_;
  win32::UniqueAccelerators accelerators_;
  // The picture control covering the window; the buttons sit on it. A child of the window, so
  // it goes with it.
  HWND background_ = nullptr;
  // The shot list's list view, which has the keyboard; a grandchild, so it goes with the window.
  HWND list_ = nullptr;
  win32::UniqueBitmap skin_;
  // One a command of the table that has a button, in the table's order.
  std::vector<std::unique_ptr<ImageButton>> buttons_;
  TrayIcon tray_;
  win32::SessionState session_;
  bool startHidden_ = false;
  std::function<LRESULT(const COPYDATASTRUCT&)> copyDataListener_;
  WindowMailbox<FiringReport> reports_;
};
