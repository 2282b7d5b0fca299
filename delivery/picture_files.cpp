#include "delivery/picture_files.h"

#include "platform/files.h"

bool SystemPictureFiles::exists(const std::wstring& path) const {
  return platform::fileExists(path);
}

bool SystemPictureFiles::folderExists(const std::wstring& folder) const {
  return platform::folderExists(folder);
}

std::optional<uint64_t> SystemPictureFiles::size(const std::wstring& path) const {
  return platform::fileSize(path);
}

bool SystemPictureFiles::remove(const std::wstring& path) {
  return platform::removeFile(path);
}

bool SystemPictureFiles::copy(const std::wstring& from, const std::wstring& to) {
  return platform::copyFile(from, to);
}

bool SystemPictureFiles::rename(const std::wstring& from, const std::wstring& to) {
  return platform::replaceFile(from, to);
}

std::wstring SystemPictureFiles::comparable(const std::wstring& path) const {
  return platform::comparablePath(path);
}
