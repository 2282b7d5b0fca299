#include "app/update_gate_win.h"

#include <windows.h>
// After windows.h, which it builds on.
#include <shellapi.h>

#include <string>

#include "settings/app_settings.h"
#include "app/update_checker_win.h"

bool offerUpdateIfPublished() {
  AppSettings& settings = AppSettings::instance();
  if (!settings.getBool(SettingId::CHECK_UPDATES)) return false;
  if (!UpdateChecker::isNewerVersionPublished()) return false;
  if (MessageBoxW(nullptr, L"There is a new version of Vemlix, would you like to update?",
                  L"Tarnwelt Vemlix", MB_YESNO) != IDYES) {
    return false;
  }
  const std::wstring home = settings.getString(SettingId::VEMLIX_HOME);
  ShellExecuteW(nullptr, nullptr, home.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  AppSettings::release();
  return true;
}
