#include "platform/folders.h"

#include <array>
#include <mutex>

#include "platform/system_folders.h"

namespace platform {
namespace {

struct Overrides {
  std::mutex lock;
  std::array<std::wstring, 2> paths;
};

Overrides& overrides() {
  static Overrides instance;
  return instance;
}

std::wstring overriddenFolder(UserFolder folder) {
  Overrides& all = overrides();
  std::lock_guard guard(all.lock);
  return all.paths[static_cast<size_t>(folder)];
}

}  // namespace

void overrideFolderForTests(UserFolder folder, std::wstring path) {
  Overrides& all = overrides();
  std::lock_guard guard(all.lock);
  all.paths[static_cast<size_t>(folder)] = std::move(path);
}

std::wstring documentsFolder() {
  std::wstring folder = overriddenFolder(UserFolder::kDocuments);
  return folder.empty() ? system::documentsFolder() : folder;
}

std::wstring picturesFolder() {
  std::wstring folder = overriddenFolder(UserFolder::kPictures);
  return folder.empty() ? system::picturesFolder() : folder;
}

}  // namespace platform
