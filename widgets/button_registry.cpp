#include "widgets/button_registry.h"

#include <utility>

ButtonRegistry& ButtonRegistry::instance() {
  // Never destroyed: a button on an overlay's thread may look itself up while the program ends.
  static ButtonRegistry* const registry = new ButtonRegistry();
  return *registry;
}

void ButtonRegistry::insert(HWND buttonWindow, ButtonRecordPtr record) {
  std::lock_guard guard(lock_);
  records_[buttonWindow] = std::move(record);
}

ButtonRecordPtr ButtonRegistry::find(HWND buttonWindow) const {
  std::lock_guard guard(lock_);
  const auto found = records_.find(buttonWindow);
  return found == records_.end() ? nullptr : found->second;
}

void ButtonRegistry::erase(HWND buttonWindow) {
  ButtonRecordPtr erased;
  std::lock_guard guard(lock_);
  const auto found = records_.find(buttonWindow);
  if (found == records_.end()) return;
  erased = std::move(found->second);
  records_.erase(found);
}

void ButtonRegistry::clear() {
  std::map<HWND, ButtonRecordPtr> cleared;
  {
    std::lock_guard guard(lock_);
    cleared.swap(records_);
  }
}

size_t ButtonRegistry::size() const {
  std::lock_guard guard(lock_);
  return records_.size();
}
