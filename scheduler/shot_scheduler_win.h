#pragma once
// Automatic Mode: a one-second timer that counts the enabled shots and fires them, paused
// while the user is idle for longer than allowed and while the session is locked. Also where
// Take Shot enters the shot worker, and where the outcome of every firing is reported.
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>

#include "scheduler/activity_log.h"
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

  // Takes `shot` at once on a worker thread, running or not, enabled or not, locked or not:
  // the user asked for it. Its tickCount is left as it is.
  void fireShot(const ShotPtr& shot);

  // While the session is locked or disconnected the screen shows the lock screen, or nothing
  // (the caller asks the system which it is): ticks neither
  // count nor fire, so nothing is captured, saved or uploaded, and counting goes on where it
  // stopped once it is unlocked. Kept across stop() and start(), like the idle state.
  static void setSessionLocked(bool locked);
  static bool sessionLocked();

  // Hears every firing's report on the worker that ends it (after the log line is written);
  // empty for none. Setting it waits for a call in progress, so once it has been cleared no
  // call is running or will come.
  static void setFiringListener(std::function<void(const FiringReport&)> listener);

  // Once the shots are loaded: opens the picture ledger, takes over the older records, starts
  // sending what waits to be uploaded, and deletes, on a worker, the old pictures of every shot
  // beyond its limits, as after each save.
  static void openDeliveries();
  // No upload that waits is tried again in this run.
  static void stopRetries();
  // Uploads that failed and wait to be sent again, as the ledger has them.
  static size_t waitingUploads();

  // Vemlix.log in the data folder the settings name now.
  static ActivityLog activityLog();

  // The end of the program, first half, quick enough for the UI thread: stops the timer,
  // refuses new workers and cancels the uploads in flight, which end at once and delete their
  // temporary files. Local copies are saved before an upload starts, so nothing is lost.
  void beginShutdown();
  // Second half: waits up to `limit` for the workers still running (a capture finishing), and
  // for the deletes of what cut-off uploads left on their servers. True when no worker is left,
  // so that what they use (GDI+, the settings) may be freed.
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
