#pragma once
// The one owner of a temporary file: it deletes the file when it goes, whatever road the
// picture in it took.
#include <string>
#include <utility>

#include "platform/files.h"

namespace platform {

class TemporaryFile {
 public:
  TemporaryFile() = default;
  explicit TemporaryFile(std::wstring path) : path_(std::move(path)) {}
  ~TemporaryFile() { reset(); }

  TemporaryFile(TemporaryFile&& other) noexcept : path_(std::exchange(other.path_, {})) {}
  TemporaryFile& operator=(TemporaryFile&& other) noexcept {
    if (this != &other) {
      reset();
      path_ = std::exchange(other.path_, {});
    }
    return *this;
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  const std::wstring& path() const { return path_; }
  explicit operator bool() const { return !path_.empty(); }

  void reset() {
    if (!path_.empty()) removeFile(std::exchange(path_, {}));
  }

 private:
  std::wstring path_;
};

}  // namespace platform
