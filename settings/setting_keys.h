#pragma once
// The keys of AppSettings.idx, in the file's order, with the value each takes by default: what
// the settings store and the file's reader and writer both need, so that neither needs the other.
#include <cstddef>
#include <cstdint>

enum class SettingId : int32_t {
  HOME_PATH = 0,
  DOCS_PATH,
  VERSION,
  VERSION_PATH,
  VEMLIX_HOME,
  SCHED_ON,
  START_ON_TRAY,
  LOAD_ON_START,
  CHECK_UPDATES,
  DISABLE_IDLE,
  DISABLE_IDLE_INTERVAL,
  AUTO_SHOT_ENABLE,
  SHOT_INTERVAL,
  SHOT_TIMESTAMP,
  SHOT_FORMAT,
  LOCAL_PATH,
  FTP_FOLDER,
  FTP_SERVER,
  FTP_USER,
  FTP_PASSWORD,
  WND_XPOS,
  WND_YPOS,
  MIN_FREE_MB,
};
inline constexpr int kSettingCount = 23;

// The program's own version, written back over whatever the file says.
inline constexpr const wchar_t* kProgramVersion = L"1.3";

// Where a setting's value lies in an array of kSettingCount.
constexpr size_t settingSlot(SettingId id) {
  return static_cast<size_t>(id);
}
// A SettingId made from an integer may be no setting at all.
constexpr bool isSetting(SettingId id) {
  return settingSlot(id) < static_cast<size_t>(kSettingCount);
}

// "HOME_PATH=", with its "="; empty for an id that is no setting.
const wchar_t* settingKeyText(SettingId id);
// The value a missing key takes; null for the two paths, which are worked out from the machine.
const wchar_t* settingDefault(SettingId id);
