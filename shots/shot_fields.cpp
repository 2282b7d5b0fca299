#include "shots/shot_fields.h"

#include <type_traits>

namespace {

constexpr std::array<ShotField, kShotFieldCount> kShotFields = {{
    {L"SHOT_ID=", &ShotDefinition::SHOT_ID},
    {L"AUTO_ENABLED=", &ShotDefinition::AUTO_ENABLED},
    {L"FULL_SCREEN=", &ShotDefinition::FULL_SCREEN},
    {L"NAME=", &ShotDefinition::NAME},
    {L"RECT_X=", &ShotDefinition::RECT_X},
    {L"RECT_Y=", &ShotDefinition::RECT_Y},
    {L"RECT_WIDTH=", &ShotDefinition::RECT_WIDTH},
    {L"RECT_HEIGHT=", &ShotDefinition::RECT_HEIGHT},
    {L"PREV_RECT_X=", &ShotDefinition::PREV_RECT_X},
    {L"PREV_RECT_Y=", &ShotDefinition::PREV_RECT_Y},
    {L"PREV_RECT_WIDTH=", &ShotDefinition::PREV_RECT_WIDTH},
    {L"PREV_RECT_HEIGHT=", &ShotDefinition::PREV_RECT_HEIGHT},
    {L"DRAW_RECT_X=", &ShotDefinition::DRAW_RECT_X},
    {L"DRAW_RECT_Y=", &ShotDefinition::DRAW_RECT_Y},
    {L"DRAW_RECT_WIDTH=", &ShotDefinition::DRAW_RECT_WIDTH},
    {L"DRAW_RECT_HEIGHT=", &ShotDefinition::DRAW_RECT_HEIGHT},
    {L"TIMESTAMP=", &ShotDefinition::TIMESTAMP},
    {L"LOCAL_PATH=", &ShotDefinition::LOCAL_PATH},
    {L"FTP_FOLDER=", &ShotDefinition::FTP_FOLDER},
    {L"FTP_SERVER=", &ShotDefinition::FTP_SERVER},
    {L"FTP_USER=", &ShotDefinition::FTP_USER},
    {L"FTP_PASS=", &ShotDefinition::FTP_PASS},
    {L"USE_GLOBAL_SETTINGS=", &ShotDefinition::USE_GLOBAL_SETTINGS},
    {L"USE_OWN_LOCAL_SETTINGS=", &ShotDefinition::USE_OWN_LOCAL_SETTINGS},
    {L"USE_OWN_FTP_SETTINGS=", &ShotDefinition::USE_OWN_FTP_SETTINGS},
    {L"AUTO_INTERVAL=", &ShotDefinition::AUTO_INTERVAL},
    {L"FORMAT=", &ShotDefinition::FORMAT},
    {L"DEFAULT_FTP_SERVER=", &ShotDefinition::DEFAULT_FTP_SERVER},
    {L"KEEP_DAYS=", &ShotDefinition::KEEP_DAYS},
    {L"KEEP_COUNT=", &ShotDefinition::KEEP_COUNT},
    {L"SKIP_UNCHANGED=", &ShotDefinition::SKIP_UNCHANGED},
    {L"ACTIVE_HOURS=", &ShotDefinition::ACTIVE_HOURS},
    {L"ACTIVE_DAYS=", &ShotDefinition::ACTIVE_DAYS},
    {L"SHOT_GUID=", &ShotDefinition::SHOT_GUID},
}};

}  // namespace

const std::array<ShotField, kShotFieldCount>& shotFields() {
  return kShotFields;
}

void mergeChangedFields(ShotDefinition& record, const ShotDefinition& base,
                        const ShotDefinition& edited) {
  for (const ShotField& key : kShotFields) {
    std::visit(
        [&](auto field) {
          if constexpr (std::is_same_v<decltype(field), IntField>) {
            if (field == &ShotDefinition::SHOT_ID) return;
          }
          if constexpr (std::is_same_v<decltype(field), TextField>) {
            if (field == &ShotDefinition::SHOT_GUID) return;
          }
          if (edited.*field != base.*field) record.*field = edited.*field;
        },
        key.field);
  }
}
