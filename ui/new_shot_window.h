#pragma once
// The screen-region picker: a semi-transparent, always-on-top window over the screen that the
// user drags and sizes to frame a shot. Each overlay runs on a thread of its own with its own
// message loop, so the main window stays usable, and several may be open at once.
//
// An overlay frames its own copy of the shot: the full-screen toggle changes only the copy. Save
// starts the settings dialog from the stored shot as it is by then, and puts back only what the
// overlay and its dialogs changed, in one step: workers never see a half-edited shot, and what
// others changed meanwhile (the list's check box, another overlay) stays. Cancel drops the copy,
// and the stored shot stays exactly as it was.
#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <set>
#include <string>

#include "shots/shot_store.h"
#include "ui/shot_overlay.h"

class NewShotWindow {
 public:
  static NewShotWindow& instance();
  // The program is ending: every open overlay is cancelled, and one whose window is still being
  // made cancels itself once it is (its thread ends by itself).
  static void release();
  // After release(): waits until every overlay's thread has ended or `limit` has passed; true
  // when none runs. What they use (the settings, the store) must outlive them.
  static bool waitForOverlays(std::chrono::milliseconds limit);

  // Registers the overlay's window class.
  bool registerClass(HINSTANCE module);

  // Opens an overlay at the shot's rectangle and returns at once: for a new shot (isNew set,
  // not in the store) or for one in the store, which the overlay changes only on Save. The
  // owner (the main window) keeps the overlay above it and off the taskbar.
  void open(const ShotPtr& shot, HWND owner);

  // The overlay windows now open, for the end of the program and for tests.
  std::set<HWND> openWindows() const;

  // The names of the new shots whose overlays are open: not in the store yet, but taken.
  std::set<std::wstring> pendingNames() const;

  // Hears, on an overlay's thread, that a shot was saved into the store.
  void setSavedListener(std::function<void()> listener);

  // The known_hosts file that the Test button of the overlays' Ftp Settings checks SFTP host
  // keys with; overlays opened later use it.
  void setKnownHostsPath(std::wstring path);

 private:
  NewShotWindow() = default;

  void opened(HWND window);
  void saved() const;
  std::wstring knownHostsPath() const;
  void closed(HWND window);
  void overlayEnded();
  void reserve(const std::wstring& name);
  void unreserve(const std::wstring& name);

  HINSTANCE module_ = nullptr;
  mutable std::mutex lock_;  // guards everything below
  std::set<HWND> windows_;
  std::multiset<std::wstring> pending_;
  std::function<void()> savedListener_;
  std::wstring knownHostsPath_;
  int running_ = 0;  // overlay threads started and not ended
  bool closing_ = false;
  std::condition_variable ended_;
};
