#include "capture/output_name.h"

#include "capture/image_format.h"
#include "platform/files.h"
#include "platform/folders.h"

std::wstring outputFileName(std::wstring_view name, std::wstring_view stamp, int32_t format) {
  std::wstring fileName(name);
  if (!stamp.empty()) {
    fileName += L'-';
    fileName += stamp;
  }
  fileName += ImageFormat::byIndex(format).extension;
  return fileName;
}

std::wstring localTargetPath(const EffectiveShot& shot, std::wstring_view stamp) {
  std::wstring path = shot.localFolder.empty() ? platform::picturesFolder() : shot.localFolder;
  path += platform::kPathSeparator;
  path += outputFileName(shot.name, stamp, shot.format);
  return path;
}

std::wstring remoteFileName(const EffectiveShot& shot, std::wstring_view stamp) {
  std::wstring path;
  if (!shot.ftp.folder.empty()) path = L"/" + shot.ftp.folder + L"/";
  path += outputFileName(shot.name, stamp, shot.format);
  return path;
}
