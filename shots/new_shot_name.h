#pragma once
// The name the New Shot command proposes.
#include <cstdint>
#include <set>
#include <string>

// "New Shot - N" for the smallest N from `count` + 1 up that no name in `taken` uses yet: two
// shots of the same name and interval would write the same file in the same second.
std::wstring newShotName(uint32_t count, const std::set<std::wstring>& taken);
