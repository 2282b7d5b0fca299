#include "settings/setting_keys.h"

#include <array>
#include <cstddef>

namespace {

struct SettingInfo {
  const wchar_t* key;
  // Null for the two paths, which are worked out from the machine instead.
  const wchar_t* defaultValue;
};

constexpr std::array<SettingInfo, kSettingCount> kSettings{{
    {L"HOME_PATH=", nullptr},
    {L"DOCS_PATH=", nullptr},
    {L"VERSION=", kProgramVersion},
    {L"VERSION_PATH=", L"http://vemlix.example.com/vemlix/vemlix.version"},
    {L"VEMLIX_HOME=", L"http://vemlix.example.com/projects/vemlix/"},
    {L"SCHED_ON=", L"0"},
    {L"START_ON_TRAY=", L"0"},
    {L"LOAD_ON_START=", L"1"},
    {L"CHECK_UPDATES=", L"1"},
    {L"DISABLE_IDLE=", L"0"},
    {L"DISABLE_IDLE_INTERVAL=", L"0"},
    {L"AUTO_SHOT_ENABLE=", L"0"},
    {L"SHOT_INTERVAL=", L"60"},
    {L"SHOT_TIMESTAMP=", L"default"},
    {L"SHOT_FORMAT=", L"4"},
    {L"LOCAL_PATH=", L""},
    {L"FTP_FOLDER=", L""},
    {L"FTP_SERVER=", L""},
    {L"FTP_USER=", L""},
    {L"FTP_PASSWORD=", L""},
    {L"WND_XPOS=", L"400"},
    {L"WND_YPOS=", L"400"},
    {L"MIN_FREE_MB=", L"1024"},
}};

}  // namespace

const wchar_t* settingKeyText(SettingId id) {
  return isSetting(id) ? kSettings[settingSlot(id)].key : L"";
}

const wchar_t* settingDefault(SettingId id) {
  return isSetting(id) ? kSettings[settingSlot(id)].defaultValue : nullptr;
}
