#pragma once
// A fresh, empty folder for one test, removed with everything in it when the test ends.
#include <string>

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // Full path, without a trailing separator.
  const std::wstring& path() const { return path_; }
  // path() + separator + name.
  std::wstring file(const std::wstring& name) const;

 private:
  std::wstring path_;
};

// Test helpers for raw file contents.
std::string readBytes(const std::wstring& path);
void writeBytes(const std::wstring& path, const std::string& bytes);
