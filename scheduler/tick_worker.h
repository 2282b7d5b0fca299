#pragma once
// What one active timer tick does with the shots: counts every shot of Automatic Mode and
// picks the ones whose interval has come round.
#include <vector>

#include "platform/clock.h"
#include "scheduler/shot_worker.h"
#include "shots/shot_store.h"

class AppSettings;

// Walks the store in slot order and counts one tick for every shot with AUTO_ENABLED set
// (interval: SHOT_INTERVAL under USE_GLOBAL_SETTINGS, else AUTO_INTERVAL). Returns the shots
// that fire, in slot order, each with its own copy of the values its worker needs. The store
// lock is held only while counting, never while settings are read or a worker is started.
// Outside its working hours at `now` a shot is not counted, and its count starts again from
// nothing, so the first picture comes a whole interval after its hours begin.
std::vector<Firing> countActiveTick(ShotStore& store, const AppSettings& settings,
                                    const platform::LocalTime& now);

// The firing of Take Shot: `shot` as it stands now, whether or not it is enabled; its
// tickCount is left alone. A null shot gives a firing with no record and empty values.
Firing firingOf(const ShotPtr& shot, const ShotStore& store, const AppSettings& settings);

// One tick worker: counts the tick and starts a shot worker for every shot that fires.
void runTickWorker(const ShotWorker& worker, WorkerGroup& group);
