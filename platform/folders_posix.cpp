#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "platform/files.h"
#include "platform/folders.h"
#include "platform/posix_path.h"
#include "platform/system_folders.h"

namespace platform {
namespace {

// $HOME is where POSIX keeps the user's home; the password database answers when it is unset.
std::string homeFolder() {
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
      found->pw_dir)
    return found->pw_dir;
  return {};
}

std::wstring createdUserFolder(const char* name) {
  const std::string home = homeFolder();
  if (home.empty()) return {};
  std::wstring folder = widePath(home + "/" + name);
  createFolder(folder);
  return folder;
}

}  // namespace

namespace system {

std::wstring documentsFolder() {
  return createdUserFolder("Documents");
}
std::wstring picturesFolder() {
  return createdUserFolder("Pictures");
}
std::wstring localAppDataFolder() {
  if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data == '/') {
    std::wstring folder = widePath(data);
    createFolder(folder);
    return folder;
  }
  const std::string home = homeFolder();
  if (home.empty()) return {};
  createFolder(widePath(home + "/.local"));
  return createdUserFolder(".local/share");
}

}  // namespace system

std::wstring tempFolder() {
  std::string folder = "/tmp/";
  if (const char* tmpdir = std::getenv("TMPDIR"); tmpdir && *tmpdir) folder = tmpdir;
  if (folder.back() != '/') folder.push_back('/');
  return widePath(folder);
}

std::wstring modulePath() {
  std::vector<char> buffer(4096);
  const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
  if (length <= 0 || static_cast<size_t>(length) >= buffer.size()) return {};
  return widePath(std::string(buffer.data(), static_cast<size_t>(length)));
}

}  // namespace platform
