#pragma once
// What to tell the user at start about data files that exist but could not be read.
#include <string>

class AppSettings;
class ShotStore;

// The warning, naming each file and why; empty when every file could be read.
std::wstring unreadableFilesMessage(const AppSettings& settings, const ShotStore& store);
