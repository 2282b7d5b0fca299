#include "platform/files.h"

#include <thread>

namespace platform {

ReadResult readWholeFilePatiently(const std::wstring& path, std::string& bytes,
                                  std::chrono::milliseconds patience) {
  constexpr std::chrono::milliseconds kPause{100};
  const auto giveUp = std::chrono::steady_clock::now() + patience;
  for (;;) {
    const ReadResult result = readWholeFile(path, bytes);
    if (result != ReadResult::kUnreadable || std::chrono::steady_clock::now() >= giveUp) {
      return result;
    }
    std::this_thread::sleep_for(kPause);
  }
}

}  // namespace platform
