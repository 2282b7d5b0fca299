// Uploads that wait are sent again with what the shot names now, only while their picture can
// be; each server after its wait.
#include "delivery/retry_sender.h"

#include <gtest/gtest.h>

#include <map>

#include "platform/worker_group.h"
#include "support/delivery_fakes.h"

namespace {

constexpr wchar_t kDesk[] = L"{DESK}";

class RetrySenderTest : public LedgerTest {
 protected:
  RetrySenderTest() {
    shots_[kDesk] = shot(L"ftp.example.com", L"new-password");
    ledger_ = openLedger();
    sender_ = std::make_unique<RetrySender>(
        *ledger_, server_, files_, clock_, workers_,
        [this](const std::wstring& guid, EffectiveShot& found) {
          const auto known = shots_.find(guid);
          if (known == shots_.end()) return RetrySender::Lookup::kDeleted;
          found = known->second;
          return RetrySender::Lookup::kFound;
        },
        [this](const FiringReport& report) { reports_.push_back(report); });
  }
  ~RetrySenderTest() override { workers_.closeAndWait(std::chrono::seconds(10)); }

  static EffectiveShot shot(const std::wstring& server, const std::wstring& password) {
    EffectiveShot desk;
    desk.name = L"Desk";
    desk.guid = kDesk;
    desk.ftp = {server, L"me", password, L"up"};
    return desk;
  }
  void waitFor(const std::wstring& name) {
    ledger_->failed(save(*ledger_, kDesk, name, true), L"421", 0);
  }
  void sendDue() {
    sender_->sendDue();
    ASSERT_TRUE(workers_.waitIdle(std::chrono::seconds(10)));
  }

  std::map<std::wstring, EffectiveShot> shots_;
  TestServer server_;
  WorkerGroup workers_;
  std::unique_ptr<PictureLedger> ledger_;
  std::unique_ptr<RetrySender> sender_;
  std::vector<FiringReport> reports_;
};

// The account the upload failed with is never used again: the shot's current one is. A shot
// that lost its server, or was deleted, drops its waiting uploads with one line.
TEST_F(RetrySenderTest, WaitingUploadsGoWithTheShotsAccountAsItIsNow) {
  waitFor(L"1.png");
  waitFor(L"2.png");
  sendDue();
  const std::vector<Sent> sent = server_.sent();
  ASSERT_EQ(sent.size(), 2u) << "once one got through the other went at once";
  EXPECT_EQ(sent[0].account.passwordCipherText, L"new-password");
  EXPECT_EQ(sent[0].remoteName, L"/up/1.png");
  EXPECT_EQ(sent[0].bytes, "picture 1.png");
  EXPECT_EQ(ledger_->waitingCount(), 0u);

  waitFor(L"3.png");
  waitFor(L"4.png");
  shots_[kDesk].ftp.server.clear();
  sendDue();
  shots_.erase(kDesk);
  waitFor(L"5.png");
  sendDue();
  EXPECT_EQ(server_.sent().size(), 2u);
  ASSERT_EQ(reports_.size(), 4u);
  EXPECT_EQ(reports_[2].whyNoFile, L"dropped 2 waiting uploads: the shot has no server any more");
  EXPECT_EQ(reports_[3].whyNoFile, L"dropped 1 waiting upload: the shot was deleted");
  EXPECT_EQ(ledger_->waitingCount(), 0u);
}

// A picture on a drive that is not there for a moment waits for it; one gone from a folder
// that can be read is dropped.
TEST_F(RetrySenderTest, OnlyAPictureGoneFromAReadableFolderIsDropped) {
  waitFor(L"1.png");
  files_.unreachable.insert(pictures_.path());
  sendDue();
  EXPECT_TRUE(server_.sent().empty());
  EXPECT_EQ(ledger_->waitingCount(), 1u);
  files_.unreachable.clear();
  clock_.pass(RetrySender::kUnreachableWaitSeconds);
  sendDue();
  EXPECT_EQ(server_.sent().size(), 1u);

  waitFor(L"2.png");
  platform::removeFile(pictures_.file(L"2.png"));
  sendDue();
  EXPECT_EQ(server_.sent().size(), 1u);
  EXPECT_EQ(reports_.back().whyNoFile,
            L"not sent again: " + pictures_.file(L"2.png") + L" is gone");
  EXPECT_EQ(ledger_->waitingCount(), 0u);
}

// One server at a time: 30 s, doubling to 15 min, on the steady clock; a refusal waits the
// longest; a first failure does not lengthen a wait.
TEST_F(RetrySenderTest, EachServerWaitsLongerAfterEachFailedTry) {
  server_.down = true;
  waitFor(L"1.png");
  EXPECT_EQ(sender_->failedFirst(shots_[kDesk].ftp, RetryPace::kSoon), 30);
  EXPECT_EQ(sender_->failedFirst(shots_[kDesk].ftp, RetryPace::kSoon), 30);
  size_t tries = 0;
  for (int64_t wait : {30, 60, 120, 240, 480, 900, 900}) {
    clock_.pass(wait - 1);
    sendDue();
    EXPECT_EQ(server_.sent().size(), tries) << "before a wait of " << wait;
    clock_.pass(1);
    sendDue();
    EXPECT_EQ(server_.sent().size(), ++tries) << "after a wait of " << wait;
  }
  clock_.utc += 30 * platform::kSecondsPerDay;  // a wrong clock: the steady one decides waits
  sendDue();
  EXPECT_EQ(server_.sent().size(), tries);
  EXPECT_EQ(sender_->failedFirst(shots_[kDesk].ftp, RetryPace::kSlow), 900);
}

}  // namespace
