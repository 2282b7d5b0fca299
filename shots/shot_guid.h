#pragma once
// The lasting identity of a shot, in the registry's GUID form "{8F1C2E4A-...}".
#include <string>
#include <string_view>

// A new random identity, for a shot the user has just made.
std::wstring newShotGuid();

// The same identity for the same `seed` on every start: a shot from an older file gets its
// identity from its own section, so that a start that cannot write the file back gives it the
// same identity again the next time.
std::wstring derivedShotGuid(std::string_view seed);
