#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cwctype>
#include <string>

#include "platform/files.h"
#include "platform/path_text.h"
#include "platform/posix_path.h"
#include "platform/unique_fd.h"
#include "platform/unique_resource.h"

namespace platform {
namespace {

void closeFolder(DIR* listing) {
  ::closedir(listing);
}

bool writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

std::string folderOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Unique within the machine: the process id tells processes apart, the counter tells
// apart the saves of one process that may run on different threads.
std::string temporaryPathBeside(const std::string& path) {
  static std::atomic<unsigned> counter{0};
  return path + ".~" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + ".tmp";
}

// Makes the rename itself durable; a folder that cannot be opened or synced is not worth
// failing a save over, since the file's own data is already on disk.
void syncFolder(const std::string& folder) {
  UniqueFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd) ::fsync(fd.get());
}

bool writeNewFile(const std::string& path, std::string_view bytes) {
  UniqueFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
  if (!fd) return false;
  return writeAll(fd.get(), bytes) && ::fsync(fd.get()) == 0 && closeChecked(fd);
}

}  // namespace

ReadResult readWholeFile(const std::wstring& path, std::string& bytes) {
  UniqueFd fd(::open(nativePath(path).c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd)
    return errno == ENOENT || errno == ENOTDIR ? ReadResult::kMissing : ReadResult::kUnreadable;
  std::string content;
  char buffer[65536];
  for (;;) {
    const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return ReadResult::kUnreadable;
    if (got == 0) break;
    content.append(buffer, static_cast<size_t>(got));
  }
  bytes = std::move(content);
  return ReadResult::kRead;
}

bool writeFileAtomically(const std::wstring& path, std::string_view bytes) {
  const std::string target = nativePath(path);
  const std::string temporary = temporaryPathBeside(target);
  if (!writeNewFile(temporary, bytes) || ::rename(temporary.c_str(), target.c_str()) != 0) {
    ::unlink(temporary.c_str());
    return false;
  }
  syncFolder(folderOf(target));
  return true;
}

bool copyFile(const std::wstring& from, const std::wstring& to) {
  std::string bytes;
  return readWholeFile(from, bytes) == ReadResult::kRead && writeFileAtomically(to, bytes);
}

bool removeFile(const std::wstring& path) {
  return ::unlink(nativePath(path).c_str()) == 0;
}

bool appendToFile(const std::wstring& path, std::string_view bytes) {
  UniqueFd fd(::open(nativePath(path).c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666));
  return fd && writeAll(fd.get(), bytes) && closeChecked(fd);
}

std::optional<uint64_t> fileSize(const std::wstring& path) {
  struct stat info {};
  if (::stat(nativePath(path).c_str(), &info) != 0 || S_ISDIR(info.st_mode)) return std::nullopt;
  return static_cast<uint64_t>(info.st_size);
}

bool replaceFile(const std::wstring& from, const std::wstring& to) {
  return ::rename(nativePath(from).c_str(), nativePath(to).c_str()) == 0;
}

bool renameUnused(const std::wstring& from, const std::wstring& to) {
  struct stat info {};
  if (::stat(nativePath(to).c_str(), &info) == 0) return false;
  return ::rename(nativePath(from).c_str(), nativePath(to).c_str()) == 0;
}

bool fileExists(const std::wstring& path) {
  struct stat info {};
  return ::stat(nativePath(path).c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool createFolder(const std::wstring& path) {
  const std::string folder = nativePath(path);
  if (::mkdir(folder.c_str(), 0777) == 0) return true;
  struct stat info {};
  return errno == EEXIST && ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool folderExists(const std::wstring& path) {
  struct stat info {};
  return ::stat(nativePath(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::wstring comparablePath(const std::wstring& path) {
  std::wstring full = path;
  if (full.empty() || full[0] != L'/') {
    char cwd[4096];
    if (::getcwd(cwd, sizeof cwd)) full = widePath(cwd) + L"/" + full;
  }
  std::wstring out = collapsedPath(full, L'/');
  for (wchar_t& c : out) c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
  return out;
}

std::optional<uint64_t> freeDiskBytes(const std::wstring& folder) {
  struct statvfs info {};
  if (::statvfs(nativePath(folder).c_str(), &info) != 0) return std::nullopt;
  return static_cast<uint64_t>(info.f_bavail) * info.f_frsize;
}

std::vector<std::wstring> filesEndingWith(const std::wstring& folder, std::wstring_view suffix) {
  std::vector<std::wstring> names;
  const UniqueResource<DIR*, closeFolder> listing(::opendir(nativePath(folder).c_str()));
  if (!listing) return names;
  while (const dirent* entry = ::readdir(listing.get())) {
    const std::wstring name = widePath(entry->d_name);
    if (name.ends_with(suffix) && fileExists(folder + L"/" + name)) names.push_back(name);
  }
  return names;
}

}  // namespace platform
