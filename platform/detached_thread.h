#pragma once
// Starts a thread nobody joins. On Windows this is CreateThread itself: the C++ runtime's
// thread emulation under MinGW loses track of detached threads started from several threads
// at once, and a worker that never counts as ended would hold up shutdown.
#include <functional>

namespace platform {

// Runs `work` on a new thread; false (and `work` not run) when no thread could be started.
bool startDetachedThread(std::function<void()> work);

}  // namespace platform
