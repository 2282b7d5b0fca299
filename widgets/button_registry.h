#pragma once
// The state of every picture button, by its window. Buttons live on the main window's thread
// and on the New Shot overlays' threads, and the widgets may be shut down from the main thread
// while an overlay's button is handling a message: the registry is guarded, and a record stays
// alive for as long as anyone still holds it.
#include <windows.h>

#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "platform/win32_handles.h"

struct ButtonRecord {
  UINT commandId = 0;
  bool pressed = false;  // the latch; see ImageButton
  HWND imageWindow = nullptr;
  HWND buttonWindow = nullptr;
  HWND notifyWindow = nullptr;
  HWND parentWindow = nullptr;
  // Position and size in the parent at 96 dpi; the window has them scaled to its monitor.
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  win32::UniqueBitmap normalImage;
  win32::UniqueBitmap pressedImage;
  UINT normalImageId = 0;
  UINT pressedImageId = 0;
  TRACKMOUSEEVENT mouseTracking{};
  std::wstring tooltipText;
};

using ButtonRecordPtr = std::shared_ptr<ButtonRecord>;

class ButtonRegistry {
 public:
  static ButtonRegistry& instance();

  void insert(HWND buttonWindow, ButtonRecordPtr record);
  // The record of a button window; null when it has none (not registered yet, or the widgets
  // were shut down).
  ButtonRecordPtr find(HWND buttonWindow) const;
  void erase(HWND buttonWindow);
  void clear();
  size_t size() const;

 private:
  ButtonRegistry() = default;

  mutable std::mutex lock_;
  std::map<HWND, ButtonRecordPtr> records_;
};
