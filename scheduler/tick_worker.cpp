#include "scheduler/tick_worker.h"

#include <utility>

#include "scheduler/active_hours.h"
#include "scheduler/tick_counter.h"
#include "settings/app_settings.h"

namespace {

struct Fired {
  ShotPtr record;
  ShotDefinition values;
};

}  // namespace

std::vector<Firing> countActiveTick(ShotStore& store, const AppSettings& settings,
                                    const platform::LocalTime& now) {
  // Read before the store lock is taken, so the two locks are never nested.
  const int32_t globalInterval = settings.getInt(SettingId::SHOT_INTERVAL);
  std::vector<Fired> fired;
  store.forEach([&](const ShotPtr& record, ShotDefinition& shot) {
    if (!shot.AUTO_ENABLED) return;
    if (!isWithinActiveHours(shot.ACTIVE_HOURS, shot.ACTIVE_DAYS, now)) {
      shot.tickCount = 0;
      return;
    }
    const int32_t interval = shot.USE_GLOBAL_SETTINGS ? globalInterval : shot.AUTO_INTERVAL;
    if (countTick(shot.tickCount, interval)) fired.push_back({record, shot});
  });

  std::vector<Firing> firings;
  firings.reserve(fired.size());
  for (const Fired& shot : fired) {
    firings.push_back({shot.record, effectiveSettings(shot.values, settings)});
  }
  return firings;
}

Firing firingOf(const ShotPtr& shot, const ShotStore& store, const AppSettings& settings) {
  if (!shot) return {};
  // The user asked for this picture: it is taken even if the screen has not changed.
  Firing firing{shot, effectiveSettings(store.copy(shot), settings)};
  firing.shot.skipUnchanged = false;
  return firing;
}

void runTickWorker(const ShotWorker& worker, WorkerGroup& group) {
  for (Firing& firing :
       countActiveTick(ShotStore::instance(), AppSettings::instance(), platform::localNow())) {
    worker.start(std::move(firing), group);
  }
}
