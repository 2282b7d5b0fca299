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

// What a later start of the program asks the running one, by WM_COPYDATA: dwData is one of
// these; for kTake the data is the shot's name in UTF-16, without a terminating zero.
enum class RemoteCommand : ULONG_PTR {
  kTake = 0x564D4301,
  kAutoOn,
  kAutoOff,
  kShow,
  kHide,
  kExit,
};
// The answers, which the later start hands on as its exit code.
constexpr LRESULT kRemoteDone = 0;
constexpr LRESULT kRemoteRefused = 2;
constexpr LRESULT kRemoteNoSuchShot = 3;
// The longest shot name a command may carry.
constexpr size_t kMaxRemoteShotName = 4096;

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

  // Carries out a command given on the command line, to this start or to a later one. Take
  // Shot only starts the firing; it answers before the picture is saved.
  LRESULT runRemoteCommand(RemoteCommand command, const std::wstring& shotName);
  // For a start asked to hide: the window is made but not shown, as when starting on the tray.
  void setStartHidden(bool hidden) { startHidden_ = hidden; }

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
  // True for keys sent to this window or one of its controls.
  bool ownsKeyboardMessage(HWND target) const;
  void focusList() const;
  void onCreate();
  LRESULT onCommand(WPARAM wParam, LPARAM lParam);
  LRESULT onNcHitTest(WPARAM wParam, LPARAM lParam);
  void onMove();
  void onPaint();
  void onTrayIcon(LPARAM mouseMessage);
  void onDpiChanged(UINT dpi, const RECT& suggested);
  void onDestroy();
  void onActivateRequest();
  LRESULT onCopyData(const COPYDATASTRUCT& data);
  LRESULT takeShotNamed(const std::wstring& name) const;
  void setAutomaticMode(bool on);
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
  // The shot list's list view, which has the keyboard; a grandchild, so it goes with the window.
  HWND list_ = nullptr;
  win32::UniqueBitmap skin_;
  // Take Shot, New Shot, Delete Shot, Edit Shot, Automatic Mode, Configure, Help, About,
  // Minimize, Exit.
  std::array<ImageButton, 10> buttons_;
  TrayIcon tray_;
  win32::SessionState session_;
  bool startHidden_ = false;
  // How often Exit has come back waiting for this thread's dialogs to close.
  int exitAttempts_ = 0;
  // The last firing reported by a worker, until the UI thread takes it.
  std::mutex reportLock_;
  std::optional<FiringReport> report_;
};
