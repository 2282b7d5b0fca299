#include "platform/worker_group.h"

#include "platform/detached_thread.h"

WorkerGroup& WorkerGroup::workers() {
  // Never destroyed: a worker still ending at process exit must find its mutex intact.
  static WorkerGroup* group = new WorkerGroup;
  return *group;
}

bool WorkerGroup::start(std::function<void()> work) {
  {
    std::lock_guard<std::mutex> guard(lock_);
    if (closed_) return false;
    ++running_;
  }
  const bool started = platform::startDetachedThread([this, work = std::move(work)]() mutable {
    work();
    // What the work holds goes first: a drained group means nothing of it is left.
    work = nullptr;
    finished();
  });
  if (!started) finished();
  return started;
}

void WorkerGroup::finished() {
  std::lock_guard<std::mutex> guard(lock_);
  if (--running_ == 0) idle_.notify_all();
}

void WorkerGroup::close() {
  std::lock_guard<std::mutex> guard(lock_);
  closed_ = true;
}

bool WorkerGroup::closeAndWait(std::chrono::milliseconds limit) {
  close();
  return waitIdle(limit);
}

bool WorkerGroup::waitIdle(std::chrono::milliseconds limit) {
  std::unique_lock<std::mutex> guard(lock_);
  return idle_.wait_for(guard, limit, [this] { return running_ == 0; });
}

std::size_t WorkerGroup::running() const {
  std::lock_guard<std::mutex> guard(lock_);
  return running_;
}

void WorkerGroup::reopen() {
  std::lock_guard<std::mutex> guard(lock_);
  closed_ = false;
}
