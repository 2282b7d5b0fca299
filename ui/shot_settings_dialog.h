#pragma once
// The "Shot Settings" dialog, run by the New Shot window when the user saves a framed shot.
#include <windows.h>

#include <string>

#include "shots/shot_definition.h"

// Modal. Edits a copy of `shot`, and its "Ftp Server Settings" dialog edits that copy too.
// True after Save, with the copy written into `shot` (DEFAULT_FTP_SERVER cleared); false after
// Cancel, Escape or the close box, with `shot` untouched. Storing the shot, or closing the
// overlay after a cancel, is the caller's: the dialog sends its owner nothing. A new shot shows
// "default" as its time-stamp pattern. The Test button of its Ftp Settings dialog checks SFTP
// host keys with `knownHostsPath`.
bool runShotSettingsDialog(HWND owner, ShotDefinition& shot, bool isNewShot,
                           const std::wstring& knownHostsPath);
