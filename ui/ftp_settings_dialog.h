#pragma once
// The "Ftp Settings" dialog: server, user and password of one FTP account, a shot's own or the
// default one.
#include <windows.h>

#include <string>

struct FtpLogin {
  std::wstring server;
  std::wstring user;
  std::wstring passwordCipherText;  // the stored form; the dialog shows it decrypted
};

// Modal. True after OK, with the typed values in `login` and the password encrypted; false
// after Cancel, Escape or the close box, with `login` untouched. A password the cipher cannot
// keep is refused with a message while the dialog stays open.
bool runFtpSettingsDialog(HWND owner, FtpLogin& login);
