#pragma once
// How a worker's news reaches a window's thread: the worker leaves it here and posts a message
// to the window; the window's thread takes it. Only the latest counts, so a burst of news costs
// the window one look. Firing reports and the Test button's answers travel this way.
#include <windows.h>

#include <mutex>
#include <optional>
#include <utility>

template <typename T>
class WindowMailbox {
 public:
  // On any thread: keeps `news`, replacing what was not taken yet, and posts `message` to
  // `window`.
  void post(const T& news, HWND window, UINT message) {
    {
      std::lock_guard guard(lock_);
      latest_ = news;
    }
    PostMessageW(window, message, 0, 0);
  }
  // On the window's thread: the latest news, once.
  std::optional<T> take() {
    std::lock_guard guard(lock_);
    return std::exchange(latest_, std::nullopt);
  }
  // What was not taken yet goes.
  void clear() {
    std::lock_guard guard(lock_);
    latest_.reset();
  }

 private:
  std::mutex lock_;
  std::optional<T> latest_;
};
