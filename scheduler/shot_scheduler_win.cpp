#include "scheduler/shot_scheduler_win.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <utility>

#include "capture/screen_capturer_win.h"
#include "delivery/ftp_uploader_win.h"
#include "delivery/saved_pictures.h"
#include "platform/worker_group.h"
#include "scheduler/idle_tracker.h"
#include "scheduler/outbox_sender_win.h"
#include "scheduler/periodic_timer_win.h"
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
void reportFiring(const FiringReport& fired) {
  FiringReport report = fired;
  report.waitingUploads = outbox_sender::waiting();
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

// Only shots with a limit keep a record: pictures saved before a limit was set are left alone.
size_t keepPicture(const EffectiveShot& shot, const std::wstring& path,
                   const platform::LocalTime& time) {
  if (shot.keepDays <= 0 && shot.keepCount <= 0) return 0;
  SavedPictures& saved = SavedPictures::instance();
  saved.record(shot.name, path, time);
  return saved.trim(shot.name, shot.keepDays, shot.keepCount, time, outbox_sender::holds);
}

bool keepToRetry(const EffectiveShot& shot, const std::wstring& remoteName,
                 const std::wstring& localFile, const UploadOutcome& failure) {
  return outbox_sender::keep({shot.name, localFile, shot.ftp, remoteName}, failure);
}

void upload(const EffectiveShot& shot, std::wstring remoteName, std::wstring localPath,
            std::function<void(const UploadOutcome&)> done) {
  FtpUploader::instance().upload(
      UploadJob{shot.ftp, std::move(remoteName), std::move(localPath), true},
      [account = shot.ftp, done = std::move(done)](const UploadOutcome& outcome) {
        // What waits for this server need not wait any longer.
        if (outcome) outbox_sender::reached(account);
        if (done) done(outcome);
      });
}

// The shot worker of the program: GDI+ capture, FTP upload.
const ShotWorker& shotWorker() {
  static const ShotWorker* const worker =
      new ShotWorker({[](const EffectiveShot& shot, std::wstring& path, std::wstring& failure) {
                        return ScreenCapturer::instance().captureShot(shot, path, failure);
                      },
                      upload, nullptr, reportFiring, keepPicture, keepToRetry});
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
  outbox_sender::close();  // what waits is sent at the next start
  WorkerGroup::workers().close();
  FtpUploader::cancelAll();
}

bool ShotScheduler::finishShutdown(std::chrono::milliseconds limit) {
  const auto start = std::chrono::steady_clock::now();
  const bool workersEnded = WorkerGroup::workers().waitIdle(limit);
  // What cut-off uploads left on their servers is being deleted meanwhile, within the same time.
  const auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - start);
  FtpUploader::waitForCleanup(std::max(limit - spent, std::chrono::milliseconds(0)));
  return workersEnded;
}

bool ShotScheduler::shutdown(std::chrono::milliseconds limit) {
  beginShutdown();
  return finishShutdown(limit);
}

void ShotScheduler::cleanUpOldPictures() {
  WorkerGroup::workers().start([] {
    const ShotStore& store = ShotStore::instance();
    const platform::LocalTime now = platform::localNow();
    for (uint32_t slot = 0; slot < store.count(); ++slot) {
      const ShotPtr record = store.at(slot);
      if (!record) break;  // deleted meanwhile
      const ShotDefinition shot = store.copy(record);
      const size_t deleted = SavedPictures::instance().trim(
          shot.NAME, shot.KEEP_DAYS, shot.KEEP_COUNT, now, outbox_sender::holds);
      if (deleted > 0) activityLog().write(cleanUpLine(shot.NAME, deleted, now));
    }
  });
}

void ShotScheduler::forgetPicturesOf(const std::wstring& shotName) {
  SavedPictures::instance().forget(shotName);
}

void ShotScheduler::openOutbox() {
  const std::wstring data = AppSettings::instance().sharedDataFolder();
  if (AppSettings::instance().getString(SettingId::DOCS_PATH).empty()) return;
  outbox_sender::open(data + kOutboxFolderName, reportFiring);
}
