#pragma once
// The Test button of the Ftp Settings dialogs: connects with an account as the dialog holds it
// now, signs in, writes a tiny file into its folder and removes it, off the UI thread.
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "shots/shot_settings.h"

struct AccountCheckResult {
  bool written = false;  // the folder can be written
  // In plain words for the dialog: "Connected to HOST as USER; the folder up/ can be written."
  // or the server's own refusal. Never holds the password.
  std::wstring text;
};

class AccountCheck {
 public:
  using Done = std::function<void(const AccountCheckResult&)>;

  // SFTP host keys are checked against, and first met ones added to, this known_hosts file.
  explicit AccountCheck(std::wstring knownHostsPath);
  // Cancels a check in flight and waits for its thread.
  ~AccountCheck();
  AccountCheck(const AccountCheck&) = delete;
  AccountCheck& operator=(const AccountCheck&) = delete;

  // Starts one check of `account` (its password in the stored cipher form) on a thread of its
  // own and returns at once; `done` is called once, on that thread, when it ends: a window
  // hears of it by a posted message. A check already running is cancelled first.
  void start(FtpAccount account, Done done);
  // Ends a check in flight at once; its `done` says it was cancelled. Saves nothing.
  void cancel();

 private:
  struct Run;
  std::wstring knownHostsPath_;
  std::shared_ptr<Run> run_;
  std::thread thread_;
};
