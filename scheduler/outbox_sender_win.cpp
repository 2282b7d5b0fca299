#include "scheduler/outbox_sender_win.h"

#include <windows.h>

#include <ctime>
#include <memory>
#include <mutex>
#include <utility>

#include "delivery/ftp_uploader_win.h"
#include "platform/files.h"
#include "scheduler/periodic_timer_win.h"

namespace outbox_sender {
namespace {

constexpr DWORD kFirstLookMs = 100;
constexpr DWORD kLookEveryMs = 1000;

// The open outbox; each try holds its own reference, so a try that ends after close() (or
// after the next open() in a test) still has the outbox it came from.
struct Open {
  std::shared_ptr<Outbox> outbox;
  std::function<void(const FiringReport&)> report;
};

std::mutex lock;
Open current;
std::unique_ptr<PeriodicTimer> timer;

Open opened() {
  std::lock_guard guard(lock);
  return current;
}

int64_t nowSeconds() {
  return static_cast<int64_t>(std::time(nullptr));
}

FiringReport reportOf(const OutboxEntry& entry, const Outbox& outbox) {
  FiringReport report;
  report.time = platform::localNow();
  report.shotName = entry.shotName;
  report.captured = true;
  report.localFile = entry.localPath;
  report.retried = true;
  report.waitingUploads = outbox.size();
  return report;
}

void tell(const Open& open, FiringReport report, std::wstring note) {
  if (!note.empty()) {
    report.captured = false;
    report.localFile.clear();
    report.whyNoFile = std::move(note);
  }
  if (open.report) open.report(report);
}

void sendDue();

// Still the outbox that is open, so a try that ends after close() starts no other.
bool stillOpen(const Open& open) {
  std::lock_guard guard(lock);
  return timer && current.outbox == open.outbox;
}

void sendAgain(const Open& open, const Outbox::Waiting& due) {
  UploadJob job{due.entry.account, due.entry.remoteName, due.entry.localPath, false};
  FtpUploader::instance().upload(std::move(job), [open, due](const UploadOutcome& outcome) {
    if (outcome)
      open.outbox->delivered(due, nowSeconds());
    else
      open.outbox->failedAgain(due, retryPaceOf(outcome), nowSeconds());
    FiringReport report = reportOf(due.entry, *open.outbox);
    report.upload = outcome;
    report.keptToRetry = !outcome;
    tell(open, std::move(report), {});
    // The server takes uploads again: what else waits for it goes now, not a look later.
    if (outcome && stillOpen(open)) sendDue();
  });
}

void sendDue() {
  const Open open = opened();
  if (!open.outbox) return;
  const int64_t now = nowSeconds();
  for (const OutboxEntry& entry : open.outbox->takeGivenUp(now)) {
    tell(open, reportOf(entry, *open.outbox),
         L"gave up sending " + entry.localPath + L" to " + entry.account.server +
             L": it waited too long, or too many were waiting");
  }
  while (const auto due = open.outbox->nextDue(now)) {
    if (!platform::fileExists(due->entry.localPath)) {
      open.outbox->drop(*due);
      tell(open, reportOf(due->entry, *open.outbox),
           L"not sent again: " + due->entry.localPath + L" is gone");
      continue;
    }
    sendAgain(open, *due);
  }
}

}  // namespace

void open(std::wstring folder, std::function<void(const FiringReport&)> report) {
  close();
  auto outbox = std::make_shared<Outbox>(std::move(folder));
  outbox->load(nowSeconds());
  std::lock_guard guard(lock);
  current = {std::move(outbox), std::move(report)};
  timer = std::make_unique<PeriodicTimer>(kFirstLookMs, kLookEveryMs, sendDue);
}

void close() {
  std::unique_ptr<PeriodicTimer> stopped;
  {
    std::lock_guard guard(lock);
    stopped = std::move(timer);
  }
  stopped.reset();  // waits for a look in progress, outside the lock it takes
}

bool keep(OutboxEntry entry, const UploadOutcome& failure) {
  const Open open = opened();
  if (!open.outbox) return false;
  const int64_t now = nowSeconds();
  entry.queuedAt = now;
  return open.outbox->add(entry, retryPaceOf(failure), now);
}

void reached(const FtpAccount& account) {
  if (const Open open = opened(); open.outbox) open.outbox->reached(account, nowSeconds());
}

size_t waiting() {
  const Open open = opened();
  return open.outbox ? open.outbox->size() : 0;
}

bool holds(const std::wstring& localPath) {
  const Open open = opened();
  return open.outbox && open.outbox->holds(localPath);
}

}  // namespace outbox_sender
