#pragma once
// The screen-region picker: a semi-transparent, always-on-top window over the screen that the
// user moves and sizes to frame a shot, each on a thread of its own.
#include <windows.h>

#include "shots/shot_store.h"

class NewShotWindow {
 public:
  static NewShotWindow& instance();
  static void release();

  // Registers the overlay's window class.
  bool registerClass(HINSTANCE module);

  // Opens an overlay for `shot`: a new record (isNew set, not in the store) or a stored one.
  // Returns at once.
  void open(const ShotPtr& shot);

 private:
  NewShotWindow() = default;

  HINSTANCE module_ = nullptr;
};
