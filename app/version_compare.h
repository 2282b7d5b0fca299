#pragma once
// Whether the version file on the web names a newer version than the running program.
#include <string>

// `body` is the fetched text. The published version follows the first "Version-" (blanks
// after the marker are skipped) and is the run of digits and dots there; anything after it
// is ignored. Versions compare part by part as numbers, a missing part counting as 0, so 1.10
// is newer than 1.3 and 1.3.0 is not. No marker, or no digit after it: not newer.
bool isNewerVersion(const std::wstring& body, const std::wstring& localVersion);
