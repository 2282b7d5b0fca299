#include "scheduler/shot_worker.h"

#include <gtest/gtest.h>

#include <climits>
#include <optional>

#include <chrono>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include "capture/output_name.h"
#include "platform/files.h"
#include "platform/worker_group.h"
#include "settings/app_settings.h"
#include "shots/shot_store.h"
#include "support/temp_folder.h"

namespace {

struct Upload {
  std::wstring server;
  std::wstring remoteName;
  std::wstring localPath;
};

// A capture that writes a small "image" into its own temporary folder, a clock that moves on
// at every reading, and an upload that records what it was given and deletes the file.
class FakeDelivery {
 public:
  ShotServices services() {
    return {[this](const EffectiveShot& shot, std::wstring& path, std::wstring&) {
              return capture(shot, path) ? CaptureResult::kCaptured : CaptureResult::kFailed;
            },
            [this](const EffectiveShot& shot, std::wstring remote, std::wstring local,
                   std::function<void(const UploadOutcome&)> done) {
              upload(shot, std::move(remote), std::move(local));
              done(UploadOutcome::uploaded(shot.ftp.server));
            },
            [this](std::wstring_view pattern) { return stamp(pattern); },
            [this](const FiringReport& report) {
              std::lock_guard guard(lock_);
              reports_.push_back(report);
            },
            nullptr, nullptr};
  }

  bool captureFails = false;
  std::function<void()> duringCapture;

  int captures() const {
    std::lock_guard guard(lock_);
    return captures_;
  }
  int stamps() const {
    std::lock_guard guard(lock_);
    return stamps_;
  }
  std::vector<Upload> uploads() const {
    std::lock_guard guard(lock_);
    return uploads_;
  }
  std::vector<FiringReport> reports() const {
    std::lock_guard guard(lock_);
    return reports_;
  }
  const std::wstring& tempPath() const { return temp_.path(); }

 private:
  bool capture(const EffectiveShot&, std::wstring& path) {
    if (duringCapture) duringCapture();
    std::lock_guard guard(lock_);
    ++captures_;
    if (captureFails) return false;
    path = temp_.file(L"vmp" + std::to_wstring(captures_) + L".tmp");
    writeBytes(path, "picture " + std::to_string(captures_));
    return true;
  }
  std::wstring stamp(std::wstring_view pattern) {
    std::lock_guard guard(lock_);
    return std::wstring(pattern) + L"@" + std::to_wstring(++stamps_);
  }
  void upload(const EffectiveShot& shot, std::wstring remote, std::wstring local) {
    platform::removeFile(local);
    std::lock_guard guard(lock_);
    uploads_.push_back({shot.ftp.server, std::move(remote), std::move(local)});
  }

  mutable std::mutex lock_;
  int captures_ = 0;
  int stamps_ = 0;
  std::vector<Upload> uploads_;
  std::vector<FiringReport> reports_;
  TempFolder temp_;
};

std::vector<std::wstring> filesIn(const std::wstring& folder) {
  std::vector<std::wstring> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().wstring());
  }
  return names;
}

class ShotWorkerTest : public ::testing::Test {
 protected:
  void SetUp() override { ShotStore::instance().reopen(); }
  void TearDown() override {
    ShotStore::release();
    AppSettings::release();
  }

  ShotPtr storedShot() {
    auto shot = std::make_shared<ShotDefinition>();
    shot->NAME = L"Desk";
    ShotStore::instance().add(shot);
    return shot;
  }
  Firing makeFiring(const ShotPtr& record) {
    Firing firing{record, {}};
    firing.shot.name = L"Desk";
    firing.shot.timestampPattern = L"T";
    firing.shot.format = 4;
    firing.shot.localFolder = local_.path();
    firing.shot.ftp = {L"ftp.example.com", L"me", L"", L"up"};
    return firing;
  }

  FakeDelivery fake_;
  TempFolder local_;
};

TEST_F(ShotWorkerTest, FiringCopiesLocallyRecordsTheFileAndHandsItToTheUpload) {
  const ShotPtr record = storedShot();
  ShotWorker(fake_.services()).fire(makeFiring(record));

  // One reading of the clock: the local copy and the remote name carry the same time text.
  EXPECT_EQ(fake_.stamps(), 1);
  EXPECT_EQ(filesIn(local_.path()), std::vector<std::wstring>{L"Desk-T@1.png"});
  EXPECT_EQ(readBytes(local_.file(L"Desk-T@1.png")), "picture 1");
  const std::vector<Upload> uploads = fake_.uploads();
  ASSERT_EQ(uploads.size(), 1u);
  EXPECT_EQ(uploads[0].server, L"ftp.example.com");
  EXPECT_EQ(uploads[0].remoteName, L"/up/Desk-T@1.png");
  EXPECT_EQ(ShotStore::instance().copy(record).capturedFile, uploads[0].localPath);
  EXPECT_TRUE(filesIn(fake_.tempPath()).empty());
}

TEST_F(ShotWorkerTest, EachFiringReadsTheClockAgain) {
  const ShotWorker worker(fake_.services());
  worker.fire(makeFiring(storedShot()));
  worker.fire(makeFiring(storedShot()));
  const std::vector<Upload> uploads = fake_.uploads();
  ASSERT_EQ(uploads.size(), 2u);
  EXPECT_EQ(uploads[0].remoteName, L"/up/Desk-T@1.png");
  EXPECT_EQ(uploads[1].remoteName, L"/up/Desk-T@2.png");
  EXPECT_NE(uploads[0].localPath, uploads[1].localPath);
}

TEST_F(ShotWorkerTest, FailedCaptureMakesNoCopyAndNoUpload) {
  const ShotPtr record = storedShot();
  fake_.captureFails = true;
  ShotWorker(fake_.services()).fire(makeFiring(record));
  EXPECT_EQ(fake_.captures(), 1);
  EXPECT_TRUE(filesIn(local_.path()).empty());
  EXPECT_TRUE(fake_.uploads().empty());
  EXPECT_TRUE(ShotStore::instance().copy(record).capturedFile.empty());
}

TEST_F(ShotWorkerTest, ShotDeletedDuringTheCaptureIsStillDelivered) {
  ShotPtr record = storedShot();
  const Firing firing = makeFiring(record);
  record.reset();
  fake_.duringCapture = [] { ShotStore::instance().remove(0); };

  ShotWorker(fake_.services()).fire(firing);

  EXPECT_TRUE(firing.record.expired());
  EXPECT_EQ(filesIn(local_.path()).size(), 1u);
  EXPECT_EQ(fake_.uploads().size(), 1u);
}

TEST_F(ShotWorkerTest, ShotEditedDuringTheCaptureKeepsTheValuesItFiredWith) {
  const ShotPtr record = storedShot();
  fake_.duringCapture = [&] {
    ShotStore::instance().update(record, [](ShotDefinition& shot) { shot.NAME = L"Renamed"; });
  };
  ShotWorker(fake_.services()).fire(makeFiring(record));
  EXPECT_EQ(filesIn(local_.path()), std::vector<std::wstring>{L"Desk-T@1.png"});
  EXPECT_FALSE(ShotStore::instance().copy(record).capturedFile.empty());
}

TEST_F(ShotWorkerTest, FailedLocalCopyStillUploads) {
  Firing firing = makeFiring(storedShot());
  firing.shot.localFolder = local_.file(L"missing");
  ShotWorker(fake_.services()).fire(firing);
  EXPECT_EQ(fake_.uploads().size(), 1u);
}

TEST_F(ShotWorkerTest, WithoutAnUploadTheTemporaryFileIsDeleted) {
  ShotServices services = fake_.services();
  services.upload = nullptr;
  ShotWorker(services).fire(makeFiring(storedShot()));
  EXPECT_EQ(filesIn(local_.path()).size(), 1u);
  EXPECT_TRUE(filesIn(fake_.tempPath()).empty());
}

TEST_F(ShotWorkerTest, StartRunsTheFiringOnAWorkerOfTheGroup) {
  WorkerGroup group;
  ASSERT_TRUE(ShotWorker(fake_.services()).start(makeFiring(storedShot()), group));
  ASSERT_TRUE(group.closeAndWait(std::chrono::seconds(10)));
  EXPECT_EQ(fake_.uploads().size(), 1u);

  EXPECT_FALSE(ShotWorker(fake_.services()).start(makeFiring(storedShot()), group));
  EXPECT_EQ(fake_.captures(), 1);
}

}  // namespace

namespace {

// One report per firing, made once the upload has ended: the saved file, or why there is none.
TEST_F(ShotWorkerTest, EachFiringIsReportedOnceWithItsFileOrTheReason) {
  ShotWorker worker(fake_.services());
  worker.fire(makeFiring(storedShot()));
  fake_.captureFails = true;
  worker.fire(makeFiring(storedShot()));
  const std::vector<FiringReport> reports = fake_.reports();
  ASSERT_EQ(reports.size(), 2u);
  EXPECT_EQ(reports[0].localFile, local_.file(L"Desk-T@1.png"));
  EXPECT_EQ(reports[0].upload.detail, L"ftp.example.com");
  EXPECT_EQ(reports[1].whyNoFile.rfind(L"not captured: ", 0), 0u);
}

// Below the floor of free space nothing is saved or sent, and the reason says so; with the
// floor lowered again the next firing saves.
TEST_F(ShotWorkerTest, ANearlyFullDiskGetsNothingUntilThereIsRoom) {
  Firing firing = makeFiring(storedShot());
  firing.shot.minFreeMb = INT32_MAX;  // more than any test machine has free
  std::optional<FiringReport> report;
  ShotServices services = fake_.services();
  services.report = [&](const FiringReport& told) { report = told; };
  ShotWorker(services).fire(firing);
  ASSERT_TRUE(report);
  EXPECT_EQ(report->whyNoFile.rfind(L"disk nearly full: " + local_.path() + L" has ", 0), 0u);
  EXPECT_TRUE(report->failed());
  EXPECT_TRUE(filesIn(local_.path()).empty());
  EXPECT_TRUE(fake_.uploads().empty());
  EXPECT_TRUE(filesIn(fake_.tempPath()).empty());

  firing.shot.minFreeMb = 1;
  ShotWorker(services).fire(firing);
  EXPECT_EQ(filesIn(local_.path()).size(), 1u);
}

}  // namespace
