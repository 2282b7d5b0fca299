#include <windows.h>

#include <atomic>
#include <string>

#include "platform/files.h"
#include "platform/path_text.h"
#include "platform/win32_handles.h"

namespace platform {
namespace {

// Large writes are split so every WriteFile length fits in a DWORD.
constexpr size_t kMaxChunk = 1u << 30;

bool writeAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD chunk = static_cast<DWORD>(bytes.size() < kMaxChunk ? bytes.size() : kMaxChunk);
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

// Unique within the machine: the process id tells processes apart, the counter tells
// apart the saves of one process that may run on different threads.
std::wstring temporaryPathBeside(const std::wstring& path) {
  static std::atomic<unsigned> counter{0};
  return path + L".~" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(counter++) +
         L".tmp";
}

bool writeNewFile(const std::wstring& path, std::string_view bytes) {
  win32::UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                           FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  return writeAll(file.get(), bytes) && FlushFileBuffers(file.get()) && CloseHandle(file.release());
}

bool isMissing(DWORD error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// Another program holding the target open (an indexer, antivirus, a sync client) makes the
// replacement fail for a moment; an error of any other kind will not go away by waiting.
bool isPassing(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
         error == ERROR_ACCESS_DENIED;
}

bool replacePatiently(const std::wstring& from, const std::wstring& to) {
  constexpr DWORD kPatienceMs = 1000;
  constexpr DWORD kPauseMs = 50;
  const DWORD start = GetTickCount();
  for (;;) {
    if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return true;
    }
    if (!isPassing(GetLastError()) || GetTickCount() - start >= kPatienceMs) return false;
    Sleep(kPauseMs);
  }
}

bool isFolder(DWORD attributes) {
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

ReadResult readWholeFile(const std::wstring& path, std::string& bytes) {
  win32::UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return isMissing(GetLastError()) ? ReadResult::kMissing : ReadResult::kUnreadable;
  std::string content;
  char buffer[65536];
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr)) return ReadResult::kUnreadable;
    if (got == 0) break;
    content.append(buffer, got);
  }
  bytes = std::move(content);
  return ReadResult::kRead;
}

bool writeFileAtomically(const std::wstring& path, std::string_view bytes) {
  const std::wstring temporary = temporaryPathBeside(path);
  if (!writeNewFile(temporary, bytes) || !replacePatiently(temporary, path)) {
    DeleteFileW(temporary.c_str());
    return false;
  }
  return true;
}

bool copyFile(const std::wstring& from, const std::wstring& to) {
  return CopyFileW(from.c_str(), to.c_str(), FALSE) != 0;
}

bool removeFile(const std::wstring& path) {
  return DeleteFileW(path.c_str()) != 0;
}

bool appendToFile(const std::wstring& path, std::string_view bytes) {
  win32::UniqueFileHandle file(CreateFileW(path.c_str(), FILE_APPEND_DATA,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                           nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  return file && writeAll(file.get(), bytes) && CloseHandle(file.release());
}

std::optional<uint64_t> fileSize(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) ||
      isFolder(data.dwFileAttributes)) {
    return std::nullopt;
  }
  return (uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

bool replaceFile(const std::wstring& from, const std::wstring& to) {
  return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

bool renameUnused(const std::wstring& from, const std::wstring& to) {
  return MoveFileExW(from.c_str(), to.c_str(), 0) != 0;
}

bool fileExists(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !isFolder(attributes);
}

bool createFolder(const std::wstring& path) {
  return CreateDirectoryW(path.c_str(), nullptr) || isFolder(GetFileAttributesW(path.c_str()));
}

std::vector<std::wstring> filesEndingWith(const std::wstring& folder, std::wstring_view suffix) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found{};
  const std::wstring pattern = folder + L"\\*";
  const win32::UniqueFindHandle search(FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found,
                                                        FindExSearchNameMatch, nullptr, 0));
  if (!search) return names;
  do {
    const std::wstring_view name = found.cFileName;
    if (!isFolder(found.dwFileAttributes) && name.ends_with(suffix)) names.emplace_back(name);
  } while (FindNextFileW(search.get(), &found));
  return names;
}

bool folderExists(const std::wstring& path) {
  return isFolder(GetFileAttributesW(path.c_str()));
}

std::wstring comparablePath(const std::wstring& path) {
  std::wstring full(MAX_PATH, L'\0');
  DWORD length =
      GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  if (length >= full.size()) {
    full.resize(length);
    length = GetFullPathNameW(path.c_str(), length, full.data(), nullptr);
  }
  full.resize(length < full.size() ? length : 0);
  std::wstring out = collapsedPath(full.empty() ? path : full, L'\\');
  // NTFS and FAT compare names by upper case, whatever the user's language.
  std::wstring upper(out.size(), L'\0');
  const int size = static_cast<int>(out.size());
  if (size == 0 || LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, out.c_str(), size,
                                 upper.data(), size, nullptr, nullptr, 0) != size)
    return out;
  return upper;
}

std::optional<uint64_t> freeDiskBytes(const std::wstring& folder) {
  ULARGE_INTEGER available{};
  if (!GetDiskFreeSpaceExW(folder.c_str(), &available, nullptr, nullptr)) return std::nullopt;
  return available.QuadPart;
}

}  // namespace platform
