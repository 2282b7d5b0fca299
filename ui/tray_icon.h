#pragma once
// The program's icon in the notification area: the way back to a hidden main window, and a
// menu of the main commands.
#include <windows.h>
// After windows.h, which it builds on.
#include <shellapi.h>

#include <string>

#include "platform/win32_handles.h"

class TrayIcon {
 public:
  TrayIcon() = default;
  // Removes the icon if it is still there.
  ~TrayIcon();
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  // Adds the icon `iconId` of `module` for `window`, which then receives WM_TRAYICON with the
  // mouse message in lParam. Called again to put the icon back after the notification area was
  // made anew (Explorer restarted).
  void addIcon(HWND window, HINSTANCE module, UINT iconId);
  void removeIcon();

  // Shows `tip` (one line, cut to what the notification area holds) on hover, and the icon with
  // a warning badge while `warning` holds. Kept for when the icon has to be added again.
  void showStatus(const std::wstring& tip, bool warning);
  const std::wstring& tip() const { return tip_; }
  bool showsWarning() const { return warning_; }

  // The menu at the cursor; a chosen item reaches `window` as WM_COMMAND.
  void showMenu(HWND window) const;
  // The menu as it stands now for `window`: "&Automatic Mode" ticked while Automatic Mode runs,
  // "&Hide Vemlix" or "S&how Vemlix" as the window is shown or hidden, "Open &Log" after
  // "&Help...".
  static win32::UniqueMenu buildMenu(HWND window);

  // The message the shell broadcasts when it makes the notification area anew.
  static UINT taskbarCreatedMessage();

 private:
  NOTIFYICONDATAW record() const;

  bool added_ = false;
  UINT iconId_ = 0;
  HWND window_ = nullptr;
  HICON icon_ = nullptr;  // a shared resource icon: not destroyed
  HINSTANCE module_ = nullptr;
  std::wstring tip_;
  bool warning_ = false;
};
