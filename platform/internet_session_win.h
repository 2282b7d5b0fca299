#pragma once
// A WinINet root handle whose whole use is bounded in time. A server that accepts a connection
// and then never answers would otherwise hold a WinINet call, and the thread making it, for as
// long as it likes. Two guards, since WinINet implementations differ in which one they honour:
// every handle opened under the root gets time-outs no longer than the time left, the moment it
// is created (so pass context() to the calls that open handles); and when the deadline passes a
// watchdog closes the root handle, which ends the calls still pending on it and on every handle
// opened under it.
//
// Once the root is closed the handle values under it are dead and may soon belong to another
// session: after expired() turns true, or restartClock() says false, nothing may be done with
// them any more.
#include <windows.h>
#include <wininet.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace win32 {

class InternetSession;

// A handle opened under a session's root (a connection, a request). Closed through the session,
// because once the watchdog has closed the root, WinINet has closed this handle too and its
// value may already belong to another thread's new handle.
class InternetHandle {
 public:
  InternetHandle(InternetSession& session, HINTERNET handle)
      : session_(&session), handle_(handle) {}
  ~InternetHandle();
  InternetHandle(InternetHandle&& other) noexcept;
  InternetHandle& operator=(InternetHandle&&) = delete;
  InternetHandle(const InternetHandle&) = delete;
  InternetHandle& operator=(const InternetHandle&) = delete;

  HINTERNET get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

 private:
  InternetSession* session_;
  HINTERNET handle_;
};

class InternetSession {
 public:
  // kWork ends at once when the program ends. kCleanup removes what cut-off work left behind,
  // so the end of the program only shortens it to the grace that cancelAll() gives.
  enum class Kind { kWork, kCleanup };

  // InternetOpenW with `agent`, direct access (no proxy), no flags; the clock starts now.
  InternetSession(const wchar_t* agent, std::chrono::milliseconds limit, Kind kind = Kind::kWork);
  // Stops the watchdog and closes the root handle unless the watchdog already did.
  ~InternetSession();
  InternetSession(const InternetSession&) = delete;
  InternetSession& operator=(const InternetSession&) = delete;

  explicit operator bool() const { return root_ != nullptr; }
  HINTERNET root() const { return root_; }

  // The context value for calls under this root; WinINet reports new handles only to calls
  // made with a context other than 0.
  DWORD_PTR context() const { return reinterpret_cast<DWORD_PTR>(this); }

  // Sets the connect, send and receive time-outs of `handle` (the root or a handle opened under
  // it) to the time left, so a blocking call gives up by itself where the platform honours them.
  void limitToDeadline(HINTERNET handle) const;

  // Moves the deadline to `limit` from now, for a next step that may take longer (or must take
  // less) than the steps before it. False, and no effect, once the deadline has passed: the
  // handles are gone then, and the next step must not be taken.
  [[nodiscard]] bool restartClock(std::chrono::milliseconds limit);

  // The deadline has passed (or cancelAll() came): the root and every handle under it closed.
  bool expired() const;

  // The end of the program: ends every work session now open, as if its deadline had passed,
  // and makes every later one fail at once, so that no worker waits on the network any more.
  // Clean-up sessions, open or opened later, all end within `cleanupGrace` from now.
  static void cancelAll(std::chrono::milliseconds cleanupGrace = {});
  static bool cancelled();

 private:
  friend class InternetHandle;

  static void CALLBACK onStatus(HINTERNET handle, DWORD_PTR context, DWORD status, void* info,
                                DWORD infoLength);
  void closeChild(HINTERNET handle);
  void watch();
  // Lets the watchdog close the root at `latest` if not before, and never later from now on.
  void expireBy(std::chrono::steady_clock::time_point latest);

  HINTERNET root_ = nullptr;
  Kind kind_;

  mutable std::mutex lock_;  // guards deadline_, expired_, stopping_ and every close
  std::chrono::steady_clock::time_point deadline_;
  std::chrono::steady_clock::time_point latest_ = std::chrono::steady_clock::time_point::max();
  std::condition_variable wake_;
  bool expired_ = false;
  bool stopping_ = false;
  std::thread watchdog_;
};

}  // namespace win32
