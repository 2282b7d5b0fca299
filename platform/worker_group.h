#pragma once
// Detached worker threads that shutdown can still wait for. The workers of a shot (capture,
// local copy, upload) are never joined one by one, but before the program frees what they
// use (GDI+, the settings, the store) it waits, with a bound, until none is left.
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>

class WorkerGroup {
 public:
  // The group shared by every worker of the program.
  static WorkerGroup& workers();

  // Runs `work` on a new detached thread; false (and nothing runs) when no thread could be
  // started or the group is closed.
  bool start(std::function<void()> work);

  // Refuses new workers from now on; the running ones go on.
  void close();

  // Refuses new workers from now on and waits until the running ones have ended or `limit`
  // has passed. True when none is left.
  bool closeAndWait(std::chrono::milliseconds limit);

  // Waits without closing; for tests and benchmarks.
  bool waitIdle(std::chrono::milliseconds limit);

  std::size_t running() const;

  // Opens a closed group again (tests start and stop the program's pieces many times).
  void reopen();

 private:
  void finished();

  mutable std::mutex lock_;
  std::condition_variable idle_;
  std::size_t running_ = 0;
  bool closed_ = false;
};
