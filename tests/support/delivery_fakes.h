#pragma once
// Stand-ins for what a picture's delivery meets outside: a clock the test sets, a file system
// whose folders can be made unreachable and whose copies can fail, and a server that records
// what it was sent and answers as told. The ledger itself is always the real one, on disk.
#include <gtest/gtest.h>

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "delivery/delivery_clock.h"
#include "delivery/destination.h"
#include "delivery/picture_files.h"
#include "delivery/picture_ledger.h"
#include "platform/files.h"
#include "platform/text_codec.h"
#include "support/temp_folder.h"

class TestClock : public DeliveryClock {
 public:
  int64_t utcSeconds() const override { return utc; }
  int64_t steadyMilliseconds() const override { return steadyMs; }
  // Time passing for both clocks alike.
  void pass(int64_t seconds) {
    utc += seconds;
    steadyMs += seconds * 1000;
  }

  int64_t utc = 1765000000;  // 6 December 2025
  int64_t steadyMs = 5000;
};

class TestFiles : public SystemPictureFiles {
 public:
  bool folderExists(const std::wstring& folder) const override {
    return !unreachable.count(folder) && SystemPictureFiles::folderExists(folder);
  }
  bool exists(const std::wstring& path) const override {
    return !unreachable.count(platform::folderOf(path)) && SystemPictureFiles::exists(path);
  }
  bool copy(const std::wstring& from, const std::wstring& to) override {
    if (failCopies) {
      writeBytes(to, "half a pict");  // a disk that filled up midway
      return false;
    }
    return SystemPictureFiles::copy(from, to);
  }

  std::set<std::wstring> unreachable;  // folders on a drive that is not there now
  bool failCopies = false;
};

struct Sent {
  FtpAccount account;
  std::wstring remoteName;
  std::string bytes;
};

class TestServer : public Destination {
 public:
  UploadOutcome send(const FtpAccount& account, const std::wstring& remoteName,
                     const std::wstring& localFile) override {
    std::unique_lock guard(lock_);
    sent_.push_back({account, remoteName, readBytes(localFile)});
    ++inFlight_;
    changed_.notify_all();
    changed_.wait(guard, [this] { return !hold; });
    --inFlight_;
    changed_.notify_all();
    if (!answers.empty()) {
      const UploadOutcome answer = answers.front();
      answers.pop_front();
      return answer;
    }
    return down ? UploadOutcome::failed(L"421 Service not available.")
                : UploadOutcome::uploaded(account.server);
  }
  // Nothing here waits on a network; a held send waits for the test alone.
  void cancelAll() override {}

  std::vector<Sent> sent() {
    std::lock_guard guard(lock_);
    return sent_;
  }
  // Holds every send until release(); waits until `count` are held.
  void holdUntil(size_t count) {
    std::unique_lock guard(lock_);
    changed_.wait(guard, [&] { return inFlight_ >= count; });
  }
  void release() {
    std::lock_guard guard(lock_);
    hold = false;
    changed_.notify_all();
  }

  bool down = false;
  bool hold = false;
  std::deque<UploadOutcome> answers;  // before `down` decides

 private:
  std::mutex lock_;
  std::condition_variable changed_;
  std::vector<Sent> sent_;
  size_t inFlight_ = 0;
};

// A ledger in a fresh folder, and a folder for pictures, with the stand-ins above.
class LedgerTest : public ::testing::Test {
 protected:
  std::unique_ptr<PictureLedger> openLedger() {
    std::wstring failure;
    auto ledger = PictureLedger::open(data_.file(L"Vemlix.db"), files_, clock_, failure);
    EXPECT_TRUE(ledger) << encodeUtf8(failure, false);
    return ledger;
  }

  // A picture saved for the shot as it is after a capture: its file, then its record.
  DeliveryTicket save(PictureLedger& ledger, const std::wstring& guid, const std::wstring& name,
                      bool withServer = false) {
    const std::wstring path = pictures_.file(name);
    const PictureSlot slot = ledger.reserve(guid, L"Desk", path);
    writeBytes(path, "picture " + encodeUtf8(name, false));
    clock_.pass(1);
    std::optional<std::wstring> remote;
    if (withServer) remote = name;
    return ledger.saved(slot, {clock_.utc, {}, 10}, remote);
  }

  bool there(const std::wstring& name) const { return platform::fileExists(pictures_.file(name)); }

  TempFolder data_;
  TempFolder pictures_;
  TestClock clock_;
  TestFiles files_;
};
