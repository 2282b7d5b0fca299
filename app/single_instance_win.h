#pragma once
// One Vemlix per user session: later starts hand over to the running one and leave.
#include <windows.h>

#include <string>

#include "platform/win32_handles.h"

class SingleInstance {
 public:
  SingleInstance();

  // True for the first Vemlix of the session.
  bool isFirst() const { return first_; }

  // Brings the running Vemlix's main window (of the given class) to the front, showing it
  // when hidden. Waits briefly for a Vemlix that is still starting to make its window.
  static void activateRunning(const std::wstring& windowClass, UINT activateMessage);

 private:
  win32::UniqueHandle mutex_;
  bool first_ = false;
};
