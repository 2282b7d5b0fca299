#pragma once
// Whole-file access for the portable code. Paths are full paths in the platform's own form.
#include <string>
#include <string_view>

namespace platform {

// The separator between folders: '\' on Windows, '/' elsewhere.
#ifdef _WIN32
inline constexpr wchar_t kPathSeparator = L'\\';
#else
inline constexpr wchar_t kPathSeparator = L'/';
#endif

// Reads every byte of the file; false when it cannot be opened or read.
bool readWholeFile(const std::wstring& path, std::string& bytes);

// Writes the bytes to a temporary file beside `path`, flushes it to disk and then replaces
// `path` with it, so a crash leaves either the old file or the new one, never a torn one.
// False (and the old file untouched) when any step fails.
bool writeFileAtomically(const std::wstring& path, std::string_view bytes);

// Copies `from` over `to`, replacing an existing file.
bool copyFile(const std::wstring& from, const std::wstring& to);

bool removeFile(const std::wstring& path);
// True for an existing file; false for a folder or nothing.
bool fileExists(const std::wstring& path);

// Creates one folder; true when it exists afterwards.
bool createFolder(const std::wstring& path);

}  // namespace platform
