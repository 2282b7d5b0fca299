#pragma once
// Keeps saves from filling a disk: below the floor of free space a shot saves nothing, and
// saving resumes by itself once there is room again. It never deletes anything to make room.
#include <cstdint>
#include <optional>
#include <string>

// The megabytes free on the volume of `folder` when that is less than `minFreeMb`; nothing when
// there is enough room, no floor is set (0 or less), or the free space cannot be told. A folder
// that does not exist yet is judged by the nearest folder above it that does.
std::optional<uint64_t> freeMegabytesBelowFloor(const std::wstring& folder, int32_t minFreeMb);

// "disk nearly full: C:\Shots has 512 MB free"
std::wstring diskNearlyFullText(const std::wstring& folder, uint64_t freeMb);
