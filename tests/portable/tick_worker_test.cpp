#include "scheduler/tick_worker.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <tuple>
#include <vector>

#include "platform/worker_group.h"
#include "scheduler/active_hours.h"
#include "settings/app_settings.h"

namespace {

class TickWorkerTest : public ::testing::Test {
 protected:
  void SetUp() override { ShotStore::instance().reopen(); }
  void TearDown() override {
    ShotStore::release();
    AppSettings::release();
  }

  static ShotPtr add(const std::wstring& name, bool enabled, int32_t interval) {
    auto shot = std::make_shared<ShotDefinition>();
    shot->NAME = name;
    shot->AUTO_ENABLED = enabled;
    shot->AUTO_INTERVAL = interval;
    ShotStore::instance().add(shot);
    return shot;
  }
  // Names of the shots that fire at one active tick.
  static std::vector<std::wstring> tick(const platform::LocalTime& now = {}) {
    std::vector<std::wstring> names;
    for (const Firing& firing :
         countActiveTick(ShotStore::instance(), AppSettings::instance(), now)) {
      names.push_back(firing.shot.name);
    }
    return names;
  }
  // The ticks (1-based) out of `ticks` at which the shot named `name` fired.
  static std::vector<int> firingTicks(const std::wstring& name, int ticks) {
    std::vector<int> fired;
    for (int i = 1; i <= ticks; ++i) {
      for (const std::wstring& firedName : tick()) {
        if (firedName == name) fired.push_back(i);
      }
    }
    return fired;
  }
  static int32_t tickCountOf(const ShotPtr& shot) {
    return ShotStore::instance().copy(shot).tickCount;
  }

  AppSettings& settings_ = AppSettings::instance();
};

TEST_F(TickWorkerTest, OnlyEnabledShotsAreCountedAndFired) {
  add(L"on", true, 0);
  const ShotPtr off = add(L"off", false, 0);
  ShotStore::instance().update(off, [](ShotDefinition& shot) { shot.tickCount = 5; });

  EXPECT_EQ(tick(), std::vector<std::wstring>{L"on"});
  EXPECT_EQ(tick(), std::vector<std::wstring>{L"on"});
  EXPECT_EQ(tickCountOf(off), 5);
}

TEST_F(TickWorkerTest, ShotFiresEveryIntervalTicks) {
  const ShotPtr shot = add(L"three", true, 3);
  EXPECT_EQ(firingTicks(L"three", 10), (std::vector<int>{3, 6, 9}));
  EXPECT_EQ(tickCountOf(shot), 1);
}

TEST_F(TickWorkerTest, IntervalZeroOrLessFiresEveryTick) {
  add(L"zero", true, 0);
  add(L"negative", true, -7);
  EXPECT_EQ(firingTicks(L"zero", 3), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(firingTicks(L"negative", 3), (std::vector<int>{1, 2, 3}));
}

TEST_F(TickWorkerTest, GlobalIntervalReplacesTheShotsOwnFromTheNextTick) {
  const ShotPtr shot = add(L"global", true, 1);
  ShotStore::instance().update(shot, [](ShotDefinition& s) { s.USE_GLOBAL_SETTINGS = true; });
  settings_.setInt(SettingId::SHOT_INTERVAL, 4);
  EXPECT_EQ(firingTicks(L"global", 5), std::vector<int>{4});

  settings_.setInt(SettingId::SHOT_INTERVAL, 2);
  EXPECT_EQ(firingTicks(L"global", 4), (std::vector<int>{1, 3}));
}

TEST_F(TickWorkerTest, FiringsComeInSlotOrderWithTheirEffectiveValues) {
  const ShotPtr first = add(L"a", true, 0);
  const ShotPtr global = add(L"b", true, 0);
  add(L"c", true, 0);
  ShotStore::instance().update(global, [](ShotDefinition& s) {
    s.USE_GLOBAL_SETTINGS = true;
    s.TIMESTAMP = L"own";
  });
  settings_.setInt(SettingId::SHOT_INTERVAL, 0);
  settings_.setString(SettingId::SHOT_TIMESTAMP, L"global pattern");

  const std::vector<Firing> firings =
      countActiveTick(ShotStore::instance(), AppSettings::instance(), {});
  ASSERT_EQ(firings.size(), 3u);
  EXPECT_EQ(firings[0].record.lock(), first);
  EXPECT_EQ(firings[1].record.lock(), global);
  EXPECT_EQ(firings[1].shot.timestampPattern, L"global pattern");
  EXPECT_EQ(firings[2].shot.name, L"c");
}

TEST_F(TickWorkerTest, EditBetweenTicksKeepsTheCount) {
  const ShotPtr shot = add(L"edited", true, 3);
  tick();
  tick();
  ShotStore::instance().update(shot, [](ShotDefinition& s) { s.NAME = L"renamed"; });
  EXPECT_EQ(tick(), std::vector<std::wstring>{L"renamed"});
}

TEST_F(TickWorkerTest, TakeShotFiresADisabledShotWithoutCountingIt) {
  const ShotPtr shot = add(L"manual", false, 10);
  ShotStore::instance().update(shot, [](ShotDefinition& s) { s.tickCount = 3; });

  const Firing firing = firingOf(shot, ShotStore::instance(), AppSettings::instance());
  EXPECT_EQ(firing.record.lock(), shot);
  EXPECT_EQ(firing.shot.name, L"manual");
  EXPECT_EQ(tickCountOf(shot), 3);

  EXPECT_TRUE(firingOf(nullptr, ShotStore::instance(), AppSettings::instance()).record.expired());
}

TEST_F(TickWorkerTest, TickWorkerStartsOneShotWorkerPerFiring) {
  add(L"a", true, 0);
  add(L"b", true, 2);
  add(L"c", true, 0);
  std::atomic<int> captures{0};
  const ShotWorker worker({[&](const EffectiveShot&, CapturedPicture&, std::wstring&) {
                             ++captures;
                             return CaptureResult::kFailed;
                           },
                           nullptr, nullptr, nullptr});
  WorkerGroup group;
  runTickWorker(worker, group);
  ASSERT_TRUE(group.waitIdle(std::chrono::seconds(10)));
  EXPECT_EQ(captures, 2);
  runTickWorker(worker, group);
  ASSERT_TRUE(group.waitIdle(std::chrono::seconds(10)));
  EXPECT_EQ(captures, 5);
}

}  // namespace

namespace {

// Ticks and Take Shot run their workers while the UI thread adds, edits and deletes shots.
TEST(TickWorkerConcurrencyTest, TicksAndFiringsRaceWithEditsOfTheStore) {
  ShotStore::instance().reopen();
  std::atomic<int> captures{0};
  const ShotWorker worker(
      {[&](const EffectiveShot& shot, CapturedPicture& picture, std::wstring&) {
         ++captures;
         picture.file = platform::TemporaryFile(L"no such file " + shot.name);
         return CaptureResult::kCaptured;
       },
       [](const EffectiveShot& shot, platform::TemporaryFile, const platform::LocalTime&) {
         FiringReport report;
         report.shotName = shot.name;
         return report;
       },
       nullptr, nullptr});
  WorkerGroup group;
  std::atomic<bool> stop{false};
  std::thread ticker([&] {
    while (!stop) runTickWorker(worker, group);
  });

  ShotStore& store = ShotStore::instance();
  for (int i = 0; i < 300; ++i) {
    auto shot = std::make_shared<ShotDefinition>();
    shot->NAME = L"shot " + std::to_wstring(i);
    shot->AUTO_ENABLED = true;
    shot->AUTO_INTERVAL = i % 3;
    store.add(shot);
    store.update(shot, [i](ShotDefinition& s) {
      s.NAME += L" edited";
      s.AUTO_INTERVAL = i % 2;
    });
    worker.start(firingOf(store.at(i % 4), store, AppSettings::instance()), group);
    if (store.count() > 5) store.remove(i % 5);
    AppSettings::instance().setInt(SettingId::SHOT_INTERVAL, i % 4);
  }
  stop = true;
  ticker.join();
  EXPECT_TRUE(group.closeAndWait(std::chrono::seconds(30)));
  EXPECT_GT(captures, 0);
  ShotStore::release();
  AppSettings::release();
}

// Working hours on an injected clock: a night range runs past midnight and belongs to the day
// it began on; outside them a shot neither counts nor fires, and counts afresh when they open.
TEST_F(TickWorkerTest, WorkingHoursDecideOnTheLocalClock) {
  const auto at = [](int weekday, int hour, int minute) {
    platform::LocalTime time;
    std::tie(time.weekday, time.hour, time.minute) = std::tuple(weekday, hour, minute);
    return time;
  };
  constexpr int kSunday = 0, kMonday = 1, kFriday = 5, kSaturday = 6;
  const std::wstring_view night = L"22:00-06:30", weekdays = L"1111100";
  EXPECT_TRUE(isWithinActiveHours(night, L"", at(kMonday, 23, 59)));
  EXPECT_TRUE(isWithinActiveHours(night, L"", at(kMonday, 0, 0)));
  EXPECT_FALSE(isWithinActiveHours(night, L"", at(kMonday, 6, 30)));
  EXPECT_FALSE(isWithinActiveHours(night, L"", at(kMonday, 12, 0)));
  EXPECT_TRUE(isWithinActiveHours(night, weekdays, at(kSaturday, 3, 0)));  // Friday's night
  EXPECT_FALSE(isWithinActiveHours(night, weekdays, at(kMonday, 3, 0)));   // Sunday's night
  EXPECT_FALSE(isWithinActiveHours(night, weekdays, at(kSaturday, 23, 0)));
  EXPECT_TRUE(isWithinActiveHours(L"08:00-17:00", weekdays, at(kFriday, 8, 0)));
  EXPECT_FALSE(isWithinActiveHours(L"", weekdays, at(kSunday, 12, 0)));
  // Forms a hand-edited file may hold limit nothing.
  for (const wchar_t* odd : {L"8:00-17:00", L"25:00-06:00", L"09:00-09:00", L"junk"})
    EXPECT_TRUE(isWithinActiveHours(odd, L"0000000", at(kSunday, 3, 0))) << odd;

  const ShotPtr shot = add(L"office", true, 3);
  ShotStore::instance().update(shot, [](ShotDefinition& s) { s.ACTIVE_HOURS = L"09:00-17:00"; });
  tick(at(kMonday, 8, 58));
  tick(at(kMonday, 8, 59));
  EXPECT_EQ(tickCountOf(shot), 0);
  EXPECT_TRUE(tick(at(kMonday, 9, 0)).empty());
  EXPECT_TRUE(tick(at(kMonday, 9, 0)).empty());
  EXPECT_EQ(tick(at(kMonday, 9, 0)), std::vector<std::wstring>{L"office"});
}

}  // namespace
