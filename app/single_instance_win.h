#pragma once
// One Vemlix per user: every copy of the same user works on the same data folder, whichever
// session it runs in (the console and a remote desktop, say). A later start hands over to the
// running one and leaves.
#include <windows.h>

#include <string>

#include "platform/win32_handles.h"

class SingleInstance {
 public:
  // Takes the user's mutex when no other Vemlix of the user holds it.
  SingleInstance();
  // Lets go of the mutex, so a start waiting for this one to end can go on.
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // True while this is the only Vemlix of the user. Also true when the mutex could not be made
  // at all: nothing says that another copy runs, and refusing to start would help nobody.
  bool isFirst() const { return owned_ || !mutex_; }

  enum class HandOver {
    // The running Vemlix of this session was brought to the front: this start should leave.
    kBroughtForward,
    // The running Vemlix is in another session of the user, out of this one's reach: this
    // start should leave, telling the user why.
    kRunsElsewhere,
    // The running Vemlix was ending: this start took its place and goes on as the first.
    kTakenOver,
  };
  // For a start that is not the first. Brings the running Vemlix's main window (of the given
  // class) to the front, showing it when hidden; waits a while for a Vemlix that is still
  // starting to make its window.
  HandOver handOver(const std::wstring& windowClass, UINT activateMessage);
  // As handOver, but only finds the running Vemlix's main window for the caller, which may let
  // it take the focus. `running` stays null for kRunsElsewhere, for kTakenOver, and when the
  // window did not come in time.
  HandOver reach(const std::wstring& windowClass, HWND& running);

  // The mutex's name: in the global namespace, so that every session sees it, and named after
  // the user, so that other users on the machine run a Vemlix of their own.
  static std::wstring mutexName();

 private:
  // True once the running Vemlix is seen to be of this session. False when it is not within a
  // moment, or when it ended meanwhile and this start took its place.
  bool waitForSessionMark();
  bool takeOverWithin(DWORD milliseconds);
  void markSession();

  win32::UniqueHandle mutex_;
  // Held by the first Vemlix alone, in this session's namespace: a later start that finds it
  // can reach the running one's window.
  win32::UniqueHandle sessionMark_;
  bool owned_ = false;
};
