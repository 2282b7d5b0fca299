#pragma once
// The program's one top-level window: a 400 x 300 layered pop-up skin.
#include <windows.h>

#include <string>

#include "platform/win32_handles.h"
#include "ui/base_window.h"

class MainWindow : public BaseWindow<MainWindow> {
 public:
  static MainWindow& instance();
  static void release();

  void initialize(HINSTANCE instance);
  ATOM registerWindowClass(HINSTANCE instance);
  // 1 when the window exists, 0 when it could not be made.
  int createMainWindow(HINSTANCE instance, int showCommand);
  // The wParam of WM_QUIT.
  int runMessageLoop();

  const std::wstring& className() const { return className_; }

  // Posted by a second start of the program to bring this one to the front.
  static UINT activateMessage();

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
  void onDestroy();
  void onActivateRequest();
  void onWarnUnreadableFiles();
  void exitProgram();

  HINSTANCE instance_ = nullptr;
  std::wstring title_;
  std::wstring className_;
  // The picture control covering the window; the buttons and the shot list sit on it.
  win32::UniqueWindow background_;
  win32::UniqueBitmap skin_;
};
