#include "platform/internet_session_win.h"

#include <algorithm>
#include <set>
#include <utility>

namespace win32 {
namespace {

// Every session now open, so that cancelAll() can reach them.
struct LiveSessions {
  std::mutex lock;
  std::set<InternetSession*> sessions;
  bool cancelled = false;
  std::chrono::steady_clock::time_point cleanupEnd;  // once cancelled: when clean-up must end
};

LiveSessions& liveSessions() {
  // Never destroyed: an upload worker may still end its session while the process exits.
  static LiveSessions* const live = new LiveSessions;
  return *live;
}

}  // namespace

InternetHandle::~InternetHandle() {
  if (handle_) session_->closeChild(handle_);
}

InternetHandle::InternetHandle(InternetHandle&& other) noexcept
    : session_(other.session_), handle_(std::exchange(other.handle_, nullptr)) {}

InternetSession::InternetSession(const wchar_t* agent, std::chrono::milliseconds limit, Kind kind)
    : kind_(kind), deadline_(std::chrono::steady_clock::now() + limit) {
  LiveSessions& live = liveSessions();
  std::lock_guard<std::mutex> registering(live.lock);
  if (live.cancelled) {
    if (kind_ != Kind::kCleanup || std::chrono::steady_clock::now() >= live.cleanupEnd) return;
    latest_ = live.cleanupEnd;
    deadline_ = std::min(deadline_, latest_);
  }
  root_ = InternetOpenW(agent, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
  if (!root_) return;
  limitToDeadline(root_);
  InternetSetStatusCallbackW(root_, &InternetSession::onStatus);
  watchdog_ = std::thread([this] { watch(); });
  live.sessions.insert(this);
}

void InternetSession::cancelAll(std::chrono::milliseconds cleanupGrace) {
  LiveSessions& live = liveSessions();
  std::lock_guard<std::mutex> guard(live.lock);
  const auto now = std::chrono::steady_clock::now();
  if (!live.cancelled) live.cleanupEnd = now + cleanupGrace;
  live.cancelled = true;
  for (InternetSession* session : live.sessions) {
    session->expireBy(session->kind_ == Kind::kCleanup ? live.cleanupEnd : now);
  }
}

bool InternetSession::cancelled() {
  LiveSessions& live = liveSessions();
  std::lock_guard<std::mutex> guard(live.lock);
  return live.cancelled;
}

void InternetSession::expireBy(std::chrono::steady_clock::time_point latest) {
  {
    std::lock_guard<std::mutex> guard(lock_);
    latest_ = std::min(latest_, latest);
    deadline_ = std::min(deadline_, latest_);
  }
  wake_.notify_all();
}

bool InternetSession::expired() const {
  std::lock_guard<std::mutex> guard(lock_);
  return expired_;
}

void CALLBACK InternetSession::onStatus(HINTERNET, DWORD_PTR context, DWORD status, void* info,
                                        DWORD infoLength) {
  // Only handle creation: other reports come while a handle is being closed, perhaps by the
  // watchdog, which holds the lock then. The information starts with the new handle.
  if (status != INTERNET_STATUS_HANDLE_CREATED || !context || !info) return;
  if (infoLength < sizeof(HINTERNET)) return;
  HINTERNET created = *static_cast<HINTERNET*>(info);
  reinterpret_cast<const InternetSession*>(context)->limitToDeadline(created);
}

InternetSession::~InternetSession() {
  if (root_) {
    LiveSessions& live = liveSessions();
    std::lock_guard<std::mutex> guard(live.lock);
    live.sessions.erase(this);
  }
  {
    std::lock_guard<std::mutex> guard(lock_);
    stopping_ = true;
  }
  wake_.notify_all();
  if (watchdog_.joinable()) watchdog_.join();
  if (root_ && !expired_) InternetCloseHandle(root_);
}

void InternetSession::watch() {
  std::unique_lock<std::mutex> guard(lock_);
  while (!stopping_) {
    if (std::chrono::steady_clock::now() >= deadline_) {
      // Closing the root ends what is pending on it and closes every handle opened under it.
      expired_ = true;
      InternetCloseHandle(root_);
      return;
    }
    const auto until = deadline_;  // restartClock() may move deadline_ while this waits
    wake_.wait_until(guard, until);
  }
}

bool InternetSession::restartClock(std::chrono::milliseconds limit) {
  {
    std::lock_guard<std::mutex> guard(lock_);
    // A deadline that has passed but that the watchdog has not acted on yet counts as passed:
    // the handles may be closed at any moment.
    if (expired_ || std::chrono::steady_clock::now() >= deadline_) return false;
    deadline_ = std::min(std::chrono::steady_clock::now() + limit, latest_);
  }
  wake_.notify_all();
  return true;
}

void InternetSession::closeChild(HINTERNET handle) {
  std::lock_guard<std::mutex> guard(lock_);
  if (!expired_) InternetCloseHandle(handle);
}

void InternetSession::limitToDeadline(HINTERNET handle) const {
  using namespace std::chrono;
  std::lock_guard<std::mutex> guard(lock_);
  if (expired_) return;
  const auto left = duration_cast<milliseconds>(deadline_ - steady_clock::now()).count();
  DWORD timeout = static_cast<DWORD>(std::max<long long>(left, 1));
  for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                       INTERNET_OPTION_RECEIVE_TIMEOUT, INTERNET_OPTION_DATA_SEND_TIMEOUT,
                       INTERNET_OPTION_DATA_RECEIVE_TIMEOUT}) {
    InternetSetOptionW(handle, option, &timeout, sizeof(timeout));
  }
}

}  // namespace win32
