#pragma once
// The alpha fade that shows and hides the program's layered windows.
#include <windows.h>

#include <atomic>

// On when the process starts; a window that wants to appear without the fade turns it off.
extern std::atomic<bool> fadeEnabled;

inline constexpr int kShowAnimated = 5;  // SW_SHOW's value
inline constexpr int kHideAnimated = 0;  // SW_HIDE's value

// Mode 5 fades the window in (ending at alpha 240), mode 0 fades it out and hides it; any
// other mode does nothing.
void showWindowAnimated(HWND window, int mode);
