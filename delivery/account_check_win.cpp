#include "delivery/account_check_win.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <utility>

// Until the transports can check an account, a check answers without connecting. It takes a
// few seconds, as one against a real server does, so that the dialog's waiting and its Cancel
// can be seen and tried.
struct AccountCheck::Run {
  std::mutex lock;
  std::condition_variable woken;
  bool cancelled = false;
};

namespace {

constexpr auto kStandInTime = std::chrono::seconds(5);

}  // namespace

AccountCheck::AccountCheck(std::wstring knownHostsPath)
    : knownHostsPath_(std::move(knownHostsPath)) {}

AccountCheck::~AccountCheck() {
  cancel();
}

void AccountCheck::start(FtpAccount account, Done done) {
  cancel();
  run_ = std::make_shared<Run>();
  thread_ = std::thread([run = run_, server = std::move(account.server), done = std::move(done)] {
    AccountCheckResult result;
    std::unique_lock hold(run->lock);
    if (server.empty()) {
      result.text = L"No server to test.";
    } else if (run->woken.wait_for(hold, kStandInTime, [&] { return run->cancelled; })) {
      result.text = L"Test cancelled.";
    } else {
      result.text = L"Cannot test yet.";
    }
    hold.unlock();
    done(result);
  });
}

void AccountCheck::cancel() {
  if (run_) {
    std::lock_guard guard(run_->lock);
    run_->cancelled = true;
    run_->woken.notify_all();
  }
  if (thread_.joinable()) thread_.join();
}
