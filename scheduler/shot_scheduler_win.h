#pragma once
// Automatic Mode: a one-second timer that counts the enabled shots and fires them, paused
// while the user is idle for longer than allowed. Also where Take Shot enters the shot worker.
#include <chrono>
#include <memory>
#include <mutex>

#include "shots/shot_store.h"

class PeriodicTimer;

class ShotScheduler {
 public:
  static ShotScheduler& instance();
  // Stops the timer (waiting for a tick in progress) and destroys the scheduler.
  static void release();

  // Starts the timer: first tick one second from now. Does nothing while running.
  void start();
  // Stops the timer and waits for a tick in progress; workers already started go on. Does
  // nothing while stopped. Never called from a tick.
  void stop();
  bool isRunning() const;

  // Takes `shot` at once on a worker thread, running or not, enabled or not. Its tickCount
  // is left as it is.
  void fireShot(const ShotPtr& shot);

  // The end of the program, first half, quick enough for the UI thread: stops the timer,
  // refuses new workers and cancels the uploads in flight, which end at once and delete their
  // temporary files. Local copies are saved before an upload starts, so nothing is lost.
  void beginShutdown();
  // Second half: waits up to `limit` for the workers still running (a capture finishing). True
  // when none is left, so that what they use (GDI+, the settings) may be freed.
  static bool finishShutdown(std::chrono::milliseconds limit);
  // Both halves.
  bool shutdown(std::chrono::milliseconds limit);

 private:
  ShotScheduler();
  ~ShotScheduler();

  // Guards running_ and timer_.
  mutable std::mutex lock_;
  bool running_ = false;
  std::unique_ptr<PeriodicTimer> timer_;
};
