// The session's state from the system's answer, and from the notifications where the system
// has none.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which it builds on.
#include <wtsapi32.h>

#include "platform/session_state_win.h"

namespace {

using win32::SessionState;

TEST(SessionStateTest, WithoutAnAnswerTheNotificationsCountAndDisconnectedIsLikeLocked) {
  SessionState state([] { return SessionState::Reading{}; });
  EXPECT_FALSE(state.refresh());
  EXPECT_TRUE(state.onChange(WTS_REMOTE_DISCONNECT));
  EXPECT_TRUE(state.onChange(WTS_SESSION_LOCK));
  EXPECT_TRUE(state.onChange(WTS_REMOTE_CONNECT));  // still locked
  EXPECT_FALSE(state.onChange(WTS_SESSION_UNLOCK));
  EXPECT_TRUE(state.onChange(WTS_CONSOLE_DISCONNECT));
  EXPECT_FALSE(state.onChange(WTS_CONSOLE_CONNECT));
}

TEST(SessionStateTest, TheSystemsAnswerOverridesTheNotification) {
  SessionState::Reading answer{false, false};  // unlocked, disconnected
  SessionState state([&] { return answer; });
  EXPECT_TRUE(state.refresh());
  EXPECT_TRUE(state.onChange(WTS_REMOTE_CONNECT));
  answer = {true, true};
  EXPECT_TRUE(state.onChange(WTS_SESSION_UNLOCK));
  answer = {false, true};
  EXPECT_FALSE(state.onChange(WTS_SESSION_LOCK));
  // Only the lock flag known: the connection goes by the notification.
  answer = {false, std::nullopt};
  EXPECT_TRUE(state.onChange(WTS_REMOTE_DISCONNECT));
}

}  // namespace
