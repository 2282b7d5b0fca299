#pragma once
// One Vemlix per user session: a later start hands over to the running one and leaves.
#include <windows.h>

#include <string>

#include "platform/win32_handles.h"

class SingleInstance {
 public:
  // Takes the session's mutex when no other Vemlix holds it.
  SingleInstance();
  // Lets go of the mutex, so a start waiting for this one to end can go on.
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // True while this is the only Vemlix of the session.
  bool isFirst() const { return owned_; }

  // For a start that is not the first. Brings the running Vemlix's main window (of the given
  // class) to the front, showing it when hidden, and returns true: this start should leave.
  // When the running one is ending instead (its window is gone and it lets go of the mutex),
  // takes its place and returns false: this start goes on as the first. Waits a while for a
  // Vemlix that is still starting to make its window.
  bool handOver(const std::wstring& windowClass, UINT activateMessage);

 private:
  win32::UniqueHandle mutex_;
  bool owned_ = false;
};
