#pragma once
// The "About Tarnwelt Vemlix" dialog: version, picture, web address, copyright and credits.
#include <windows.h>

#include <string>

// Modal, showing the program's `version`; OK, Escape and the close box end it.
void runAboutDialog(HWND owner, const std::wstring& version);
