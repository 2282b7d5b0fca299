#pragma once
// The process's environment variables, as Windows administrators use them in paths.
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Nothing when the variable is not set. Names are matched without regard to case on Windows,
// as the system does.
std::optional<std::wstring> environmentVariable(std::wstring_view name);

}  // namespace platform
