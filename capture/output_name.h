#pragma once
// The lasting names of a capture: the local copy's path and the file name on the FTP server.
// Both take the same time text, made once per capture, and the same file name, so the two
// copies always match.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "shots/shot_settings.h"

// The longest file name the file systems take, in UTF-16 units.
inline constexpr size_t kMaxFileNameLength = 255;
// The longest full path the plain Windows file functions take, without the terminating null.
inline constexpr size_t kMaxPathLength = 259;

// `stem` + `extension` as one file name that every file system and FTP server takes and that
// stays inside its folder, whatever the user typed as the shot's name or time-stamp pattern:
// \ / : * ? " < > | and control characters become "-", a reserved device name (CON, NUL,
// COM1, ...) gets a leading "_", trailing dots and spaces go, and the stem is shortened so the
// whole name is at most `maxLength` long. A name that is already safe comes back unchanged.
std::wstring safeFileName(std::wstring_view stem, std::wstring_view extension, size_t maxLength);

// NAME, then "-" and the time text unless that is empty, then the format's extension, made
// safe as above with at most `maxLength` characters. Only the name is shortened: the time
// text tells one capture from the next, so cutting into it would have every capture replace
// the last. Nothing when even the time text and the extension (and one character of a name)
// do not fit.
std::optional<std::wstring> outputFileName(std::wstring_view name, std::wstring_view stamp,
                                           int32_t format, size_t maxLength = kMaxFileNameLength);

// The shot's local folder (the Pictures folder when it has none), a separator and the file
// name, shortened so the whole path fits kMaxPathLength. A folder that already ends in a
// separator gets a second one; file systems accept it. Nothing when the folder's path leaves
// no room for the time text: then no local copy can be saved without overwriting another.
std::optional<std::wstring> localTargetPath(const EffectiveShot& shot, std::wstring_view stamp);

// The folder the local copy goes to: the shot's own, or the Pictures folder.
std::wstring localFolderOf(const EffectiveShot& shot);

// "/" + FTP folder + "/" in front of the same file name as the local copy's, when the folder
// is not empty. The folder is used as typed: "/a/" gives "//a//Desk-...". Without a folder
// the name is relative to the directory the FTP login starts in. When the local folder leaves
// no room for a local copy, the server's file name is as long as a file name may be.
std::wstring remoteFileName(const EffectiveShot& shot, std::wstring_view stamp);

// The file name alone that remoteFileName() puts in the server's folder.
std::wstring serverFileName(const EffectiveShot& shot, std::wstring_view stamp);
// That name in the account's folder, as remoteFileName() builds it.
std::wstring remotePathIn(const FtpAccount& account, std::wstring_view fileName);
