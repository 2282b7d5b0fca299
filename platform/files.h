#pragma once
// Whole-file access for the portable code. Paths are full paths in the platform's own form.
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The separator between folders: '\' on Windows, '/' elsewhere.
#ifdef _WIN32
inline constexpr wchar_t kPathSeparator = L'\\';
#else
inline constexpr wchar_t kPathSeparator = L'/';
#endif

enum class ReadResult {
  kRead,
  // Only "no such file or folder": the one case where starting afresh loses nothing.
  kMissing,
  // It is there but could not be read: locked by another program, no permission, a network
  // folder that is offline. Never take this for missing, or the next save overwrites it.
  kUnreadable,
};

// Why a data file that is there was left alone for the run.
enum class UnreadableReason {
  kCannotOpen,     // locked by another program, no permission, offline
  kNotUnderstood,  // it holds text, but none of it is what the file should hold
};

// Reads every byte of the file; `bytes` is left alone unless the result is kRead.
ReadResult readWholeFile(const std::wstring& path, std::string& bytes);

// The same, trying again for up to `patience` while the file is unreadable: antivirus, backup
// and sync programs usually hold a file only for a moment.
ReadResult readWholeFilePatiently(const std::wstring& path, std::string& bytes,
                                  std::chrono::milliseconds patience);

// Writes the bytes to a temporary file beside `path`, flushes it to disk and then replaces
// `path` with it, so a crash leaves either the old file or the new one, never a torn one.
// The replacement is tried again for about a second while another program holds the target
// open. False (and the old file untouched) when any step fails.
bool writeFileAtomically(const std::wstring& path, std::string_view bytes);

// Copies `from` over `to`, replacing an existing file.
bool copyFile(const std::wstring& from, const std::wstring& to);

bool removeFile(const std::wstring& path);

// Adds the bytes at the end of the file, making it when missing. Another program may read,
// write or rename the file meanwhile. One try: false when it cannot be opened or written now.
bool appendToFile(const std::wstring& path, std::string_view bytes);

// The size in bytes of an existing file; nothing for a folder or nothing.
std::optional<uint64_t> fileSize(const std::wstring& path);

// Renames `from` to `to` in the same folder, replacing a file of that name. One try.
bool replaceFile(const std::wstring& from, const std::wstring& to);
// Renames a file or a folder to a name that is not in use. One try.
bool renameUnused(const std::wstring& from, const std::wstring& to);
// True for an existing file; false for a folder or nothing.
bool fileExists(const std::wstring& path);

// True for an existing folder that can be reached now; false for a file, a folder that is gone,
// or one on a drive or share that is not there at the moment.
bool folderExists(const std::wstring& path);

// The folder part of a path: everything before its last separator ('\' or '/').
std::wstring folderOf(const std::wstring& path);

// One spelling for every way of writing the same file's path, for comparing paths: the full
// path with '.' and '..' resolved, doubled and trailing separators dropped, and in one case,
// since the file systems the pictures live on ignore case.
std::wstring comparablePath(const std::wstring& path);

// Creates one folder; true when it exists afterwards.
bool createFolder(const std::wstring& path);

// The names (not paths) of the files directly in `folder` whose names end with `suffix`, in no
// particular order; empty when the folder is missing or unreadable.
std::vector<std::wstring> filesEndingWith(const std::wstring& folder, std::wstring_view suffix);

// The bytes this user may still write on the volume that holds `folder`; nothing when that
// cannot be told (the folder is missing, the volume gone).
std::optional<uint64_t> freeDiskBytes(const std::wstring& folder);

}  // namespace platform
