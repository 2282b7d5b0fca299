#include "scheduler/shot_worker.h"

#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <string>
#include <vector>

#include "capture/last_pictures.h"
#include "platform/files.h"
#include "platform/worker_group.h"
#include "settings/app_settings.h"
#include "shots/shot_store.h"
#include "support/temp_folder.h"

namespace {

// A capture of a screen that shows `screen`, judged against the last kept picture as the real
// capture judges it, and a delivery that keeps the picture only when told so.
class FakeRoad {
 public:
  ShotServices services() {
    return {[this](const EffectiveShot& shot, CapturedPicture& picture, std::wstring& failure) {
              std::lock_guard guard(lock_);
              ++captures_;
              if (captureFails) {
                failure = L"the screen could not be read";
                return CaptureResult::kFailed;
              }
              const std::vector<uint32_t> pixels(16, screen);
              if (shot.skipUnchanged && last_.sameAsLast(shot, pixels))
                return CaptureResult::kUnchanged;
              const std::wstring path = temp_.file(L"vmp" + std::to_wstring(captures_) + L".tmp");
              writeBytes(path, "picture");
              picture.file = platform::TemporaryFile(path);
              picture.pixels = std::make_shared<const std::vector<uint32_t>>(pixels);
              return CaptureResult::kCaptured;
            },
            [this](const EffectiveShot& shot, platform::TemporaryFile picture,
                   const platform::LocalTime& firedAt) {
              FiringReport report;
              report.time = firedAt;
              report.shotName = shot.name;
              report.captured = true;
              if (keeps) report.localFile = picture.path() + L".saved";
              std::lock_guard guard(lock_);
              delivered_.push_back(picture.path());
              return report;
            },
            [this](const EffectiveShot& shot, CapturedPixels pixels) {
              last_.remember(shot, std::move(pixels));
            },
            [this](const FiringReport& report) {
              std::lock_guard guard(lock_);
              reports_.push_back(report);
            }};
  }

  uint32_t screen = 1;
  bool keeps = true;
  bool captureFails = false;

  int captures() const {
    std::lock_guard guard(lock_);
    return captures_;
  }
  std::vector<std::wstring> delivered() const {
    std::lock_guard guard(lock_);
    return delivered_;
  }
  std::vector<FiringReport> reports() const {
    std::lock_guard guard(lock_);
    return reports_;
  }
  const std::wstring& tempPath() const { return temp_.path(); }

 private:
  mutable std::mutex lock_;
  int captures_ = 0;
  std::vector<std::wstring> delivered_;
  std::vector<FiringReport> reports_;
  LastPictures last_;
  TempFolder temp_;
};

class ShotWorkerTest : public ::testing::Test {
 protected:
  void SetUp() override { ShotStore::instance().reopen(); }
  void TearDown() override {
    ShotStore::release();
    AppSettings::release();
  }

  Firing firing() {
    auto record = std::make_shared<ShotDefinition>();
    record->NAME = L"Desk";
    ShotStore::instance().add(record);
    Firing fired{record, effectiveSettings(*record, AppSettings::instance())};
    fired.shot.skipUnchanged = true;
    return fired;
  }

  FakeRoad road_;
};

// The captured file goes to the delivery, the record hears of it, and every firing is reported
// once, with the reason when nothing was captured.
TEST_F(ShotWorkerTest, EachCaptureIsDeliveredAndEachFiringReportedOnce) {
  const Firing fired = firing();
  ShotWorker(road_.services()).fire(fired);
  ASSERT_EQ(road_.delivered().size(), 1u);
  EXPECT_EQ(ShotStore::instance().copy(fired.record.lock()).capturedFile, road_.delivered()[0]);
  EXPECT_TRUE(platform::filesEndingWith(road_.tempPath(), L".tmp").empty());
  road_.captureFails = true;
  ShotWorker(road_.services()).fire(fired);
  const std::vector<FiringReport> reports = road_.reports();
  ASSERT_EQ(reports.size(), 2u);
  EXPECT_EQ(reports[1].whyNoFile, L"not captured: the screen could not be read");
  EXPECT_EQ(road_.delivered().size(), 1u);
}

// A still screen is skipped only once a picture of it was kept: one that went nowhere (no
// folder, no server) is no reason to skip the next.
TEST_F(ShotWorkerTest, AnUnchangedScreenIsSkippedOnlyAfterAPictureOfItWasKept) {
  const Firing fired = firing();
  const ShotWorker worker(road_.services());
  road_.keeps = false;
  worker.fire(fired);
  road_.keeps = true;
  worker.fire(fired);
  EXPECT_EQ(road_.delivered().size(), 2u);
  worker.fire(fired);
  EXPECT_EQ(road_.delivered().size(), 2u);
  EXPECT_TRUE(road_.reports().back().unchanged);
  road_.screen = 2;
  worker.fire(fired);
  EXPECT_EQ(road_.delivered().size(), 3u);
}

TEST_F(ShotWorkerTest, StartRunsTheFiringOnAWorkerOfTheGroup) {
  WorkerGroup group;
  ASSERT_TRUE(ShotWorker(road_.services()).start(firing(), group));
  ASSERT_TRUE(group.closeAndWait(std::chrono::seconds(10)));
  EXPECT_EQ(road_.delivered().size(), 1u);
  EXPECT_FALSE(ShotWorker(road_.services()).start(firing(), group));
  EXPECT_EQ(road_.captures(), 1);
}

}  // namespace
