#include "app/single_instance_win.h"

namespace {
// Local\ makes it per session: another user on the same machine runs a Vemlix of their own.
constexpr wchar_t kMutexName[] = L"Local\\Tarnwelt.Vemlix.SingleInstance";
// A first start may spend a few seconds on the update check before its window exists.
constexpr int kAttempts = 150;
constexpr DWORD kPauseMs = 100;

bool acquired(DWORD waitResult) {
  return waitResult == WAIT_OBJECT_0 || waitResult == WAIT_ABANDONED;
}
}  // namespace

SingleInstance::SingleInstance() : mutex_(CreateMutexW(nullptr, TRUE, kMutexName)) {
  // Asking for ownership of a mutex that exists already gives a handle without it.
  owned_ = mutex_ && GetLastError() != ERROR_ALREADY_EXISTS;
}

SingleInstance::~SingleInstance() {
  if (owned_) ReleaseMutex(mutex_.get());
}

bool SingleInstance::handOver(const std::wstring& windowClass, UINT activateMessage) {
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    if (HWND running = FindWindowW(windowClass.c_str(), nullptr)) {
      DWORD processId = 0;
      GetWindowThreadProcessId(running, &processId);
      // We were just started by the user, so we may let the running copy take the focus.
      AllowSetForegroundWindow(processId);
      PostMessageW(running, activateMessage, 0, 0);
      return true;
    }
    // No window: either it is not made yet, or the running Vemlix is ending.
    if (mutex_ && acquired(WaitForSingleObject(mutex_.get(), kPauseMs))) {
      owned_ = true;
      return false;
    }
    if (!mutex_) Sleep(kPauseMs);
  }
  return true;
}
