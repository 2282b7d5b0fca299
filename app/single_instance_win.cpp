#include "app/single_instance_win.h"

namespace {
// Local\ makes it per session: another user on the same machine runs a Vemlix of their own.
constexpr wchar_t kMutexName[] = L"Local\\Tarnwelt.Vemlix.SingleInstance";
constexpr int kFindAttempts = 50;
constexpr DWORD kFindPause = 100;
}  // namespace

SingleInstance::SingleInstance() : mutex_(CreateMutexW(nullptr, FALSE, kMutexName)) {
  first_ = mutex_ && GetLastError() != ERROR_ALREADY_EXISTS;
}

void SingleInstance::activateRunning(const std::wstring& windowClass, UINT activateMessage) {
  for (int attempt = 0; attempt < kFindAttempts; ++attempt) {
    if (HWND running = FindWindowW(windowClass.c_str(), nullptr)) {
      DWORD processId = 0;
      GetWindowThreadProcessId(running, &processId);
      // We were just started by the user, so we may let the running copy take the focus.
      AllowSetForegroundWindow(processId);
      PostMessageW(running, activateMessage, 0, 0);
      return;
    }
    Sleep(kFindPause);
  }
}
