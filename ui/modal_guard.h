#pragma once
// The main window's modal dialogs, one at a time. A modal dialog disables its owner; the tray
// menu still works then, and must not open a second dialog whose Save the first one's would
// undo. Exit ends the open dialogs first.
#include <windows.h>

// True while a modal dialog of `owner` is open.
bool modalDialogOpen(HWND owner);
// Brings the innermost open dialog of this thread to the front.
void bringOpenDialogForward();
// Cancels every dialog this thread has open; their modal loops end soon after.
void cancelOpenDialogs();
