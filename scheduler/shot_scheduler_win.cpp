#include "scheduler/shot_scheduler_win.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <utility>

#include "capture/screen_capturer_win.h"
#include "platform/periodic_timer_win.h"
#include "platform/worker_group.h"
#include "scheduler/idle_tracker.h"
#include "scheduler/program_deliveries_win.h"
#include "scheduler/shot_worker.h"
#include "scheduler/skip_tally.h"
#include "scheduler/tick_worker.h"
#include "settings/app_settings.h"

namespace {

constexpr DWORD kTickMs = 1000;

ShotScheduler* scheduler = nullptr;
std::mutex schedulerLock;

std::atomic<bool> locked{false};

struct FiringListener {
  std::mutex lock;  // held while the listener runs, so clearing it waits for a call in progress
  std::function<void(const FiringReport&)> listener;
};

FiringListener& firingListener() {
  static FiringListener* const listener = new FiringListener;  // workers may report at exit
  return *listener;
}

// The log first: it is the record that remains, whatever the listener does.
SkipTally& skipTally() {
  static SkipTally* const tally = new SkipTally;  // workers may report at exit
  return *tally;
}

// An unchanged screen is counted, not logged, and not shown: the tip keeps the last picture.
void reportFiring(const FiringReport& report) {
  const ActivityLog log = ShotScheduler::activityLog();
  if (report.unchanged) {
    if (const auto line = skipTally().skipped(report.shotName, report.time)) log.write(*line);
    return;
  }
  if (const auto line = skipTally().ended(report.shotName, report.time)) log.write(*line);
  log.write(logLine(report));
  if (report.deletedOld > 0)
    log.write(cleanUpLine(report.shotName, report.deletedOld, report.time));
  FiringListener& listening = firingListener();
  std::lock_guard guard(listening.lock);
  if (listening.listener) listening.listener(report);
}

// Outlives stop() and start(): a scheduler restarted while the user is away stays paused.
IdleTracker& idleTracker() {
  static IdleTracker* const tracker = new IdleTracker();
  return *tracker;
}

void logNote(const std::wstring& note) {
  ShotScheduler::activityLog().write(noteLine(platform::localNow(), L"Vemlix", note));
}

Deliveries& deliveries() {
  return programDeliveries(reportFiring, logNote);
}

// The shot worker of the program: GDI+ capture, then the picture's delivery.
const ShotWorker& shotWorker() {
  static const ShotWorker* const worker = new ShotWorker(
      {[](const EffectiveShot& shot, CapturedPicture& picture, std::wstring& failure) {
         std::wstring path;
         const CaptureResult result =
             ScreenCapturer::instance().captureShot(shot, path, failure, &picture.pixels);
         if (result == CaptureResult::kCaptured) picture.file = platform::TemporaryFile(path);
         return result;
       },
       [](const EffectiveShot& shot, platform::TemporaryFile picture,
          const platform::LocalTime& firedAt) {
         return deliveries().delivery().deliver(shot, std::move(picture), firedAt);
       },
       [](const EffectiveShot& shot, CapturedPixels pixels) {
         ScreenCapturer::instance().keep(shot, std::move(pixels));
       },
       reportFiring});
  return *worker;
}

// The tick of the kernel timer queue, which stop() waits for: it reads the settings, so the
// settings outlive it.
void onTick() {
  // Before the idle rule: a locked session's ticks are not idle ticks either, they do not exist.
  if (locked) return;
  LASTINPUTINFO input{};
  input.cbSize = sizeof(input);
  if (!GetLastInputInfo(&input)) input.dwTime = 0;
  const AppSettings& settings = AppSettings::instance();
  const bool active = idleTracker().onTick(input.dwTime, settings.getBool(SettingId::DISABLE_IDLE),
                                           settings.getInt(SettingId::DISABLE_IDLE_INTERVAL));
  // Everything else runs on a worker, so a slow store or capture never holds up the timer.
  if (active)
    WorkerGroup::workers().start([] { runTickWorker(shotWorker(), WorkerGroup::workers()); });
}

}  // namespace

ShotScheduler& ShotScheduler::instance() {
  std::lock_guard guard(schedulerLock);
  if (!scheduler) scheduler = new ShotScheduler();
  return *scheduler;
}

void ShotScheduler::release() {
  ShotScheduler* released = nullptr;
  {
    std::lock_guard guard(schedulerLock);
    released = std::exchange(scheduler, nullptr);
  }
  delete released;
}

ShotScheduler::ShotScheduler() = default;

ShotScheduler::~ShotScheduler() {
  stop();
}

void ShotScheduler::start() {
  std::lock_guard guard(lock_);
  if (running_) return;
  // Without a timer the scheduler still counts as running; it just never ticks.
  timer_ = std::make_unique<PeriodicTimer>(kTickMs, kTickMs, onTick);
  running_ = true;
}

void ShotScheduler::stop() {
  std::unique_ptr<PeriodicTimer> stopped;
  {
    std::lock_guard guard(lock_);
    stopped = std::move(timer_);
    running_ = false;
  }
  // Waits for a tick in progress, outside the lock so that isRunning() never blocks on it.
  stopped.reset();
}

bool ShotScheduler::isRunning() const {
  std::lock_guard guard(lock_);
  return running_;
}

void ShotScheduler::fireShot(const ShotPtr& shot) {
  if (!shot) return;
  shotWorker().start(firingOf(shot, ShotStore::instance(), AppSettings::instance()),
                     WorkerGroup::workers());
}

void ShotScheduler::setSessionLocked(bool isLocked) {
  locked = isLocked;
}

bool ShotScheduler::sessionLocked() {
  return locked;
}

void ShotScheduler::setFiringListener(std::function<void(const FiringReport&)> listener) {
  FiringListener& listening = firingListener();
  std::lock_guard guard(listening.lock);
  listening.listener = std::move(listener);
}

ActivityLog ShotScheduler::activityLog() {
  const AppSettings& settings = AppSettings::instance();
  // Without a documents folder there is no data folder, and so no log.
  if (settings.getString(SettingId::DOCS_PATH).empty()) return ActivityLog({});
  return ActivityLog(settings.sharedDataFolder());
}

void ShotScheduler::beginShutdown() {
  stop();
  stopRetries();  // what waits is sent at the next start
  WorkerGroup::workers().close();
  if (Deliveries* made = madeProgramDeliveries()) made->destination().cancelAll();
}

bool ShotScheduler::finishShutdown(std::chrono::milliseconds limit) {
  const auto start = std::chrono::steady_clock::now();
  const bool workersEnded = WorkerGroup::workers().waitIdle(limit);
  // What cut-off uploads left on their servers is being deleted meanwhile, within the same time.
  const auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - start);
  if (Deliveries* made = madeProgramDeliveries())
    made->destination().waitForCleanup(std::max(limit - spent, std::chrono::milliseconds(0)));
  return workersEnded;
}

bool ShotScheduler::shutdown(std::chrono::milliseconds limit) {
  beginShutdown();
  return finishShutdown(limit);
}

void ShotScheduler::openDeliveries() {
  deliveries();
  // The old pictures of every shot beyond its limits, as after each save; on a worker, so that
  // a long list of deletions holds up nothing.
  WorkerGroup::workers().start([] {
    PictureLedger* ledger = deliveries().ledger();
    if (!ledger) return;
    for (const EffectiveShot& shot : currentShots()) {
      const size_t deleted = ledger->trim(shot.guid, shot.keepDays, shot.keepCount);
      if (deleted > 0) activityLog().write(cleanUpLine(shot.name, deleted, platform::localNow()));
    }
  });
}

size_t ShotScheduler::waitingUploads() {
  Deliveries* made = madeProgramDeliveries();
  PictureLedger* ledger = made ? made->ledger() : nullptr;
  return ledger ? ledger->waitingCount() : 0;
}

void ShotScheduler::stopRetries() {
  if (Deliveries* made = madeProgramDeliveries()) made->stopRetries();
}
