#include "shots/shot_settings.h"

#include "settings/app_settings.h"
#include "shots/folder_variables.h"

EffectiveShot effectiveSettings(const ShotDefinition& shot, const AppSettings& settings) {
  EffectiveShot result;
  result.name = shot.NAME;
  result.rectX = shot.RECT_X;
  result.rectY = shot.RECT_Y;
  result.rectWidth = shot.RECT_WIDTH;
  result.rectHeight = shot.RECT_HEIGHT;
  result.autoEnabled = shot.AUTO_ENABLED;
  if (shot.USE_GLOBAL_SETTINGS) {
    result.interval = settings.getInt(SettingId::SHOT_INTERVAL);
    result.timestampPattern = settings.getString(SettingId::SHOT_TIMESTAMP);
    result.format = settings.getInt(SettingId::SHOT_FORMAT);
    result.localFolder = settings.getString(SettingId::LOCAL_PATH);
    result.ftp = {
        settings.getString(SettingId::FTP_SERVER), settings.getString(SettingId::FTP_USER),
        settings.getString(SettingId::FTP_PASSWORD), settings.getString(SettingId::FTP_FOLDER)};
  } else {
    result.interval = shot.AUTO_INTERVAL;
    result.timestampPattern = shot.TIMESTAMP;
    result.format = shot.FORMAT;
    result.localFolder = shot.LOCAL_PATH;
    result.ftp = {shot.FTP_SERVER, shot.FTP_USER, shot.FTP_PASS, shot.FTP_FOLDER};
  }
  // Once here, so the picture's save, its send and every retry see the same folders.
  result.localFolder = expandFolderVariables(result.localFolder);
  result.ftp.folder = expandFolderVariables(result.ftp.folder);
  result.recordId = shot.uid;
  result.guid = shot.SHOT_GUID;
  result.skipUnchanged = shot.SKIP_UNCHANGED;
  result.keepDays = shot.KEEP_DAYS;
  result.keepCount = shot.KEEP_COUNT;
  result.minFreeMb = settings.getInt(SettingId::MIN_FREE_MB);
  return result;
}
