#pragma once
// The text of AppSettings.idx: one line per key, in key order, each the key text followed by
// its value. Pure functions, so the file's reading and writing can be tested and fuzzed
// without touching a disk.
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "settings/setting_keys.h"

using SettingValues = std::array<std::wstring, kSettingCount>;
// A value for every key the file holds; no value for a key it lacks.
using FoundSettings = std::array<std::optional<std::wstring>, kSettingCount>;

// Reads the file's bytes (UTF-8 with or without a byte order mark, or UTF-16 and ANSI as Windows
// editors save it: decodeTextFile). A key counts only where
// it begins a line and only its first such line; the value runs to the line's LF, without
// the CR before it, or to the end of the text.
FoundSettings parseSettingsFile(std::string_view bytes);

// The complete file: byte order mark, then every key with its value and CR LF. A value
// cannot span lines, so a value is written up to its first LF only.
std::string formatSettingsFile(const SettingValues& values);
