#pragma once
// The program's one top-level window: a 400 x 300 layered pop-up skin with a bar of picture
// buttons above the list of shots, and the notification-area icon.
#include <windows.h>

#include <array>
#include <mutex>
#include <optional>
#include <string>
#include <utility>

#include "platform/session_state_win.h"
#include "platform/win32_handles.h"
#include "scheduler/activity_log.h"
#include "ui/tray_icon.h"
#include "widgets/base_window.h"
#include "widgets/image_button.h"

class MainWindow : public BaseWindow<MainWindow> {
 public:
  static MainWindow& instance();
  // Destroys what is left of the window, its buttons and tray icon, and ends the widgets.
  static void release();

  void initialize(HINSTANCE instance);
  ATOM registerWindowClass(HINSTANCE instance);
  // 1 when the window exists, 0 when it could not be made.
  int createMainWindow(HINSTANCE instance, int showCommand);
  // The wParam of WM_QUIT.
  int runMessageLoop();

  const std::wstring& className() const { return className_; }
  const TrayIcon& trayIcon() const { return tray_; }

  // Posted by a second start of the program to bring this one to the front.
  static UINT activateMessage();

  // Where the window learns whether the session is locked or disconnected; the system's own
  // query unless replaced before the window is made.
  void setSessionQuery(win32::SessionState::Query query) {
    session_ = win32::SessionState(std::move(query));
  }

  static constexpr int kWidth = 400;  // at 96 dpi
  static constexpr int kHeight = 300;

 private:
  friend class BaseWindow<MainWindow>;
  MainWindow() = default;
  ~MainWindow();

  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void onCreate();
  LRESULT onCommand(WPARAM wParam, LPARAM lParam);
  LRESULT onNcHitTest(WPARAM wParam, LPARAM lParam);
  void onMove();
  void onPaint();
  void onTrayIcon(LPARAM mouseMessage);
  void onDpiChanged(UINT dpi, const RECT& suggested);
  void onDestroy();
  void onActivateRequest();
  void onWarnUnreadableFiles();
  void onSessionChange(WPARAM change);
  // On a worker: keeps the report for the UI thread and tells it.
  void onFiringReport(const FiringReport& report);
  // On the UI thread: the last firing's outcome on the tray icon.
  void onFiringReported();

  void newShot();
  void switchAutomaticMode();
  void showOrHide();
  void minimize();
  void openHelp() const;
  void openHomePage() const;
  void openLog() const;
  void openSettings();
  void openAbout();
  bool modalDialogOpen() const;
  void bringOpenDialogForward() const;
  void exitProgram();

  // Sizes the window, the skin, the buttons and the list for `dpi`.
  void applyDpi(UINT dpi);
  UINT automaticModePicture() const;

  HINSTANCE instance_ = nullptr;
  std::wstring title_;
  std::wstring className_;
  // The picture control covering the window; the buttons sit on it. A child of the window, so
  // it goes with it.
  HWND background_ = nullptr;
  win32::UniqueBitmap skin_;
  // Take Shot, New Shot, Delete Shot, Edit Shot, Automatic Mode, Configure, Help, About,
  // Minimize, Exit.
  std::array<ImageButton, 10> buttons_;
  TrayIcon tray_;
  win32::SessionState session_;
  // How often Exit has come back waiting for this thread's dialogs to close.
  int exitAttempts_ = 0;
  // The last firing reported by a worker, until the UI thread takes it.
  std::mutex reportLock_;
  std::optional<FiringReport> report_;
};
