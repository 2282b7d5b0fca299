#include "app/single_instance_win.h"

#include <sddl.h>

#include <vector>

namespace {

constexpr wchar_t kGlobalPrefix[] = L"Global\\Tarnwelt.Vemlix.SingleInstance.";
// The installer looks for this one to tell whether Vemlix runs in its session.
constexpr wchar_t kSessionMarkName[] = L"Local\\Tarnwelt.Vemlix.SingleInstance";
// A first start may spend a few seconds on the update check before its window exists.
constexpr int kAttempts = 150;
constexpr DWORD kPauseMs = 100;
// The first Vemlix marks its session the moment after it takes the mutex.
constexpr int kMarkAttempts = 10;

bool acquired(DWORD waitResult) {
  return waitResult == WAIT_OBJECT_0 || waitResult == WAIT_ABANDONED;
}

// Empty when the process's user cannot be told.
std::wstring userSid() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return {};
  const win32::UniqueHandle owned(token);
  DWORD size = 0;
  GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  if (size == 0) return {};
  std::vector<BYTE> user(size);
  if (!GetTokenInformation(token, TokenUser, user.data(), size, &size)) return {};
  LPWSTR text = nullptr;
  if (!ConvertSidToStringSidW(reinterpret_cast<const TOKEN_USER*>(user.data())->User.Sid, &text))
    return {};
  std::wstring sid(text);
  LocalFree(text);
  return sid;
}

}  // namespace

std::wstring SingleInstance::mutexName() {
  const std::wstring sid = userSid();
  // Without the user's name the guard can only cover the session.
  return sid.empty() ? kSessionMarkName : kGlobalPrefix + sid;
}

SingleInstance::SingleInstance() : mutex_(CreateMutexW(nullptr, TRUE, mutexName().c_str())) {
  // Asking for ownership of a mutex that exists already gives a handle without it.
  owned_ = mutex_ && GetLastError() != ERROR_ALREADY_EXISTS;
  if (isFirst()) markSession();
}

SingleInstance::~SingleInstance() {
  if (owned_) ReleaseMutex(mutex_.get());
}

void SingleInstance::markSession() {
  sessionMark_.reset(CreateMutexW(nullptr, FALSE, kSessionMarkName));
}

bool SingleInstance::takeOverWithin(DWORD milliseconds) {
  if (!acquired(WaitForSingleObject(mutex_.get(), milliseconds))) return false;
  owned_ = true;
  markSession();
  return true;
}

bool SingleInstance::waitForSessionMark() {
  for (int attempt = 0; attempt < kMarkAttempts; ++attempt) {
    sessionMark_.reset(OpenMutexW(SYNCHRONIZE, FALSE, kSessionMarkName));
    if (sessionMark_) return true;
    if (takeOverWithin(kPauseMs)) return false;
  }
  return false;
}

SingleInstance::HandOver SingleInstance::reach(const std::wstring& windowClass, HWND& running) {
  running = nullptr;
  if (!waitForSessionMark()) return owned_ ? HandOver::kTakenOver : HandOver::kRunsElsewhere;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    running = FindWindowW(windowClass.c_str(), nullptr);
    if (running) {
      DWORD processId = 0;
      GetWindowThreadProcessId(running, &processId);
      // We were just started by the user, so we may let the running copy take the focus.
      AllowSetForegroundWindow(processId);
      return HandOver::kBroughtForward;
    }
    // No window: either it is not made yet, or the running Vemlix is ending.
    if (takeOverWithin(kPauseMs)) return HandOver::kTakenOver;
  }
  return HandOver::kBroughtForward;
}

SingleInstance::HandOver SingleInstance::handOver(const std::wstring& windowClass,
                                                  UINT activateMessage) {
  HWND running = nullptr;
  const HandOver outcome = reach(windowClass, running);
  if (running) PostMessageW(running, activateMessage, 0, 0);
  return outcome;
}
