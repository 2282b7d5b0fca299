#pragma once
// Path text as both file systems' comparablePath() share it.
#include <string>
#include <string_view>

namespace platform {

// `path` with '.' segments dropped, '..' segments taking the one before them away (never the
// root), doubled and trailing separators gone, written with `separator`. Both '\' and '/'
// separate on Windows; on POSIX only '/'. A leading "\\" (a share) and a drive's "C:" stay.
std::wstring collapsedPath(std::wstring_view path, wchar_t separator);

}  // namespace platform
