#pragma once
// The lasting names of a capture: the local copy's path and the file name on the FTP server.
// Both take the same time text, made once per capture, so the two copies always match.
#include <cstdint>
#include <string>
#include <string_view>

#include "shots/shot_settings.h"

// NAME, then "-" and the time text unless that is empty, then the format's extension.
std::wstring outputFileName(std::wstring_view name, std::wstring_view stamp, int32_t format);

// The shot's local folder (the Pictures folder when it has none), a separator and the file
// name. A folder that already ends in a separator gets a second one; file systems accept it.
std::wstring localTargetPath(const EffectiveShot& shot, std::wstring_view stamp);

// "/" + FTP folder + "/" in front of the file name when the folder is not empty. The folder is
// used as typed: "/a/" gives "//a//Desk-...". Without a folder the name is relative to the
// directory the FTP login starts in.
std::wstring remoteFileName(const EffectiveShot& shot, std::wstring_view stamp);
