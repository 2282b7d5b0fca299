#include <shlobj.h>
#include <windows.h>

#include "platform/folders.h"
#include "platform/system_folders.h"

namespace platform {
namespace {

std::wstring specialFolder(int csidl) {
  wchar_t path[MAX_PATH] = {};
  if (!SHGetSpecialFolderPathW(nullptr, path, csidl, TRUE)) return {};
  return path;
}

}  // namespace

namespace system {

std::wstring documentsFolder() {
  return specialFolder(CSIDL_PERSONAL);
}
std::wstring picturesFolder() {
  return specialFolder(CSIDL_MYPICTURES);
}
std::wstring localAppDataFolder() {
  return specialFolder(CSIDL_LOCAL_APPDATA);
}

}  // namespace system

std::wstring tempFolder() {
  wchar_t path[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathW(MAX_PATH + 1, path);
  if (length == 0 || length > MAX_PATH) return {};
  std::wstring folder(path, length);
  if (folder.back() != L'\\') folder.push_back(L'\\');
  return folder;
}

std::wstring modulePath() {
  wchar_t path[520] = {};
  const DWORD length = GetModuleFileNameW(nullptr, path, 520);
  // A full buffer means the path was cut short; a cut path names the wrong folder.
  if (length == 0 || length >= 520) return {};
  return std::wstring(path, length);
}

}  // namespace platform
