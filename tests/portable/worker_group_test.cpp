#include "platform/worker_group.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

// A door that workers wait at until the test opens it.
class Gate {
 public:
  void wait() {
    std::unique_lock guard(lock_);
    opened_.wait(guard, [this] { return open_; });
  }
  void open() {
    std::lock_guard guard(lock_);
    open_ = true;
    opened_.notify_all();
  }

 private:
  std::mutex lock_;
  std::condition_variable opened_;
  bool open_ = false;
};

TEST(WorkerGroupTest, DrainWaitsForEveryWorker) {
  WorkerGroup group;
  std::atomic<int> done{0};
  for (int i = 0; i < 8; ++i) {
    ASSERT_TRUE(group.start([&] {
      std::this_thread::sleep_for(50ms);
      ++done;
    }));
  }
  EXPECT_TRUE(group.closeAndWait(10s));
  EXPECT_EQ(done, 8);
  EXPECT_EQ(group.running(), 0u);
}

TEST(WorkerGroupTest, DrainGivesUpAfterItsLimit) {
  WorkerGroup group;
  Gate gate;
  ASSERT_TRUE(group.start([&] { gate.wait(); }));

  const auto before = std::chrono::steady_clock::now();
  EXPECT_FALSE(group.closeAndWait(200ms));
  EXPECT_GE(std::chrono::steady_clock::now() - before, 200ms);
  EXPECT_EQ(group.running(), 1u);

  gate.open();
  EXPECT_TRUE(group.waitIdle(10s));
}

TEST(WorkerGroupTest, ClosedGroupRefusesUntilReopened) {
  WorkerGroup group;
  ASSERT_TRUE(group.closeAndWait(0ms));
  bool ran = false;
  EXPECT_FALSE(group.start([&] { ran = true; }));
  EXPECT_EQ(group.running(), 0u);

  group.reopen();
  EXPECT_TRUE(group.start([&] { ran = true; }));
  EXPECT_TRUE(group.waitIdle(10s));
  EXPECT_TRUE(ran);
}

TEST(WorkerGroupTest, WorkerStartedByAWorkerIsWaitedForToo) {
  WorkerGroup group;
  std::atomic<bool> innerDone{false};
  ASSERT_TRUE(group.start([&] {
    group.start([&] {
      std::this_thread::sleep_for(100ms);
      innerDone = true;
    });
  }));
  EXPECT_TRUE(group.waitIdle(10s));
  EXPECT_TRUE(innerDone);
}

TEST(WorkerGroupTest, WhatAWorkerHoldsIsGoneOnceTheGroupIsIdle) {
  WorkerGroup group;
  auto held = std::make_shared<int>(1);
  std::weak_ptr<int> watch = held;
  ASSERT_TRUE(group.start([held = std::move(held)] {}));
  ASSERT_TRUE(group.waitIdle(10s));
  EXPECT_TRUE(watch.expired());
}

TEST(WorkerGroupConcurrencyTest, StartsRacingWithCloseEitherRunOrAreRefused) {
  for (int round = 0; round < 20; ++round) {
    WorkerGroup group;
    std::atomic<int> accepted{0};
    std::atomic<int> ran{0};
    std::vector<std::thread> starters;
    for (int t = 0; t < 4; ++t) {
      starters.emplace_back([&] {
        for (int i = 0; i < 10; ++i) {
          if (group.start([&] { ++ran; })) ++accepted;
        }
      });
    }
    EXPECT_TRUE(group.closeAndWait(10s));
    for (std::thread& starter : starters) starter.join();
    EXPECT_EQ(group.running(), 0u);
    EXPECT_EQ(ran, accepted);
    EXPECT_FALSE(group.start([] {}));
  }
}

}  // namespace
