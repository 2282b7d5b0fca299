#include "delivery/upload_workers.h"

#include <gtest/gtest.h>

#include <thread>

#include "support/delivery_fakes.h"

namespace {

using namespace std::chrono_literals;

TEST(UploadWorkersTest, TheOutcomeIsHeardOnTheWorkerThreadAndAClosedGroupSendsNothing) {
  TempFolder folder;
  const std::wstring picture = folder.file(L"vmp1.tmp");
  writeBytes(picture, "picture");
  TestServer server;
  WorkerGroup group;
  UploadWorkers uploads(server, group);
  const UploadJob job{{L"ftp.example.com", L"u", L"", L""}, L"/shots/a.png", picture};

  UploadOutcome outcome;
  std::thread::id heardOn;
  const auto hear = [&](const UploadOutcome& ended) {
    outcome = ended;
    heardOn = std::this_thread::get_id();
  };
  uploads.upload(job, hear);
  ASSERT_TRUE(group.waitIdle(10s));
  EXPECT_TRUE(outcome);
  EXPECT_NE(heardOn, std::this_thread::get_id());
  ASSERT_EQ(server.sent().size(), 1u);
  EXPECT_EQ(server.sent()[0].remoteName, L"/shots/a.png");
  EXPECT_EQ(server.sent()[0].bytes, "picture");

  group.close();
  uploads.upload(job, hear);
  EXPECT_EQ(heardOn, std::this_thread::get_id());
  EXPECT_EQ(outcome.detail, L"not sent, Vemlix was closing");
  EXPECT_EQ(server.sent().size(), 1u);
  uploads.upload(job);  // nobody to tell: nothing happens at all
  EXPECT_EQ(server.sent().size(), 1u);
}

}  // namespace
