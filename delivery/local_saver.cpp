#include "delivery/local_saver.h"

#include "capture/output_name.h"

namespace {

PictureFiles& systemFiles() {
  static SystemPictureFiles* const files = new SystemPictureFiles;  // holds no state
  return *files;
}

}  // namespace

LocalSaver::LocalSaver() : files_(systemFiles()) {}

bool LocalSaver::saveLocalCopy(const EffectiveShot& shot, const std::wstring& capturedPath,
                               std::wstring_view stamp) const {
  const auto target = localTargetPath(shot, stamp);
  return target && copyIntoPlace(capturedPath, *target);
}

bool LocalSaver::copyIntoPlace(const std::wstring& from, const std::wstring& target) const {
  const std::wstring part = target + kSavingSuffix;
  if (files_.copy(from, part) && files_.rename(part, target)) return true;
  files_.remove(part);
  return false;
}
