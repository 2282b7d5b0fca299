#include "settings/app_settings.h"

#include <algorithm>
#include <chrono>
#include <utility>

#include "platform/files.h"
#include "platform/folders.h"
#include "platform/text_codec.h"
#include "settings/number_text.h"
#include "settings/settings_file.h"

namespace {

constexpr wchar_t kSeparator = platform::kPathSeparator;
// How long a locked settings file is tried again before the program runs without it.
constexpr std::chrono::seconds kReadPatience{2};

// The running program's folder, with its trailing separator.
std::wstring programFolder() {
  const std::wstring program = platform::modulePath();
  const size_t separator = program.find_last_of(kSeparator);
  return separator == std::wstring::npos ? std::wstring() : program.substr(0, separator + 1);
}

// DOCS_PATH ends with a separator; a second one would work but shows in messages to the user.
std::wstring sharedDataFolderOf(const std::wstring& docs) {
  std::wstring folder = docs;
  if (!folder.empty() && folder.back() != kSeparator) folder += kSeparator;
  return folder + L"SharedData" + kSeparator;
}

bool holdsAnySetting(const FoundSettings& found) {
  return std::any_of(found.begin(), found.end(),
                     [](const auto& value) { return value.has_value(); });
}

std::wstring settingsFileOf(const std::wstring& docs) {
  return sharedDataFolderOf(docs) + L"AppSettings.idx";
}

struct Singleton {
  std::mutex lock;
  AppSettings* object = nullptr;
};

Singleton& singleton() {
  static Singleton holder;
  return holder;
}

}  // namespace

AppSettings& AppSettings::instance() {
  Singleton& holder = singleton();
  std::lock_guard guard(holder.lock);
  if (!holder.object) holder.object = new AppSettings();
  return *holder.object;
}

void AppSettings::release() {
  Singleton& holder = singleton();
  AppSettings* object = nullptr;
  {
    std::lock_guard guard(holder.lock);
    object = std::exchange(holder.object, nullptr);
  }
  delete object;
}

bool AppSettings::load() {
  if (getString(SettingId::DOCS_PATH).empty()) prepareFolders();
  const std::wstring docs = getString(SettingId::DOCS_PATH);
  FoundSettings found;
  std::string bytes;
  // Without a data folder there is nothing to read: never look at the root of a drive.
  if (!docs.empty()) {
    switch (platform::readWholeFilePatiently(settingsFileOf(docs), bytes, kReadPatience)) {
      case platform::ReadResult::kRead:
        found = parseSettingsFile(bytes);
        if (!holdsAnySetting(found) && !isBlankText(decodeTextFile(bytes))) {
          protectUnreadableFile(settingsFileOf(docs), platform::UnreadableReason::kNotUnderstood);
        }
        break;
      case platform::ReadResult::kMissing:
        break;
      case platform::ReadResult::kUnreadable:
        protectUnreadableFile(settingsFileOf(docs), platform::UnreadableReason::kCannotOpen);
        break;
    }
  }
  // The data folder is where this file was found, whatever it says: a DOCS_PATH copied from
  // another profile or left from a moved Documents folder would send every save astray.
  // Taking it as missing has the file written again with the folder it really lies in.
  auto& storedDocs = found[settingSlot(SettingId::DOCS_PATH)];
  if (storedDocs && *storedDocs != docs) storedDocs.reset();
  // Likewise the program's folder is where it runs now: a copy installed over a portable one,
  // or moved, would otherwise open the old copy's help and start the old copy at logon.
  auto& storedHome = found[settingSlot(SettingId::HOME_PATH)];
  if (storedHome && *storedHome != programFolder()) storedHome.reset();

  bool complete = true;
  std::lock_guard guard(valuesLock_);
  for (size_t i = 0; i < found.size(); ++i) {
    foundByLoad_[i] = found[i].has_value();
    complete = complete && foundByLoad_[i];
    if (found[i]) values_[i] = std::move(*found[i]);
  }
  values_[settingSlot(SettingId::VERSION)] = kProgramVersion;
  return complete;
}

void AppSettings::protectUnreadableFile(const std::wstring& path,
                                        platform::UnreadableReason reason) {
  std::lock_guard guard(valuesLock_);
  unreadableFile_ = path;
  unreadableReason_ = reason;
}

std::wstring AppSettings::unreadableFile() const {
  std::lock_guard guard(valuesLock_);
  return unreadableFile_;
}

platform::UnreadableReason AppSettings::unreadableReason() const {
  std::lock_guard guard(valuesLock_);
  return unreadableReason_;
}

void AppSettings::applyDefaults() {
  std::array<bool, kSettingCount> found;
  {
    std::lock_guard guard(valuesLock_);
    found = foundByLoad_;
    for (size_t i = 0; i < static_cast<size_t>(kSettingCount); ++i) {
      const wchar_t* fallback = settingDefault(static_cast<SettingId>(i));
      if (!found[i] && fallback) values_[i] = fallback;
    }
    values_[settingSlot(SettingId::VERSION)] = kProgramVersion;
  }
  if (!found[settingSlot(SettingId::HOME_PATH)]) setString(SettingId::HOME_PATH, programFolder());
  if (found[settingSlot(SettingId::DOCS_PATH)]) {
    createDataFolders();
  } else {
    prepareFolders();
  }
  save();
}

void AppSettings::prepareFolders() {
  // Without a Documents folder, the user's own local program data: never the root of a drive.
  std::wstring base = platform::documentsFolder();
  if (base.empty()) base = platform::localAppDataFolder();
  setString(SettingId::DOCS_PATH,
            base.empty() ? std::wstring() : base + kSeparator + L"Vemlix" + kSeparator);
  createDataFolders();
}

void AppSettings::createDataFolders() const {
  const std::wstring docs = getString(SettingId::DOCS_PATH);
  if (docs.empty()) return;
  platform::createFolder(docs);
  platform::createFolder(sharedDataFolder());
}

bool AppSettings::save() {
  std::lock_guard guard(saveLock_);
  const SettingValues values = snapshot();
  const std::wstring& docs = values[settingSlot(SettingId::DOCS_PATH)];
  // A file that could not be read holds the user's real settings: this run must not replace
  // them with the defaults it runs on.
  if (docs.empty() || !unreadableFile().empty()) return false;
  return platform::writeFileAtomically(settingsFileOf(docs), formatSettingsFile(values));
}

std::array<std::wstring, kSettingCount> AppSettings::snapshot() const {
  std::lock_guard guard(valuesLock_);
  return values_;
}

bool AppSettings::getBool(SettingId id) const {
  return getString(id) == L"1";
}

int32_t AppSettings::getInt(SettingId id) const {
  return parseDecimal(getString(id));
}

std::wstring AppSettings::getString(SettingId id) const {
  if (!isSetting(id)) return {};
  std::lock_guard guard(valuesLock_);
  return values_[settingSlot(id)];
}

void AppSettings::setBool(SettingId id, bool value) {
  setString(id, value ? L"1" : L"0");
}

void AppSettings::setInt(SettingId id, int32_t value) {
  setString(id, decimalText(value));
}

void AppSettings::setString(SettingId id, std::wstring value) {
  if (!isSetting(id)) return;
  std::lock_guard guard(valuesLock_);
  values_[settingSlot(id)] = std::move(value);
}

std::wstring AppSettings::sharedDataFolder() const {
  return sharedDataFolderOf(getString(SettingId::DOCS_PATH));
}

std::wstring AppSettings::settingsFilePath() const {
  return settingsFileOf(getString(SettingId::DOCS_PATH));
}
