#pragma once
// The "Ftp Settings" dialog: server, user and password of one FTP account, a shot's own or the
// default one, and its Test button.
#include <windows.h>

#include <string>

struct FtpLogin {
  std::wstring server;
  std::wstring user;
  std::wstring passwordCipherText;  // the stored form; the dialog shows it decrypted
};

// What Test needs beside the login the dialog edits.
struct AccountTestSetup {
  // The folder on the server as the dialog that opened this one holds it now, typed or not.
  std::wstring folder;
  // SFTP host keys are checked against, and first met ones added to, this known_hosts file.
  std::wstring knownHostsPath;
};

// Modal. True after OK, with the typed values in `login` and the password encrypted; false
// after Cancel, Escape or the close box, with `login` untouched. A password the cipher cannot
// keep is refused with a message while the dialog stays open. Test checks the account as the
// fields hold it at that moment, with `test`'s folder, and saves nothing; closing the dialog
// cancels a test still running.
bool runFtpSettingsDialog(HWND owner, FtpLogin& login, const AccountTestSetup& test);
