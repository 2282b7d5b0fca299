#include "shots/new_shot_name.h"

std::wstring newShotName(uint32_t count, const std::set<std::wstring>& taken) {
  for (uint64_t number = uint64_t{count} + 1;; ++number) {
    std::wstring name = L"New Shot - " + std::to_wstring(number);
    if (!taken.contains(name)) return name;
  }
}
