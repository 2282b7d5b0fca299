#pragma once
// The "Vemlix Settings" dialog: start-up behaviour and the scheduler's idle limit, with the way
// to the default shot settings.
#include <windows.h>

class AppSettings;

// Modal. Save writes `settings` to AppSettings.idx and brings the Run value in line with
// "Launch on Windows Startup"; Cancel leaves both alone. True after Save.
bool runSettingsDialog(HWND owner, AppSettings& settings);
