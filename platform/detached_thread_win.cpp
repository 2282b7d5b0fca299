#include <windows.h>

#include <memory>

#include "platform/detached_thread.h"
#include "platform/win32_handles.h"

namespace platform {
namespace {

DWORD WINAPI runWork(void* parameter) {
  std::unique_ptr<std::function<void()>> work(static_cast<std::function<void()>*>(parameter));
  (*work)();
  return 0;
}

}  // namespace

bool startDetachedThread(std::function<void()> work) {
  auto owned = std::make_unique<std::function<void()>>(std::move(work));
  win32::UniqueHandle thread(CreateThread(nullptr, 0, runWork, owned.get(), 0, nullptr));
  if (!thread) return false;
  owned.release();  // the thread owns it now
  return true;
}

}  // namespace platform
