#pragma once
// Copies a freshly captured image into the shot's local folder under its lasting name.
#include <string>
#include <string_view>

#include "delivery/picture_files.h"
#include "shots/shot_settings.h"

// A local copy is written under its final name and this until it is whole.
inline constexpr wchar_t kSavingSuffix[] = L".~vemlix";

class LocalSaver {
 public:
  LocalSaver();  // on the real file system
  explicit LocalSaver(PictureFiles& files) : files_(files) {}

  // Copies `capturedPath` to localTargetPath(shot, stamp), replacing a file of that name.
  // The captured file stays where it is: the upload reads it afterwards. False when the copy
  // failed, or when the folder leaves no room for the name; the upload goes ahead either way.
  bool saveLocalCopy(const EffectiveShot& shot, const std::wstring& capturedPath,
                     std::wstring_view stamp) const;

  // Writes the copy beside `target` and renames it into place, so that no half picture ever
  // lies under a final name and an older picture of that name survives a copy that fails.
  bool copyIntoPlace(const std::wstring& from, const std::wstring& target) const;

 private:
  PictureFiles& files_;
};
