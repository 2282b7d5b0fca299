#pragma once
// Environment variables in a shot's folders, written as Windows administrators write them
// ("shots/%COMPUTERNAME%"), so that one shots file serves every PC of a fleet.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

using VariableLookup = std::function<std::optional<std::wstring>(std::wstring_view name)>;

// Each %NAME% of a set variable becomes its value; anything else (an unset name, a lone "%",
// "%%") stays exactly as typed, as the Windows shell leaves it, so a folder without variables
// is used as it always was. Values are not expanded again.
std::wstring expandFolderVariables(std::wstring_view folder, const VariableLookup& lookup);

// With the process's own environment.
std::wstring expandFolderVariables(std::wstring_view folder);
