#include "ui/modal_guard.h"

#include <string_view>
#include <vector>

namespace {

bool isDialog(HWND window) {
  wchar_t className[16] = {};
  GetClassNameW(window, className, 16);
  return std::wstring_view(className) == L"#32770";
}

// The dialogs (and message boxes) this thread has open; the innermost of nested modal ones is
// the only one that is enabled.
std::vector<HWND> dialogsOfThisThread() {
  std::vector<HWND> dialogs;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM found) {
        if (isDialog(window) && IsWindowVisible(window))
          reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&dialogs));
  return dialogs;
}

}  // namespace

bool modalDialogOpen(HWND owner) {
  return !IsWindowEnabled(owner);
}

void bringOpenDialogForward() {
  for (HWND dialog : dialogsOfThisThread()) {
    if (IsWindowEnabled(dialog)) SetForegroundWindow(dialog);
  }
}

void cancelOpenDialogs() {
  for (HWND dialog : dialogsOfThisThread()) PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
}
