#pragma once
// How a worker's report of a firing reaches the UI thread: the worker leaves it here and posts
// a message to the window; the window's thread takes it. Only the latest report counts, so a
// burst of firings costs the window one look.
#include <windows.h>

#include <mutex>
#include <optional>

#include "delivery/firing_report.h"

class ReportMailbox {
 public:
  // On any thread: keeps `report`, replacing one not taken yet, and posts `message` to `window`.
  void post(const FiringReport& report, HWND window, UINT message) {
    {
      std::lock_guard guard(lock_);
      latest_ = report;
    }
    PostMessageW(window, message, 0, 0);
  }
  // On the window's thread: the latest report, once.
  std::optional<FiringReport> take() {
    std::lock_guard guard(lock_);
    return std::exchange(latest_, std::nullopt);
  }

 private:
  std::mutex lock_;
  std::optional<FiringReport> latest_;
};
