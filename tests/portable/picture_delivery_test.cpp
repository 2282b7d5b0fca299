// The road of a captured picture: its local copy written whole or not at all, its record, the
// upload, and what waits when it failed.
#include "delivery/picture_delivery.h"

#include <gtest/gtest.h>

#include <climits>
#include <thread>

#include "support/delivery_fakes.h"

namespace {

class PictureDeliveryTest : public LedgerTest {
 protected:
  PictureDeliveryTest() : ledger_(openLedger()) {
    shot_.name = L"Desk";
    shot_.guid = L"{DESK}";
    shot_.timestampPattern = L"T";
    shot_.format = 4;
    shot_.localFolder = pictures_.path();
    shot_.ftp = {L"ftp.example.com", L"me", L"", L"up"};
  }

  PictureDelivery delivery(PictureLedger* ledger) {
    return PictureDelivery(
        {ledger, &server_, &files_, &clock_, nullptr, [this](std::wstring_view pattern) {
           ++stamps_;
           if (pattern.empty()) return std::wstring();
           return std::wstring(pattern) + L"@" + std::to_wstring(stamps_);
         }});
  }
  FiringReport deliver(const std::string& bytes = "new picture") {
    const std::wstring temporary =
        captures_.file(L"vmp" + std::to_wstring(++captures_count_) + L".tmp");
    writeBytes(temporary, bytes);
    return delivery(ledger_.get()).deliver(shot_, platform::TemporaryFile(temporary), {});
  }

  std::unique_ptr<PictureLedger> ledger_;
  TestServer server_;
  EffectiveShot shot_;
  TempFolder captures_;
  int stamps_ = 0;
  int captures_count_ = 0;
};

// One reading of the clock gives the local copy and the remote file the same name; the
// temporary file is gone whatever became of the picture.
TEST_F(PictureDeliveryTest, SavesRecordsAndSendsUnderOneName) {
  const FiringReport report = deliver();
  EXPECT_EQ(stamps_, 1);
  EXPECT_EQ(report.localFile, pictures_.file(L"Desk-T@1.png"));
  EXPECT_EQ(readBytes(report.localFile), "new picture");
  ASSERT_EQ(server_.sent().size(), 1u);
  EXPECT_EQ(server_.sent()[0].remoteName, L"/up/Desk-T@1.png");
  EXPECT_EQ(ledger_->pictureCount(shot_.guid), 1u);
  shot_.localFolder = pictures_.file(L"missing");
  server_.down = true;
  const FiringReport failed = deliver();
  EXPECT_EQ(failed.whyNoFile, L"not saved: could not write " + shot_.localFolder +
                                  platform::kPathSeparator + L"Desk-T@2.png");
  EXPECT_EQ(server_.sent().size(), 2u) << "a failed local copy still uploads";
  EXPECT_FALSE(failed.keptToRetry) << "without a local copy nothing can be sent again";
  EXPECT_FALSE(platform::filesEndingWith(captures_.path(), L".tmp").size());
}

// A copy that fails midway leaves no half picture under the final name, and the older picture
// of that name whole.
TEST_F(PictureDeliveryTest, AFailedCopyLeavesTheOlderPictureWhole) {
  shot_.timestampPattern.clear();
  deliver("older picture");
  files_.failCopies = true;
  EXPECT_FALSE(deliver().whyNoFile.empty());
  EXPECT_EQ(readBytes(pictures_.file(L"Desk.png")), "older picture");
  EXPECT_FALSE(platform::fileExists(pictures_.file(L"Desk.png") + kSavingSuffix));
  EXPECT_EQ(ledger_->pictureCount(shot_.guid), 1u);
}

// Below the floor of free space the picture is not saved, and the upload still goes.
TEST_F(PictureDeliveryTest, BelowTheFreeSpaceFloorTheUploadStillGoes) {
  shot_.minFreeMb = INT32_MAX;  // more than any test machine has free
  const FiringReport report = deliver();
  EXPECT_EQ(report.whyNoFile.rfind(L"not saved: disk nearly full: " + pictures_.path(), 0), 0u);
  EXPECT_TRUE(report.upload);
  EXPECT_TRUE(platform::filesEndingWith(pictures_.path(), L".png").empty());
}

// A fixed file name while the server is down: one picture, one waiting upload, whatever the
// number of captures.
TEST_F(PictureDeliveryTest, AFixedNameWaitsOnceHoweverOftenItIsSaved) {
  shot_.timestampPattern.clear();
  server_.down = true;
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(deliver().keptToRetry);
  EXPECT_EQ(ledger_->waitingCount(), 1u);
  EXPECT_EQ(deliver().waitingUploads, 1u);
}

// Keep 1 while an upload hangs: the picture being sent is not deleted by the next save's trim.
TEST_F(PictureDeliveryTest, APictureIsNotDeletedWhileItIsBeingSent) {
  shot_.keepCount = 1;
  server_.hold = true;
  std::thread first([this] { deliver(); });
  server_.holdUntil(1);
  save(*ledger_, shot_.guid, L"Desk-later.png");
  EXPECT_EQ(ledger_->trim(shot_.guid, 0, 1), 0u);
  server_.release();
  first.join();
  EXPECT_TRUE(there(L"Desk-T@1.png"));
  EXPECT_EQ(ledger_->trim(shot_.guid, 0, 1), 1u);
}

}  // namespace
