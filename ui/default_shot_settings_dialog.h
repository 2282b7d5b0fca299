#pragma once
// The "Default Shot Settings" dialog: the values shots on the default settings use, and the
// default FTP account.
#include <windows.h>

class AppSettings;

// Modal. Save puts the values into `settings` and writes AppSettings.idx at once, as OK in its
// "Ftp Server Settings" dialog does for the account; true after Save. That dialog's Test checks
// SFTP host keys with the known_hosts file of the data folder `settings` names.
bool runDefaultShotSettingsDialog(HWND owner, AppSettings& settings);
