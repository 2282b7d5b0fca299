#pragma once
// One named, configured screen capture. Stored fields carry the names of their file keys.
#include <cstdint>
#include <string>

struct ShotDefinition {
  int32_t SHOT_ID = 0;
  bool AUTO_ENABLED = false;
  bool FULL_SCREEN = false;
  std::wstring NAME;
  int32_t RECT_X = 0;
  int32_t RECT_Y = 0;
  int32_t RECT_WIDTH = 0;
  int32_t RECT_HEIGHT = 0;
  int32_t PREV_RECT_X = 0;
  int32_t PREV_RECT_Y = 0;
  int32_t PREV_RECT_WIDTH = 0;
  int32_t PREV_RECT_HEIGHT = 0;
  int32_t DRAW_RECT_X = 0;
  int32_t DRAW_RECT_Y = 0;
  int32_t DRAW_RECT_WIDTH = 0;
  int32_t DRAW_RECT_HEIGHT = 0;
  std::wstring TIMESTAMP;
  std::wstring LOCAL_PATH;
  std::wstring FTP_FOLDER;
  std::wstring FTP_SERVER;
  std::wstring FTP_USER;
  std::wstring FTP_PASS;  // cipher-text form
  bool USE_GLOBAL_SETTINGS = false;
  bool USE_OWN_LOCAL_SETTINGS = false;
  bool USE_OWN_FTP_SETTINGS = false;
  int32_t AUTO_INTERVAL = 0;
  int32_t FORMAT = 0;
  bool DEFAULT_FTP_SERVER = false;
  // Keys added later, written after the first 28: files without them read as these defaults.
  int32_t KEEP_DAYS = 0;   // 0 keeps every picture
  int32_t KEEP_COUNT = 0;  // 0 sets no limit
  bool SKIP_UNCHANGED = false;
  std::wstring ACTIVE_HOURS;  // "HH:MM-HH:MM" local time; empty is all day
  std::wstring ACTIVE_DAYS;   // seven '1'/'0', Monday first; empty is every day
  // The shot's lasting identity: it owns the shot's pictures whatever the shot is renamed to,
  // and no other shot ever has it. Given by the store; never edited.
  std::wstring SHOT_GUID;

  // Run-time only, never written to the file.
  // Names the record for the whole run, whatever slot it moves to: given by the store when the
  // record goes in (0 before), never reused. Windows keep it instead of the record itself.
  uint64_t uid = 0;
  bool isNew = false;
  int32_t tickCount = 0;
  std::wstring capturedFile;

  bool operator==(const ShotDefinition&) const = default;
};
