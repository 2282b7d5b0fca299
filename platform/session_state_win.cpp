#include "platform/session_state_win.h"

#include <versionhelpers.h>
#include <wtsapi32.h>

namespace win32 {
namespace {

// WTSSessionInfoEx and its answer, which the MinGW headers lack; laid out as in the Windows SDK.
constexpr WTS_INFO_CLASS kSessionInfoEx = static_cast<WTS_INFO_CLASS>(25);
constexpr LONG kSessionStateLock = 0;
constexpr LONG kSessionStateUnlock = 1;

struct SessionInfoExLevel1 {
  ULONG SessionId;
  WTS_CONNECTSTATE_CLASS SessionState;
  LONG SessionFlags;
  WCHAR WinStationName[33];
  WCHAR UserName[21];
  WCHAR DomainName[18];
  LARGE_INTEGER LogonTime;
  LARGE_INTEGER ConnectTime;
  LARGE_INTEGER DisconnectTime;
  LARGE_INTEGER LastInputTime;
  LARGE_INTEGER CurrentTime;
  DWORD IncomingBytes;
  DWORD OutgoingBytes;
  DWORD IncomingFrames;
  DWORD OutgoingFrames;
  DWORD IncomingCompressedBytes;
  DWORD OutgoingCompressedBytes;
};

struct SessionInfoEx {
  DWORD Level;
  union {
    SessionInfoExLevel1 WTSInfoExLevel1;
  } Data;
};

class WtsMemory {
 public:
  WtsMemory() = default;
  ~WtsMemory() {
    if (buffer_) WTSFreeMemory(buffer_);
  }
  WtsMemory(const WtsMemory&) = delete;
  WtsMemory& operator=(const WtsMemory&) = delete;
  LPWSTR* out() { return &buffer_; }
  const void* get() const { return buffer_; }

 private:
  LPWSTR buffer_ = nullptr;
};

std::optional<bool> lockedFromFlags(LONG flags) {
  // Windows 7 and Server 2008 R2 report the two values the wrong way round.
  const bool inverted = !IsWindows8OrGreater();
  if (flags == kSessionStateLock) return !inverted;
  if (flags == kSessionStateUnlock) return inverted;
  return std::nullopt;
}

}  // namespace

SessionState::Reading SessionState::querySystem() {
  DWORD session = 0;
  if (!ProcessIdToSessionId(GetCurrentProcessId(), &session)) return {};
  WtsMemory info;
  DWORD bytes = 0;
  if (!WTSQuerySessionInformationW(WTS_CURRENT_SERVER_HANDLE, session, kSessionInfoEx, info.out(),
                                   &bytes) ||
      !info.get() || bytes < sizeof(SessionInfoEx))
    return {};
  const auto& answer = *static_cast<const SessionInfoEx*>(info.get());
  if (answer.Level != 1) return {};
  const SessionInfoExLevel1& level1 = answer.Data.WTSInfoExLevel1;
  return {lockedFromFlags(level1.SessionFlags), level1.SessionState == WTSActive};
}

bool SessionState::refresh() {
  const Reading reading = query_ ? query_() : Reading{};
  if (reading.locked) locked_ = *reading.locked;
  if (reading.connected) disconnected_ = !*reading.connected;
  return unavailable();
}

bool SessionState::onChange(WPARAM change) {
  switch (change) {
    case WTS_SESSION_LOCK:
      locked_ = true;
      break;
    case WTS_SESSION_UNLOCK:
      locked_ = false;
      break;
    case WTS_CONSOLE_DISCONNECT:
    case WTS_REMOTE_DISCONNECT:
      disconnected_ = true;
      break;
    case WTS_CONSOLE_CONNECT:
    case WTS_REMOTE_CONNECT:
      disconnected_ = false;
      break;
  }
  return refresh();
}

}  // namespace win32
