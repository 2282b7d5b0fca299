#pragma once
// The user's special folders and the program's own location.
#include <string>

namespace platform {

// The user's documents folder, without a trailing separator; created when missing.
// Empty when it cannot be determined.
std::wstring documentsFolder();

// The user's pictures folder, without a trailing separator; created when missing.
std::wstring picturesFolder();

// The user's own folder for program data on this machine (%LOCALAPPDATA%, or
// ~/.local/share on POSIX), without a trailing separator; created when missing. Empty when it
// cannot be determined.
std::wstring localAppDataFolder();

// The folder for temporary files, with a trailing separator.
std::wstring tempFolder();

// Full path of the running program.
std::wstring modulePath();

enum class UserFolder { kDocuments, kPictures, kLocalAppData };

// Tests point a user folder at a folder of their own, so that they never touch the real
// user's files; an empty path restores the system's answer. The program itself never calls
// these.
void overrideFolderForTests(UserFolder folder, std::wstring path);
// Makes the folder look as if the system had none, until the next override.
void removeFolderForTests(UserFolder folder);

}  // namespace platform
