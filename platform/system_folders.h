#pragma once
// What the operating system itself says about the user's folders; folders.cpp puts the test
// overrides in front of these. One implementation per platform.
#include <string>

namespace platform::system {

std::wstring documentsFolder();
std::wstring picturesFolder();
std::wstring localAppDataFolder();

}  // namespace platform::system
