#pragma once
// Whether this session's screen shows the user's desktop. While the session is locked it shows
// the lock screen; while it is disconnected (a remote user gone) it reads black. Either way there
// is nothing worth capturing.
//
// The system is asked each time rather than believed from a WM_WTSSESSION_CHANGE, which any
// process can post. Where the system cannot answer (before Windows 7, under Wine), the
// notification's code is all there is to go by.
#include <windows.h>

#include <functional>
#include <optional>

namespace win32 {

class SessionState {
 public:
  // What the system says of this session; a part it cannot tell is left empty.
  struct Reading {
    std::optional<bool> locked;
    std::optional<bool> connected;
  };
  using Query = std::function<Reading()>;

  explicit SessionState(Query query = querySystem) : query_(std::move(query)) {}

  // Asks the system again. True while the desktop cannot be seen.
  bool refresh();
  // For a WM_WTSSESSION_CHANGE with this code: the code counts only for what the system cannot
  // tell. True while the desktop cannot be seen.
  bool onChange(WPARAM change);
  bool unavailable() const { return locked_ || disconnected_; }

  // WTSQuerySessionInformationW's WTSSessionInfoEx for this process's session.
  static Reading querySystem();

 private:
  Query query_;
  bool locked_ = false;
  bool disconnected_ = false;
};

}  // namespace win32
