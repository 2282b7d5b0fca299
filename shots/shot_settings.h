#pragma once
// A shot's values as a capture, a local save, an upload or the scheduler must use them:
// with "use global settings" on, the interval, pattern, format, folders and FTP account come
// from the application settings instead of the shot. A plain value, safe to keep on a worker.
#include <cstdint>
#include <string>

#include "shots/shot_definition.h"

class AppSettings;

struct FtpAccount {
  bool operator==(const FtpAccount&) const = default;

  std::wstring server;
  std::wstring user;
  std::wstring passwordCipherText;  // as stored; decrypt just before use
  std::wstring folder;
};

struct EffectiveShot {
  std::wstring name;
  int32_t rectX = 0;
  int32_t rectY = 0;
  int32_t rectWidth = 0;
  int32_t rectHeight = 0;
  bool autoEnabled = false;
  int32_t interval = 0;
  std::wstring timestampPattern;
  int32_t format = 0;
  std::wstring localFolder;
  FtpAccount ftp;
  // The shot's own whatever "use global settings" says.
  uint64_t recordId = 0;  // the stored record's uid: which shot's last picture to compare with
  std::wstring guid;      // the shot's lasting identity: whose pictures these are
  bool skipUnchanged = false;
  int32_t keepDays = 0;
  int32_t keepCount = 0;
  int32_t minFreeMb = 0;  // from the program's settings

  bool operator==(const EffectiveShot&) const = default;
};

EffectiveShot effectiveSettings(const ShotDefinition& shot, const AppSettings& settings);
