#pragma once
// Windows made in a test's own thread only act while that thread handles their messages.
#include <windows.h>

// Handles this thread's messages until `condition` holds or `timeoutMs` passes. Stops early
// at WM_QUIT, whose exit code goes to `quitCode` when given.
template <typename Condition>
bool pumpUntil(Condition condition, DWORD timeoutMs, int* quitCode = nullptr) {
  const DWORD start = GetTickCount();
  MSG message{};
  while (!condition()) {
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        if (quitCode) *quitCode = static_cast<int>(message.wParam);
        return condition();
      }
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    if (GetTickCount() - start > timeoutMs) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  return true;
}

// Handles the messages waiting now.
inline void pumpPending() {
  pumpUntil([] { return false; }, 0);
}
