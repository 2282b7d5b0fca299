#pragma once
// The "About Tarnwelt Vemlix" dialog: version, picture, web address, copyright and credits.
#include <windows.h>

// Modal; OK, Escape and the close box end it.
void runAboutDialog(HWND owner);
