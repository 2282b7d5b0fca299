#pragma once
// The file operations a picture's life needs, behind one interface so that tests can make a
// folder unreachable or a copy fail, which a real disk will not do on request.
#include <cstdint>
#include <optional>
#include <string>

class PictureFiles {
 public:
  virtual ~PictureFiles() = default;

  virtual bool exists(const std::wstring& path) const = 0;
  // False too for a folder on a drive or share that is not there at the moment.
  virtual bool folderExists(const std::wstring& folder) const = 0;
  virtual std::optional<uint64_t> size(const std::wstring& path) const = 0;
  virtual bool remove(const std::wstring& path) = 0;
  // Copies over an existing `to`.
  virtual bool copy(const std::wstring& from, const std::wstring& to) = 0;
  // Renames within one folder, replacing an existing `to`.
  virtual bool rename(const std::wstring& from, const std::wstring& to) = 0;
  // The one spelling of a path that every other spelling of the same file shares.
  virtual std::wstring comparable(const std::wstring& path) const = 0;
};

// The real file system.
class SystemPictureFiles : public PictureFiles {
 public:
  bool exists(const std::wstring& path) const override;
  bool folderExists(const std::wstring& folder) const override;
  std::optional<uint64_t> size(const std::wstring& path) const override;
  bool remove(const std::wstring& path) override;
  bool copy(const std::wstring& from, const std::wstring& to) override;
  bool rename(const std::wstring& from, const std::wstring& to) override;
  std::wstring comparable(const std::wstring& path) const override;
};
