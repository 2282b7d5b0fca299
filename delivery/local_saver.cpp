#include "delivery/local_saver.h"

#include "capture/output_name.h"
#include "platform/files.h"

bool LocalSaver::saveLocalCopy(const EffectiveShot& shot, const std::wstring& capturedPath,
                               std::wstring_view stamp) const {
  const auto target = localTargetPath(shot, stamp);
  return target && platform::copyFile(capturedPath, *target);
}
