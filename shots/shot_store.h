#pragma once
// The in-memory collection of shots by slot (slot == SHOT_ID), mirrored in ShotsData.idx.
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"
#include "shots/shot_definition.h"

// Records are shared: a worker that still holds one keeps it alive after Delete Shot.
using ShotPtr = std::shared_ptr<ShotDefinition>;

// Used from the UI thread, the New Shot window's thread and the scheduler's workers. Every
// operation takes the store lock; the fields of a stored record are read and changed only
// through copy(), update() and forEach(), which hold it too. The callbacks of update() and
// forEach() run under that lock and must not call back into the store.
//
// Saves are serialised and each writes a snapshot taken after the previous one was written,
// so the file always ends up holding the latest state; a save replaces the file atomically.
class ShotStore {
 public:
  // Thread-safe. The store object itself is never destroyed, so a worker that still holds
  // the reference after release() finds an empty store rather than freed memory.
  static ShotStore& instance();
  // Drops every record (threads holding one keep it alive) and closes the store: the program
  // is ending, and a late change (an overlay saving as the program goes) must not write an
  // empty ShotsData.idx over the user's shots. A closed store is empty and stays so.
  static void release();
  // Opens a released store again, empty, as a newly started program finds it (for tests,
  // which start and end the program's pieces many times in one process).
  void reopen();

  uint32_t count() const;
  ShotPtr at(int64_t slot) const;    // null when slot < 0 or slot >= count()
  ShotPtr find(uint64_t uid) const;  // the stored record with that uid; null when none
  ShotPtr findByGuid(const std::wstring& guid) const;  // null when no stored shot has it
  // Null adds nothing; saves in every case; returns count(). `saved`, when given, tells
  // whether the file was written.
  uint32_t add(ShotPtr shot, bool* saved = nullptr);
  bool remove(int64_t slot);  // saves in every case; false when the file was not written
  // Removes `shot` wherever it is now; saves as remove() does.
  bool remove(const ShotPtr& shot);
  // Writes ShotsData.idx; false when it could not be written, or must not be (a closed store,
  // a file that load() could not read).
  bool save();

  enum class LoadResult { kLoaded, kNoFile, kUnreadable };
  // Appends the shots of ShotsData.idx with ids following the ones already held, and
  // rewrites the file once in its own layout when any were found. A missing file changes
  // nothing. A file that exists but stays unreadable for a while (locked by another program,
  // no permission) changes nothing either, and is never written in this run.
  LoadResult load();
  // The file load() found but could not read, for telling the user; empty when none. A file
  // that holds text but no section at all counts as unreadable too.
  std::wstring unreadableFile() const;
  platform::UnreadableReason unreadableReason() const;

  // A consistent copy of a record's fields.
  ShotDefinition copy(const ShotPtr& shot) const;
  // Changes a record under the lock (the caller saves when the change should be kept).
  void update(const ShotPtr& shot, const std::function<void(ShotDefinition&)>& change);
  // The same, only while the record is still in the store, checked under the same lock: false,
  // and no change, when it was removed (Delete Shot) before.
  bool updateIfStored(const ShotPtr& shot, const std::function<void(ShotDefinition&)>& change);
  // The NAME of every stored shot.
  std::set<std::wstring> names() const;
  // Visits every record in slot order under the lock.
  void forEach(const std::function<void(const ShotPtr&, ShotDefinition&)>& visit);

 private:
  ShotStore() = default;
  ~ShotStore() = default;

  // Snapshot of every record's fields in slot order.
  std::vector<ShotDefinition> copyAll() const;
  void protectUnreadableFile(const std::wstring& path, platform::UnreadableReason reason);
  // Gives the record the next slot, and an identity when it has none or one that another
  // stored shot has: derived from `guidSeed`, or random when that is empty. lock_ must be held.
  void appendLocked(const ShotPtr& shot, std::string_view guidSeed = {});
  ShotPtr findByGuidLocked(const std::wstring& guid) const;
  // Takes the record out of `slot` (none when the slot is past the end) and renumbers the
  // others; lock_ must be held.
  ShotPtr eraseLocked(size_t slot);

  // Guards shots_, closed_, unreadableFile_ and the fields of every record in shots_.
  mutable std::mutex lock_;
  // Slot i holds the record whose SHOT_ID is i.
  std::vector<ShotPtr> shots_;
  bool closed_ = false;
  uint64_t lastUid_ = 0;
  std::wstring unreadableFile_;
  platform::UnreadableReason unreadableReason_ = platform::UnreadableReason::kCannotOpen;
  // Held for a whole save, taken before lock_ and never while holding it.
  std::mutex saveLock_;
};
