#include "delivery/outbox.h"

#include <gtest/gtest.h>

#include "delivery/server_address.h"
#include "platform/files.h"
#include "support/temp_folder.h"

namespace {

TEST(ServerAddressTest, SchemesPortsAndBareHostsAreReadAsClientsWriteThem) {
  using P = TransferProtocol;
  EXPECT_EQ(parseServerAddress(L"ftp.example.com"),
            (ServerAddress{P::kFtp, L"ftp.example.com", 21}));
  EXPECT_EQ(parseServerAddress(L"ftpes://h"), (ServerAddress{P::kFtpes, L"h", 21}));
  EXPECT_EQ(parseServerAddress(L" FTPS://h:2990/ "), (ServerAddress{P::kFtps, L"h", 2990}));
  EXPECT_EQ(parseServerAddress(L"ftps://h"), (ServerAddress{P::kFtps, L"h", 990}));
  EXPECT_EQ(parseServerAddress(L"sftp://[::1]:2222"), (ServerAddress{P::kSftp, L"[::1]", 2222}));
  EXPECT_EQ(parseServerAddress(L"sftp://[::1]"), (ServerAddress{P::kSftp, L"[::1]", 22}));
  for (const wchar_t* wrong : {L"", L"gopher://h", L"sftp://", L"h:0", L"h:65536", L"h:x", L"[::1"})
    EXPECT_FALSE(parseServerAddress(wrong)) << wrong;
}

OutboxEntry entry(const std::wstring& server, const std::wstring& name, int64_t queuedAt) {
  OutboxEntry waiting;
  waiting.localPath = L"C:\\Pictures\\" + name;
  waiting.account = {server, L"vemlix", L"A1B2C3", L"/shots"};
  waiting.remoteName = name;
  waiting.queuedAt = queuedAt;
  return waiting;
}

TEST(OutboxEntryTest, AFileGivesBackTheUploadAndNeverAValueOnALineOfItsOwn) {
  OutboxEntry waiting = entry(L"sftp://Host:2222", L"Desk-1.png", 1765000000);
  EXPECT_EQ(parseOutboxEntry(formatOutboxEntry(waiting)), waiting);
  waiting.account.server = L"ftp.example.com";
  EXPECT_EQ(parseOutboxEntry(formatOutboxEntry(waiting)), waiting);

  waiting.remoteName = L"a.png\r\nLOCAL_FILE=C:\\Windows\\x";
  const auto read = parseOutboxEntry(formatOutboxEntry(waiting));
  ASSERT_TRUE(read);
  EXPECT_EQ(read->remoteName, L"a.png");
  EXPECT_EQ(read->localPath, L"C:\\Pictures\\Desk-1.png");
  EXPECT_FALSE(parseOutboxEntry("LOCAL_FILE=a\r\nSERVER=h\r\n"));  // no remote name
  EXPECT_FALSE(parseOutboxEntry("\xEF\xBB\xBFgarbage"));
}

TEST(RetryPaceTest, RefusalsWaitLongAndEverythingElseSoon) {
  EXPECT_EQ(retryPaceOf(L"530 Login incorrect."), RetryPace::kSlow);
  EXPECT_EQ(retryPaceOf(L"553 Could not create file."), RetryPace::kSlow);
  EXPECT_EQ(retryPaceOf(L"421 Too many connections"), RetryPace::kSoon);
  EXPECT_EQ(retryPaceOf(L"no answer from ftp.example.com"), RetryPace::kSoon);
  UploadOutcome certificate = UploadOutcome::failed(L"the certificate of example.com ...");
  EXPECT_EQ(retryPaceOf(certificate), RetryPace::kSoon);
  certificate.refused = true;
  EXPECT_EQ(retryPaceOf(certificate), RetryPace::kSlow);
}

class OutboxTest : public ::testing::Test {
 protected:
  TempFolder folder_;
};

// Per server, oldest first, one at a time: 30 s, then doubling to 15 min; a success makes the
// server's others due at once; a refusal waits the longest.
TEST_F(OutboxTest, RetriesWaitPerServerAndASuccessSendsTheRestAtOnce) {
  Outbox outbox(folder_.path());
  const int64_t t = 1765000000;
  ASSERT_TRUE(outbox.add(entry(L"a", L"1.png", t), RetryPace::kSoon, t));
  ASSERT_TRUE(outbox.add(entry(L"a", L"2.png", t + 1), RetryPace::kSoon, t + 1));
  ASSERT_TRUE(outbox.add(entry(L"B", L"3.png", t + 2), RetryPace::kSlow, t + 2));
  EXPECT_FALSE(outbox.nextDue(t + 29));

  auto first = outbox.nextDue(t + 30);
  ASSERT_TRUE(first);
  EXPECT_EQ(first->entry.remoteName, L"1.png");
  EXPECT_FALSE(outbox.nextDue(t + 30)) << "a second retry to a server while one is under way";
  EXPECT_FALSE(outbox.nextDue(t + 2 + 899));
  const auto refused = outbox.nextDue(t + 2 + 900);
  ASSERT_TRUE(refused);
  EXPECT_EQ(refused->entry.remoteName, L"3.png");
  int64_t now = t + 30;
  for (int64_t wait : {60, 120, 240, 480, 900, 900}) {
    outbox.failedAgain(*first, RetryPace::kSoon, now);
    EXPECT_FALSE(outbox.nextDue(now + wait - 1));
    first = outbox.nextDue(now += wait);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->entry.remoteName, L"1.png");
  }
  outbox.delivered(*first, now);
  auto second = outbox.nextDue(now);
  ASSERT_TRUE(second);
  EXPECT_EQ(second->entry.remoteName, L"2.png");
  outbox.delivered(*second, now);
  EXPECT_FALSE(outbox.nextDue(now)) << "the refused one is still under way";
  EXPECT_EQ(outbox.size(), 1u);
  EXPECT_EQ(platform::filesEndingWith(folder_.path(), L".upload").size(), 1u);
}

// What waits survives a restart, due at once; after seven days an upload is given up, and
// nothing else ever is.
TEST_F(OutboxTest, WaitingUploadsOutliveARestartForSevenDays) {
  const int64_t t = 1765000000;
  {
    Outbox outbox(folder_.path());
    outbox.add(entry(L"a", L"old.png", t), RetryPace::kSlow, t);
    outbox.add(entry(L"a", L"new.png", t + 3600), RetryPace::kSlow, t + 3600);
  }
  writeBytes(folder_.file(L"stray.upload"), "not an upload");
  Outbox restarted(folder_.path());
  restarted.load(t + Outbox::kLongestStay);
  EXPECT_TRUE(restarted.holds(L"C:\\Pictures\\old.png"));
  const auto due = restarted.nextDue(t + Outbox::kLongestStay);
  ASSERT_TRUE(due);
  restarted.failedAgain(*due, RetryPace::kSoon, t + Outbox::kLongestStay);
  EXPECT_TRUE(restarted.takeGivenUp(t + Outbox::kLongestStay).empty());
  const auto givenUp = restarted.takeGivenUp(t + Outbox::kLongestStay + 1);
  ASSERT_EQ(givenUp.size(), 1u);
  EXPECT_EQ(givenUp[0].remoteName, L"old.png");
  EXPECT_EQ(restarted.size(), 1u);
  EXPECT_TRUE(platform::fileExists(folder_.file(L"stray.upload")));
}

}  // namespace
