#pragma once
// The in-memory collection of shots by slot (slot == SHOT_ID), mirrored in ShotsData.idx.
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "shots/shot_definition.h"

// Records are shared: a worker that still holds one keeps it alive after Delete Shot.
using ShotPtr = std::shared_ptr<ShotDefinition>;

// Used from the UI thread, the New Shot window's thread and the scheduler's workers. Every
// operation takes the store lock; the fields of a stored record are read and changed only
// through copy(), update() and forEach(), which hold it too.
class ShotStore {
 public:
  static ShotStore& instance();
  static void release();

  uint32_t count() const;
  ShotPtr at(int64_t slot) const;  // null when slot < 0 or slot >= count()
  uint32_t add(ShotPtr shot);      // null adds nothing; saves in every case; returns count()
  void remove(int64_t slot);       // saves in every case
  void save();
  void load();

  // A consistent copy of a record's fields.
  ShotDefinition copy(const ShotPtr& shot) const;
  // Changes a record under the lock (the caller saves when the change should be kept).
  void update(const ShotPtr& shot, const std::function<void(ShotDefinition&)>& change);
  // Visits every record in slot order under the lock.
  void forEach(const std::function<void(const ShotPtr&, ShotDefinition&)>& visit);

 private:
  ShotStore() = default;
  // ... implementation detail is the shots helper's to finish
};
