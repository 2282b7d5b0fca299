#include <system_error>
#include <thread>

#include "platform/detached_thread.h"

namespace platform {

bool startDetachedThread(std::function<void()> work) {
  try {
    std::thread(std::move(work)).detach();
  } catch (const std::system_error&) {
    return false;
  }
  return true;
}

}  // namespace platform
