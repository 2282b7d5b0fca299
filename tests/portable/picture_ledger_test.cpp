// The ledger's rules, each against a real SQLite file: what retention may delete, how paths and
// clocks are judged, and what a crash leaves.
#include "delivery/picture_ledger.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "support/delivery_fakes.h"

#ifndef _WIN32
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

constexpr wchar_t kDesk[] = L"{DESK-A}";
constexpr wchar_t kOtherDesk[] = L"{DESK-B}";

// Keep 1 while the server is down: the pictures that wait are kept, from the moment each is
// saved, and go once delivered. Another shot of the same name keeps its own.
TEST_F(LedgerTest, RetentionDeletesOnlyTheShotsOwnSettledPictures) {
  auto ledger = openLedger();
  const DeliveryTicket sending = save(*ledger, kDesk, L"1.png", true);
  EXPECT_EQ(ledger->trim(kDesk, 0, 1), 0u) << "a picture still being sent";
  ledger->failed(sending, L"421 Service not available.", clock_.utc + 30);
  const DeliveryTicket second = save(*ledger, kDesk, L"2.png", true);
  ledger->failed(second, L"421", clock_.utc);
  save(*ledger, kOtherDesk, L"other-1.png");
  save(*ledger, kOtherDesk, L"other-2.png");
  save(*ledger, kDesk, L"3.png", true);
  EXPECT_EQ(ledger->trim(kDesk, 0, 1), 0u);
  EXPECT_EQ(ledger->waitingCount(), 2u);

  ledger.reset();
  ledger = openLedger();  // a restart: the clean-up of every shot at start
  EXPECT_EQ(ledger->trim(kDesk, 0, 1), 0u);
  EXPECT_EQ(ledger->waitingCount(), 3u) << "the send under way at the restart waits too";
  for (auto heads = ledger->oldestWaitingPerShot(); !heads.empty();
       heads = ledger->oldestWaitingPerShot())
    ledger->delivered(ledger->startRetry(heads[0].delivery));
  EXPECT_EQ(ledger->trim(kDesk, 0, 1), 2u);
  EXPECT_FALSE(there(L"1.png") || there(L"2.png"));
  EXPECT_TRUE(there(L"3.png") && there(L"other-1.png") && there(L"other-2.png"));
  EXPECT_EQ(ledger->pictureCount(L"{A-NEW-SHOT}"), 0u);

  // A folder out of reach keeps its pictures on record; one the user emptied is forgotten.
  save(*ledger, kDesk, L"4.png");
  files_.unreachable.insert(pictures_.path());
  EXPECT_EQ(ledger->trim(kDesk, 0, 1), 0u);
  EXPECT_EQ(ledger->pictureCount(kDesk), 2u);
  files_.unreachable.clear();
  platform::removeFile(pictures_.file(L"3.png"));
  EXPECT_EQ(ledger->trim(kDesk, 0, 1), 0u);
  EXPECT_EQ(ledger->pictureCount(kDesk), 1u);
}

// However the folder is spelled, a file is one picture: saved again, it is refreshed, and the
// picture just saved is never the one a limit of 1 deletes.
TEST_F(LedgerTest, EverySpellingOfAPathIsOnePicture) {
  auto ledger = openLedger();
  save(*ledger, kDesk, L"Desk.png");
  const std::wstring sep(1, platform::kPathSeparator);
  const std::wstring other = pictures_.path() + sep + sep + L"." + sep + L"Desk.png";
  ledger->saved(ledger->reserve(kDesk, L"Desk", other), {clock_.utc, {}, 10}, std::nullopt);
  EXPECT_EQ(ledger->pictureCount(kDesk), 1u);
  EXPECT_EQ(files_.comparable(pictures_.path() + sep + L"desk.PNG"),
            files_.comparable(pictures_.file(L"Desk.png")));
  EXPECT_EQ(ledger->trim(kDesk, 0, 1), 0u);
  EXPECT_TRUE(there(L"Desk.png"));
}

// A clock set a year ahead while the program runs deletes nothing by age, nor does one set back
// before the newest picture; after a restart the year is believed, but the newest picture stays.
TEST_F(LedgerTest, AWrongClockNeverDeletesPicturesWholesale) {
  auto ledger = openLedger();
  for (const wchar_t* name : {L"1.png", L"2.png", L"3.png"}) save(*ledger, kDesk, name);
  clock_.utc += 365 * platform::kSecondsPerDay;
  EXPECT_EQ(ledger->trim(kDesk, 1, 0), 0u);
  clock_.utc -= 366 * platform::kSecondsPerDay;
  EXPECT_EQ(ledger->trim(kDesk, 1, 0), 0u);

  clock_.utc += 366 * platform::kSecondsPerDay;
  ledger.reset();
  ledger = openLedger();
  EXPECT_EQ(ledger->trim(kDesk, 1, 0), 2u);
  EXPECT_TRUE(there(L"3.png"));
}

// A copy cut off by a crash leaves neither a half file nor a record; one renamed into place
// before the crash is kept; a send under way waits again.
TEST_F(LedgerTest, WhatACrashLeftIsTidiedAtTheNextStart) {
  auto ledger = openLedger();
  const std::wstring half = pictures_.file(L"half.png");
  ledger->reserve(kDesk, L"Desk", half);
  writeBytes(half + kSavingSuffix, "half a pict");
  ledger->reserve(kDesk, L"Desk", pictures_.file(L"whole.png"));
  writeBytes(pictures_.file(L"whole.png"), "whole");
  save(*ledger, kDesk, L"sent.png", true);
  ledger.reset();

  ledger = openLedger();
  EXPECT_FALSE(platform::fileExists(half + kSavingSuffix));
  EXPECT_EQ(ledger->pictureCount(kDesk), 2u);
  EXPECT_EQ(ledger->oldestWaitingPerShot().size(), 1u);
}

// A fixed file name saved again and again while the server is down waits once.
TEST_F(LedgerTest, AFileSavedAgainHasOneDeliveryPerServer) {
  auto ledger = openLedger();
  for (int i = 0; i < 5; ++i) ledger->failed(save(*ledger, kDesk, L"Desk.png", true), L"421", 0);
  EXPECT_EQ(ledger->waitingCount(), 1u);
  EXPECT_EQ(ledger->pictureCount(kDesk), 1u);
  clock_.pass(PictureLedger::kLongestStay + 1);
  EXPECT_EQ(ledger->giveUpBeyondLimits().size(), 1u);
  EXPECT_EQ(ledger->waitingCount(), 0u);
}

#ifndef _WIN32
// Killed at random moments while it saves, the ledger opens with every picture it had committed.
TEST_F(LedgerTest, KilledMidSaveItLosesNoCommittedPicture) {
  int committedSoFar = 0;
  for (int round = 0; round < 8; ++round) {
    int pipe[2];
    ASSERT_EQ(::pipe(pipe), 0);
    const pid_t child = ::fork();
    if (child == 0) {
      ::close(pipe[0]);
      auto ledger = openLedger();
      for (int i = 0;; ++i) {
        const std::wstring name = std::to_wstring(round) + L"-" + std::to_wstring(i) + L".png";
        if (!save(*ledger, kDesk, name, true)) ::_exit(1);
        if (::write(pipe[1], &i, sizeof i) != sizeof i) ::_exit(1);
      }
    }
    ::close(pipe[1]);
    ::usleep(20000 + 7000 * round);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    int next = 0;
    while (::read(pipe[0], &next, sizeof next) == sizeof next) ++committedSoFar;
    ::close(pipe[0]);
    auto ledger = openLedger();
    ASSERT_TRUE(ledger);
    EXPECT_GE(static_cast<int>(ledger->pictureCount(kDesk)), committedSoFar) << "round " << round;
  }
}
#endif

}  // namespace

namespace {

class LedgerConcurrencyTest : public LedgerTest {};

// Saves with their trims, retries and the tip's count, all at once on one ledger: afterwards
// exactly the newest pictures are left, each on disk and on record.
TEST_F(LedgerConcurrencyTest, SavesTrimsAndRetriesRaceSafely) {
  auto ledger = openLedger();
  std::atomic<bool> saving{true};
  std::vector<std::thread> savers;
  for (int t = 0; t < 2; ++t) {
    savers.emplace_back([&, t] {
      for (int i = 0; i < 40; ++i) {
        const std::wstring path = pictures_.file(std::to_wstring(t) + L"-" + std::to_wstring(i));
        const PictureSlot slot = ledger->reserve(L"{DESK}", L"Desk", path);
        writeBytes(path, "picture");
        const DeliveryTicket send = ledger->saved(slot, {1765000000 + i, {}, 7}, path);
        if (i % 3 == 0)
          ledger->failed(send, L"421", 0);
        else
          ledger->delivered(send);
        ledger->trim(L"{DESK}", 0, 5);
      }
    });
  }
  std::thread retrier([&] {
    while (saving) {
      for (const WaitingUpload& waiting : ledger->oldestWaitingPerShot())
        ledger->delivered(ledger->startRetry(waiting.delivery));
      ledger->waitingCount();
    }
  });
  for (std::thread& saver : savers) saver.join();
  saving = false;
  retrier.join();
  for (auto heads = ledger->oldestWaitingPerShot(); !heads.empty();
       heads = ledger->oldestWaitingPerShot())
    ledger->delivered(ledger->startRetry(heads[0].delivery));
  ledger->trim(L"{DESK}", 0, 5);
  EXPECT_EQ(ledger->pictureCount(L"{DESK}"), 5u);
  EXPECT_EQ(platform::filesEndingWith(pictures_.path(), L"").size(), 5u);
}

}  // namespace
