#include "shots/shot_store.h"

#include <algorithm>
#include <string>

#include "settings/app_settings.h"
#include "platform/files.h"
#include "shots/shots_file.h"

namespace {

// Empty while the data folder is unknown: the file would otherwise land at the root.
std::wstring shotsFilePath() {
  const AppSettings& settings = AppSettings::instance();
  if (settings.getString(SettingId::DOCS_PATH).empty()) return {};
  return settings.sharedDataFolder() + kShotsFileName;
}

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
  }
  // The records go here, outside the lock; any still held elsewhere live on there.
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

void ShotStore::appendLocked(const ShotPtr& shot) {
  shot->SHOT_ID = static_cast<int32_t>(shots_.size());
  shot->isNew = false;
  shots_.push_back(shot);
}

uint32_t ShotStore::add(ShotPtr shot) {
  if (shot) {
    std::lock_guard guard(lock_);
    // A record already stored keeps its one slot.
    if (std::find(shots_.begin(), shots_.end(), shot) == shots_.end()) appendLocked(shot);
  }
  save();
  return count();
}

void ShotStore::remove(int64_t slot) {
  std::vector<ShotPtr> removed;
  {
    std::lock_guard guard(lock_);
    if (slot >= 0 && static_cast<uint64_t>(slot) < shots_.size()) {
      const auto at = shots_.begin() + static_cast<std::ptrdiff_t>(slot);
      removed.push_back(*at);
      shots_.erase(at);
    }
    for (size_t i = 0; i < shots_.size(); ++i) shots_[i]->SHOT_ID = static_cast<int32_t>(i);
  }
  save();
}

std::vector<ShotDefinition> ShotStore::copyAll() const {
  std::lock_guard guard(lock_);
  std::vector<ShotDefinition> records;
  records.reserve(shots_.size());
  for (const ShotPtr& shot : shots_) records.push_back(*shot);
  return records;
}

void ShotStore::save() {
  std::lock_guard saving(saveLock_);
  const std::wstring path = shotsFilePath();
  if (path.empty()) return;
  platform::writeFileAtomically(path, formatShotsFile(copyAll()));
}

void ShotStore::load() {
  const std::wstring path = shotsFilePath();
  std::string bytes;
  if (path.empty() || !platform::readWholeFile(path, bytes)) return;
  std::vector<ShotDefinition> records = parseShotsFile(bytes);
  if (records.empty()) return;
  {
    // All at once, so no other thread sees half a file.
    std::lock_guard guard(lock_);
    for (ShotDefinition& record : records) {
      appendLocked(std::make_shared<ShotDefinition>(std::move(record)));
    }
  }
  // Once for all sections: afterwards the file holds exactly the shots now in memory.
  save();
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

void ShotStore::forEach(const std::function<void(const ShotPtr&, ShotDefinition&)>& visit) {
  std::lock_guard guard(lock_);
  for (const ShotPtr& shot : shots_) visit(shot, *shot);
}
