#pragma once
// Copies a freshly captured image into the shot's local folder under its lasting name.
#include <string>
#include <string_view>

#include "shots/shot_settings.h"

class LocalSaver {
 public:
  // Copies `capturedPath` to localTargetPath(shot, stamp), replacing a file of that name.
  // The captured file stays where it is: the upload reads it afterwards. False when the copy
  // failed, or when the folder leaves no room for the name; the upload goes ahead either way.
  bool saveLocalCopy(const EffectiveShot& shot, const std::wstring& capturedPath,
                     std::wstring_view stamp) const;
};
