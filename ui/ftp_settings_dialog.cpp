#include "ui/ftp_settings_dialog.h"

#include <cwchar>

#include "delivery/server_address.h"
#include "settings/password_cipher.h"
#include "ui/base_dialog.h"
#include "ui/dialog_ids.h"

namespace {

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

class FtpSettingsDialog final : public BaseDialog {
 public:
  explicit FtpSettingsDialog(FtpLogin& login) : login_(login) {}

  bool run(HWND owner) { return runModal(owner, IDD_FTP_SETTINGS); }

 private:
  void onInitDialog() override {
    setItemText(IDC_FTP_SERVER, login_.server);
    setItemText(IDC_FTP_USER, login_.user);
    std::wstring password = login_.passwordCipherText;
    // A stored text that is no cipher text (a hand-edited file) is shown as no password.
    if (!PasswordCipher::instance().decrypt(password, password.size())) password.clear();
    shownPassword_ = password;
    setItemText(IDC_FTP_PASSWORD, password);
  }

  bool onSave() override {
    const std::wstring server = itemText(IDC_FTP_SERVER);
    // An empty field means no server; a typed one must be an address we can reach. One left
    // as it was stays, whatever it holds.
    if (server != login_.server && !server.empty() && !parseServerAddress(server))
      return refuse(IDC_FTP_SERVER, notAnAddressText(server));
    const std::wstring password = itemText(IDC_FTP_PASSWORD);
    std::wstring stored = login_.passwordCipherText;
    // An untouched password keeps its stored form exactly: one that did not decrypt would not
    // come back the same from the field. (The field is read whole, so a long one compares too.)
    if (password != shownPassword_) {
      stored = password;
      if (!PasswordCipher::instance().encrypt(stored, stored.size()))
        return refuse(IDC_FTP_PASSWORD, unstorablePasswordText(unstorableCharacter(password)));
    }
    login_ = {server, itemText(IDC_FTP_USER), std::move(stored)};
    return true;
  }

  FtpLogin& login_;
  // What the password field showed on opening, to tell whether the user changed it.
  std::wstring shownPassword_;
};

}  // namespace

bool runFtpSettingsDialog(HWND owner, FtpLogin& login) {
  return editCopy(login,
                  [owner](FtpLogin& edited) { return FtpSettingsDialog(edited).run(owner); });
}
