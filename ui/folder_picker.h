#pragma once
// The shell's folder picker, titled "Select Directory".
#include <windows.h>

#include <string>

// True with the chosen folder's path in `folder`; false, with `folder` untouched, when the user
// cancels or picks something that has no file-system path.
bool pickFolder(HWND owner, std::wstring& folder);
