#include "ui/ftp_settings_dialog.h"

#include <cwchar>
#include <memory>
#include <mutex>
#include <optional>
#include <utility>

#include "delivery/account_check_win.h"
#include "delivery/server_address.h"
#include "settings/password_cipher.h"
#include "ui/base_dialog.h"
#include "ui/dialog_ids.h"
#include "ui/window_mailbox.h"

namespace {

// A check's answer waits in the dialog's mailbox.
constexpr UINT kCheckAnswered = WM_APP + 1;

// The first character the cipher cannot keep; 0 when there is none.
wchar_t unstorableCharacter(const std::wstring& password) {
  for (wchar_t c : password) {
    if (c == L'\0' || static_cast<unsigned long>(c) > 0xFF) return c;
  }
  return L'\0';
}

std::wstring notAnAddressText(const std::wstring& server) {
  return L"\"" + server +
         L"\" is not a server address Vemlix can use.\n\nType a host name, such as "
         L"ftp.example.com, or put ftp://, ftpes://, ftps:// or sftp:// in front of it. A port "
         L"from 1 to 65535 may follow a colon, as in sftp://example.com:2222.\n\nObject storage "
         L"is s3://host/bucket (s3+http:// for plain HTTP), a WebDAV share "
         L"https://host/path (or http://).";
}

std::wstring unstorablePasswordText(wchar_t character) {
  wchar_t code[16] = {};
  std::swprintf(code, 16, L"U+%04X", static_cast<unsigned>(character));
  const std::wstring shown = character == L'\0' ? std::wstring() : std::wstring(1, character);
  return L"This password cannot be stored: it holds the character \"" + shown + L"\" (" + code +
         L").\n\nVemlix can keep passwords made of Western European characters only (U+0001 "
         L"to U+00FF). Please type the password without that character.";
}

// Where a check's answer waits for the dialog. The check's thread leaves it here and posts a
// note only while the dialog lives, since a destroyed window's handle may come to name another
// window; and only for the latest check, since a cancelled one may answer after the next began.
class CheckMailbox {
 public:
  void open(HWND dialog) {
    std::lock_guard guard(lock_);
    dialog_ = dialog;
  }
  void close() {
    std::lock_guard guard(lock_);
    dialog_ = nullptr;
  }
  // On the dialog's thread: the number of the check that begins.
  unsigned begin() {
    std::lock_guard guard(lock_);
    answers_.clear();
    return ++latest_;
  }
  // On the check's thread: only the latest check's answer, and only while the dialog is open.
  void deliver(unsigned check, const AccountCheckResult& result) {
    std::lock_guard guard(lock_);
    if (dialog_ && check == latest_) answers_.post(result, dialog_, kCheckAnswered);
  }
  std::optional<AccountCheckResult> take() { return answers_.take(); }

 private:
  std::mutex lock_;  // guards dialog_ and latest_, and keeps a post from racing close()
  HWND dialog_ = nullptr;
  unsigned latest_ = 0;
  WindowMailbox<AccountCheckResult> answers_;
};

class FtpSettingsDialog final : public BaseDialog {
 public:
  FtpSettingsDialog(FtpLogin& login, const AccountTestSetup& test)
      : login_(login), folder_(test.folder), check_(test.knownHostsPath) {}

  bool run(HWND owner) { return runModal(owner, IDD_FTP_SETTINGS); }

 private:
  INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    switch (message) {
      case kCheckAnswered:
        if (std::optional<AccountCheckResult> answer = mailbox_->take()) showAnswer(*answer);
        return TRUE;
      case WM_DESTROY:
        // OK, Cancel, or the program ending: a test still running ends with the dialog.
        mailbox_->close();
        check_.cancel();
        break;
    }
    return BaseDialog::handleMessage(message, wParam, lParam);
  }

  void onInitDialog() override {
    mailbox_->open(dialog_);
    setItemText(IDC_FTP_SERVER, login_.server);
    setItemText(IDC_FTP_USER, login_.user);
    std::wstring password = login_.passwordCipherText;
    // A stored text that is no cipher text (a hand-edited file) is shown as no password.
    if (!PasswordCipher::instance().decrypt(password, password.size())) password.clear();
    shownPassword_ = password;
    setItemText(IDC_FTP_PASSWORD, password);
  }

  INT_PTR onCommand(int id) override {
    if (id != IDC_FTP_TEST) return FALSE;
    // A cancelled check still answers, saying so, and that answer ends the waiting.
    if (testing_)
      check_.cancel();
    else
      startTest();
    return TRUE;
  }

  // What the fields hold now, as OK would store it, but kept nowhere.
  void startTest() {
    FtpAccount account{itemText(IDC_FTP_SERVER), itemText(IDC_FTP_USER), {}, folder_};
    if (!typedPassword(account.passwordCipherText)) return;
    const unsigned check = mailbox_->begin();
    showTesting(true);
    check_.start(std::move(account), [mailbox = mailbox_, check](const AccountCheckResult& result) {
      mailbox->deliver(check, result);
    });
  }

  void showTesting(bool testing) {
    testing_ = testing;
    setItemText(IDC_FTP_TEST, testing ? L"Cancel test" : L"Test");
    if (testing) setItemText(IDC_FTP_TEST_RESULT, L"Testing...");
  }

  void showAnswer(const AccountCheckResult& answer) {
    showTesting(false);
    setItemText(IDC_FTP_TEST_RESULT, answer.text);
  }

  // The password field in its stored form; false, after saying why, when the cipher cannot
  // keep it. An untouched password keeps its stored form exactly: one that did not decrypt
  // would not come back the same from the field. (The field is read whole, so a long one
  // compares too.)
  bool typedPassword(std::wstring& stored) const {
    const std::wstring password = itemText(IDC_FTP_PASSWORD);
    if (password == shownPassword_) {
      stored = login_.passwordCipherText;
      return true;
    }
    stored = password;
    if (PasswordCipher::instance().encrypt(stored, stored.size())) return true;
    return refuse(IDC_FTP_PASSWORD, unstorablePasswordText(unstorableCharacter(password)));
  }

  bool onSave() override {
    const std::wstring server = itemText(IDC_FTP_SERVER);
    // An empty field means no server; a typed one must be an address we can reach. One left
    // as it was stays, whatever it holds.
    if (server != login_.server && !server.empty() && !parseServerAddress(server))
      return refuse(IDC_FTP_SERVER, notAnAddressText(server));
    std::wstring stored;
    if (!typedPassword(stored)) return false;
    login_ = {server, itemText(IDC_FTP_USER), std::move(stored)};
    return true;
  }

  FtpLogin& login_;
  const std::wstring folder_;
  // What the password field showed on opening, to tell whether the user changed it.
  std::wstring shownPassword_;
  const std::shared_ptr<CheckMailbox> mailbox_ = std::make_shared<CheckMailbox>();
  bool testing_ = false;
  // Last, so that it is the first to go: a check still running is cancelled, and its answer
  // finds the mailbox closed.
  AccountCheck check_;
};

}  // namespace

bool runFtpSettingsDialog(HWND owner, FtpLogin& login, const AccountTestSetup& test) {
  return editCopy(login, [owner, &test](FtpLogin& edited) {
    return FtpSettingsDialog(edited, test).run(owner);
  });
}
