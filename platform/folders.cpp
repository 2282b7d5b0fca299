#include "platform/folders.h"

#include <array>
#include <mutex>
#include <optional>

#include "platform/system_folders.h"

namespace platform {
namespace {

// No value: the system answers. An empty value: the folder does not exist.
struct Overrides {
  std::mutex lock;
  std::array<std::optional<std::wstring>, 3> paths;
};

Overrides& overrides() {
  static Overrides instance;
  return instance;
}

std::optional<std::wstring> overriddenFolder(UserFolder folder) {
  Overrides& all = overrides();
  std::lock_guard guard(all.lock);
  return all.paths[static_cast<size_t>(folder)];
}

void setOverride(UserFolder folder, std::optional<std::wstring> path) {
  Overrides& all = overrides();
  std::lock_guard guard(all.lock);
  all.paths[static_cast<size_t>(folder)] = std::move(path);
}

}  // namespace

void overrideFolderForTests(UserFolder folder, std::wstring path) {
  setOverride(folder, path.empty() ? std::nullopt : std::optional(std::move(path)));
}

void removeFolderForTests(UserFolder folder) {
  setOverride(folder, std::wstring());
}

// The system is asked only when no override stands: asking creates the folder.
std::wstring documentsFolder() {
  auto folder = overriddenFolder(UserFolder::kDocuments);
  return folder ? *folder : system::documentsFolder();
}

std::wstring picturesFolder() {
  auto folder = overriddenFolder(UserFolder::kPictures);
  return folder ? *folder : system::picturesFolder();
}

std::wstring localAppDataFolder() {
  auto folder = overriddenFolder(UserFolder::kLocalAppData);
  return folder ? *folder : system::localAppDataFolder();
}

}  // namespace platform
