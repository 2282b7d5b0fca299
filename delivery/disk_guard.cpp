#include "delivery/disk_guard.h"

#include "platform/files.h"

namespace {

constexpr uint64_t kMegabyte = 1024 * 1024;

bool isSeparator(wchar_t c) {
  return c == L'\\' || c == L'/';
}

std::optional<uint64_t> freeBytesNear(std::wstring folder) {
  while (!folder.empty()) {
    if (const auto free = platform::freeDiskBytes(folder)) return free;
    while (!folder.empty() && isSeparator(folder.back())) folder.pop_back();
    while (!folder.empty() && !isSeparator(folder.back())) folder.pop_back();
  }
  return std::nullopt;
}

}  // namespace

std::optional<uint64_t> freeMegabytesBelowFloor(const std::wstring& folder, int32_t minFreeMb) {
  if (minFreeMb <= 0 || folder.empty()) return std::nullopt;
  const auto free = freeBytesNear(folder);
  if (!free || *free >= static_cast<uint64_t>(minFreeMb) * kMegabyte) return std::nullopt;
  return *free / kMegabyte;
}

std::wstring diskNearlyFullText(const std::wstring& folder, uint64_t freeMb) {
  return L"disk nearly full: " + folder + L" has " + std::to_wstring(freeMb) + L" MB free";
}
