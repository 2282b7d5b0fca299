#pragma once
// The application settings: 23 values kept as text, stored in AppSettings.idx.
#include <array>
#include <cstdint>
#include <mutex>
#include <string>

#include "platform/files.h"
#include "settings/setting_keys.h"

// Shared by the UI thread (which writes) and worker threads (which read): every access
// takes the lock, and getString hands out a copy.
class AppSettings {
 public:
  static AppSettings& instance();
  static void release();

  // Reads AppSettings.idx from the data folder (worked out afresh; the DOCS_PATH and the
  // HOME_PATH the file holds are taken only when they are still right). False when the file is
  // missing, unreadable or lacks any key. A file that exists but stays unreadable for a while
  // (locked, no permission) is never written in this run: see unreadableFile().
  bool load();
  // Writes the whole file atomically; false when it could not be written or must not be.
  bool save();
  // The settings file that load() found but could not read, so that the user can be told;
  // empty when there was none. A file that holds text but no key at all counts as unreadable
  // too: it is the user's, saved in some form this program does not know.
  std::wstring unreadableFile() const;
  platform::UnreadableReason unreadableReason() const;
  // Gives every key that load() did not find its default, makes the folders and saves.
  void applyDefaults();
  // DOCS_PATH := documents folder + "\Vemlix\" (the local application data folder when
  // there is no documents folder), and creates it and its SharedData folder. Leaves
  // DOCS_PATH empty when there is neither; save() then refuses to write.
  void prepareFolders();

  bool getBool(SettingId id) const;
  int32_t getInt(SettingId id) const;
  std::wstring getString(SettingId id) const;
  void setBool(SettingId id, bool value);
  void setInt(SettingId id, int32_t value);
  void setString(SettingId id, std::wstring value);

  // DOCS_PATH + "\SharedData\", where both data files live.
  std::wstring sharedDataFolder() const;
  std::wstring settingsFilePath() const;

  // The file's key text for an id, e.g. L"SCHED_ON=".
  static const wchar_t* keyText(SettingId id) { return settingKeyText(id); }

 private:
  AppSettings() = default;
  ~AppSettings() = default;

  // Creates DOCS_PATH and its SharedData folder; both may exist already.
  void createDataFolders() const;
  void protectUnreadableFile(const std::wstring& path, platform::UnreadableReason reason);
  std::array<std::wstring, kSettingCount> snapshot() const;

  // Guards values_ and foundByLoad_. All 22 entries exist from construction on, so a read
  // never changes the container.
  mutable std::mutex valuesLock_;
  std::array<std::wstring, kSettingCount> values_;
  // Which keys the last load() found in the file; applyDefaults() fills in the others.
  std::array<bool, kSettingCount> foundByLoad_{};
  // Set when the file could not be read; save() leaves it alone from then on.
  std::wstring unreadableFile_;
  platform::UnreadableReason unreadableReason_ = platform::UnreadableReason::kCannotOpen;
  // One save at a time, so two saves cannot interleave their snapshots and replacements.
  std::mutex saveLock_;
};
