#include "shots/shot_store.h"

#include <algorithm>
#include <chrono>
#include <string>

#include "platform/files.h"
#include "platform/text_codec.h"
#include "settings/app_settings.h"
#include "shots/shot_guid.h"
#include "shots/shots_file.h"

namespace {

// Empty while the data folder is unknown: the file would otherwise land at the root.
std::wstring shotsFilePath() {
  const AppSettings& settings = AppSettings::instance();
  if (settings.getString(SettingId::DOCS_PATH).empty()) return {};
  return settings.sharedDataFolder() + kShotsFileName;
}

// How long a locked shots file is tried again before the program runs without its shots.
constexpr std::chrono::seconds kReadPatience{2};

}  // namespace

ShotStore& ShotStore::instance() {
  static ShotStore* const store = new ShotStore();
  return *store;
}

void ShotStore::release() {
  ShotStore& store = instance();
  std::vector<ShotPtr> dropped;
  {
    std::lock_guard guard(store.lock_);
    dropped.swap(store.shots_);
    store.closed_ = true;
  }
  // The records go here, outside the lock; any still held elsewhere live on there.
}

void ShotStore::reopen() {
  std::lock_guard guard(lock_);
  shots_.clear();
  closed_ = false;
  unreadableFile_.clear();
}

uint32_t ShotStore::count() const {
  std::lock_guard guard(lock_);
  return static_cast<uint32_t>(shots_.size());
}

ShotPtr ShotStore::at(int64_t slot) const {
  std::lock_guard guard(lock_);
  if (slot < 0 || static_cast<uint64_t>(slot) >= shots_.size()) return nullptr;
  return shots_[static_cast<size_t>(slot)];
}

ShotPtr ShotStore::find(uint64_t uid) const {
  std::lock_guard guard(lock_);
  for (const ShotPtr& shot : shots_) {
    if (shot->uid == uid) return shot;
  }
  return nullptr;
}

ShotPtr ShotStore::findByGuid(const std::wstring& guid) const {
  std::lock_guard guard(lock_);
  return findByGuidLocked(guid);
}

ShotPtr ShotStore::findByGuidLocked(const std::wstring& guid) const {
  for (const ShotPtr& shot : shots_) {
    if (shot->SHOT_GUID == guid) return shot;
  }
  return nullptr;
}

void ShotStore::appendLocked(const ShotPtr& shot, std::string_view guidSeed) {
  if (shot->uid == 0) shot->uid = ++lastUid_;
  // A section copied by hand brings another shot's identity along: it gets one of its own.
  if (shot->SHOT_GUID.empty() || findByGuidLocked(shot->SHOT_GUID)) {
    shot->SHOT_GUID = guidSeed.empty() ? newShotGuid() : derivedShotGuid(guidSeed);
  }
  shot->SHOT_ID = static_cast<int32_t>(shots_.size());
  shot->isNew = false;
  shots_.push_back(shot);
}

uint32_t ShotStore::add(ShotPtr shot, bool* saved) {
  if (shot) {
    std::lock_guard guard(lock_);
    // A record already stored keeps its one slot.
    if (!closed_ && std::find(shots_.begin(), shots_.end(), shot) == shots_.end()) {
      appendLocked(shot);
    }
  }
  const bool written = save();
  if (saved) *saved = written;
  return count();
}

ShotPtr ShotStore::eraseLocked(size_t slot) {
  ShotPtr removed;
  if (slot < shots_.size()) {
    removed = std::move(shots_[slot]);
    shots_.erase(shots_.begin() + static_cast<std::ptrdiff_t>(slot));
  }
  for (size_t i = 0; i < shots_.size(); ++i) shots_[i]->SHOT_ID = static_cast<int32_t>(i);
  return removed;
}

bool ShotStore::remove(int64_t slot) {
  ShotPtr removed;  // goes after the lock, with whatever it holds
  {
    std::lock_guard guard(lock_);
    const bool inside = slot >= 0 && static_cast<uint64_t>(slot) < shots_.size();
    removed = eraseLocked(inside ? static_cast<size_t>(slot) : shots_.size());
  }
  return save();
}

bool ShotStore::remove(const ShotPtr& shot) {
  ShotPtr removed;
  {
    std::lock_guard guard(lock_);
    const auto found = std::find(shots_.begin(), shots_.end(), shot);
    removed = eraseLocked(static_cast<size_t>(found - shots_.begin()));
  }
  return save();
}

std::vector<ShotDefinition> ShotStore::copyAll() const {
  std::lock_guard guard(lock_);
  std::vector<ShotDefinition> records;
  records.reserve(shots_.size());
  for (const ShotPtr& shot : shots_) records.push_back(*shot);
  return records;
}

bool ShotStore::save() {
  std::lock_guard saving(saveLock_);
  const std::wstring path = shotsFilePath();
  {
    std::lock_guard guard(lock_);
    // The user's real shots lie in a file that could not be read: leave it as it is.
    if (closed_ || !unreadableFile_.empty()) return false;
  }
  if (path.empty()) return false;
  return platform::writeFileAtomically(path, formatShotsFile(copyAll()));
}

ShotStore::LoadResult ShotStore::load() {
  const std::wstring path = shotsFilePath();
  if (path.empty()) return LoadResult::kNoFile;
  std::string bytes;
  switch (platform::readWholeFilePatiently(path, bytes, kReadPatience)) {
    case platform::ReadResult::kRead:
      break;
    case platform::ReadResult::kMissing:
      return LoadResult::kNoFile;
    case platform::ReadResult::kUnreadable:
      protectUnreadableFile(path, platform::UnreadableReason::kCannotOpen);
      return LoadResult::kUnreadable;
  }
  std::vector<ShotDefinition> records = parseShotsFile(bytes);
  if (records.empty()) {
    if (isBlankText(decodeTextFile(bytes))) return LoadResult::kLoaded;
    protectUnreadableFile(path, platform::UnreadableReason::kNotUnderstood);
    return LoadResult::kUnreadable;
  }
  {
    // All at once, so no other thread sees half a file.
    std::lock_guard guard(lock_);
    if (closed_) return LoadResult::kLoaded;
    for (ShotDefinition& record : records) {
      const std::string seed =
          encodeUtf8(formatShots({record}), false) + "#" + std::to_string(shots_.size());
      appendLocked(std::make_shared<ShotDefinition>(std::move(record)), seed);
    }
  }
  // Once for all sections: afterwards the file holds exactly the shots now in memory.
  save();
  return LoadResult::kLoaded;
}

void ShotStore::protectUnreadableFile(const std::wstring& path, platform::UnreadableReason reason) {
  std::lock_guard guard(lock_);
  unreadableFile_ = path;
  unreadableReason_ = reason;
}

std::wstring ShotStore::unreadableFile() const {
  std::lock_guard guard(lock_);
  return unreadableFile_;
}

platform::UnreadableReason ShotStore::unreadableReason() const {
  std::lock_guard guard(lock_);
  return unreadableReason_;
}

ShotDefinition ShotStore::copy(const ShotPtr& shot) const {
  if (!shot) return {};
  std::lock_guard guard(lock_);
  return *shot;
}

void ShotStore::update(const ShotPtr& shot, const std::function<void(ShotDefinition&)>& change) {
  if (!shot) return;
  std::lock_guard guard(lock_);
  change(*shot);
}

bool ShotStore::updateIfStored(const ShotPtr& shot,
                               const std::function<void(ShotDefinition&)>& change) {
  if (!shot) return false;
  std::lock_guard guard(lock_);
  if (std::find(shots_.begin(), shots_.end(), shot) == shots_.end()) return false;
  change(*shot);
  return true;
}

std::set<std::wstring> ShotStore::names() const {
  std::lock_guard guard(lock_);
  std::set<std::wstring> result;
  for (const ShotPtr& shot : shots_) result.insert(shot->NAME);
  return result;
}

void ShotStore::forEach(const std::function<void(const ShotPtr&, ShotDefinition&)>& visit) {
  std::lock_guard guard(lock_);
  for (const ShotPtr& shot : shots_) visit(shot, *shot);
}
