#pragma once
// The contents of ShotsData.idx, apart from where the file is kept: one "[SHOT_SETTINGS]"
// section of 34 "KEY=value" lines (the last six added later) and an empty line per shot, CR LF
// line ends, UTF-8 with a byte order mark.
//
// Reading is forgiving of hand-edited files: a section runs from its header line to the next
// one, keys count only at the start of a line of their own section and in any order (the
// first of a repeated key wins), a missing key leaves its field zero, false or empty, and
// other lines are passed over. Every section gives one shot, so nothing is ever lost when
// the file is written back.
#include <string>
#include <string_view>
#include <vector>

#include "shots/shot_definition.h"

inline constexpr const wchar_t* kShotsFileName = L"ShotsData.idx";
inline constexpr std::wstring_view kShotSectionHeader = L"[SHOT_SETTINGS]";

// The text of the file for these shots, in their order, each with its own SHOT_ID.
// A line break inside a text value (no dialog can enter one) is written as a space.
std::wstring formatShots(const std::vector<ShotDefinition>& shots);

// One shot per section, in file order, with SHOT_ID as the file says.
std::vector<ShotDefinition> parseShots(std::wstring_view text);

// The same on the file's bytes: UTF-8 with its byte order mark (also read without one, and in
// UTF-16 or ANSI as Windows editors save it: decodeTextFile).
// No shots give just the byte order mark.
std::string formatShotsFile(const std::vector<ShotDefinition>& shots);
std::vector<ShotDefinition> parseShotsFile(std::string_view bytes);
