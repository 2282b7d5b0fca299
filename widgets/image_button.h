#pragma once
// A picture push-button: a small child window showing one of two bitmaps (normal, pressed) that
// sends WM_COMMAND with its command id to a chosen window when the left button is released
// over it, and shows the shared tooltip while the mouse rests on it.
//
// The pressed latch: a press over the button shows the pressed picture and sets the latch;
// leaving shows the normal picture but keeps the latch, so that coming back with the button
// held shows the pressed picture again once the mouse rests. A release over the button sends
// the command (whether or not the press began there); a press that ends elsewhere sends
// nothing. The button does not capture the mouse.
//
// Screen readers find it as a push button named by its tooltip text (its window text), whose
// default action presses it; the tooltip adds the key that does the same, when there is one.
#include <windows.h>

#include <string>

#include "widgets/base_window.h"
#include "widgets/button_registry.h"

inline constexpr wchar_t kButtonClassName[] = L"VUIButtonContainer";

class ImageButton : public BaseWindow<ImageButton> {
 public:
  ImageButton();
  // Hides the tooltip. The pictures go once the button's record is no longer held.
  ~ImageButton();

  static WindowClass windowClass() { return {kButtonClassName}; }

  // The module whose bitmaps the buttons show, and which their windows belong to; handed over
  // when the widgets start.
  static void useModule(HINSTANCE module);

  // Makes the button in `parentWindow` at (x, y), `width` x `height` pixels at 96 dpi (scaled
  // to the parent's monitor), with the bitmaps `normalImageId` and `pressedImageId` of the
  // widgets' module. `name` is its tooltip text and what screen readers call it; the tooltip
  // shows "name (key)" when `keyText` is given. Nothing is registered when the window cannot be
  // made.
  void create(HWND parentWindow, HWND notifyWindow, int x, int y, int width, int height,
              UINT normalImageId, UINT pressedImageId, UINT commandId, const std::wstring& name,
              const std::wstring& keyText = {});

  // Replaces both pictures and clears the latch; nothing when the button has no record.
  void setImages(UINT normalImageId, UINT pressedImageId);

  // Places and sizes the button for `dpi`, with pictures drawn for the nearest scale.
  void applyDpi(UINT dpi);

  using BaseWindow::window;

 private:
  friend class BaseWindow<ImageButton>;
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  // The record the registry holds too: the pictures stay for as long as this button object
  // lives, even after the widgets were shut down.
  ButtonRecordPtr record_;
};
