#include "support/temp_folder.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

namespace fs = std::filesystem;

TempFolder::TempFolder() {
  static std::atomic<unsigned> counter{0};
  std::random_device random;
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  fs::path folder =
      fs::temp_directory_path() / ("vemlix-test-" + std::to_string(random()) + "-" +
                                   std::to_string(stamp) + "-" + std::to_string(counter++));
  fs::create_directories(folder);
  path_ = folder.wstring();
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
  for (auto& entry : fs::recursive_directory_iterator(path_, ignored))
    fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
  fs::remove_all(path_, ignored);
}

std::wstring TempFolder::file(const std::wstring& name) const {
  return (fs::path(path_) / name).wstring();
}

std::string readBytes(const std::wstring& path) {
  std::ifstream in(fs::path(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeBytes(const std::wstring& path, const std::string& bytes) {
  std::ofstream out(fs::path(path), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}
