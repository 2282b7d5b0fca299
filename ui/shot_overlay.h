#pragma once
// One New Shot overlay: its window, its buttons and its copy of the shot, on a thread of its
// own. NewShotWindow opens them and keeps count of them.
#include <windows.h>

#include <array>
#include <functional>
#include <string>

#include "shots/shot_store.h"
#include "ui/framing_label.h"
#include "ui/resource_ids.h"
#include "widgets/base_window.h"
#include "widgets/image_button.h"

inline constexpr wchar_t kNewShotClassName[] = L"VEMLIX_NEW_SHOT_WND_CLASS";

// What an overlay tells whoever opened it, on its own thread.
struct OverlayEvents {
  std::function<void(HWND window)> opened;
  std::function<void(HWND window)> closed;
  std::function<void()> saved;  // a shot went into the store
};

// One overlay: its window, its buttons and its copy of the shot, on its own thread.
class ShotOverlay : public BaseWindow<ShotOverlay> {
 public:
  ShotOverlay(const ShotPtr& shot, OverlayEvents events, std::wstring knownHostsPath)
      : events_(std::move(events)),
        knownHostsPath_(std::move(knownHostsPath)),
        stored_(shot && !shot->isNew ? shot : nullptr),
        shot_(shot ? ShotStore::instance().copy(shot) : ShotDefinition{}) {
    // A new record is not in the store: copy() gives nothing for it.
    if (shot && shot->isNew) shot_ = *shot;
  }

  // The overlay's thread: the window, then its message loop until Save or Cancel ends it.
  void run(HINSTANCE module, HWND owner);

  static WindowClass windowClass() {
    return {kNewShotClassName, CS_HREDRAW | CS_VREDRAW, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1),
            IDI_VEMLIX, IDI_SMALL};
  }

 private:
  friend class BaseWindow<ShotOverlay>;

  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void onCreate();
  void onPaint();
  bool onKey(WPARAM key);
  // Moves the frame by (dx, dy), or with `resize` moves its right and bottom edges instead.
  void nudge(int dx, int dy, bool resize);
  LRESULT onNcHitTest(WPARAM wParam, LPARAM lParam);
  void onCommand(UINT command);
  void switchFullScreen();
  void save();
  void cancel();
  void placeTopmost(int x, int y, int width, int height) const;
  static RECT edgesOf(HWND window);
  // Left, top, width and height of a rectangle given by its edges.
  static RECT originAndSize(const RECT& edges);
  void setRect(const RECT& values);
  void setPrevRect(const RECT& values);

  const OverlayEvents events_;
  const std::wstring knownHostsPath_;  // for the Test button of its Ftp Settings
  ShotPtr stored_;                     // the shot in the store, for an edit; null for a new shot
  ShotDefinition shot_;                // the copy this overlay works on
  std::array<ImageButton, 3> buttons_;
  FramingLabel label_;
  bool painted_ = false;
};
