#pragma once
// The one tooltip of the program: a borderless black box with one line of bold white text,
// shown near the mouse while it rests on a picture button.
#include <windows.h>

#include <mutex>
#include <string>

#include "widgets/base_window.h"

inline constexpr wchar_t kTooltipClassName[] = L"VUITooltipContainer";

// Buttons on the main window's thread and on every New Shot overlay's thread share it. Its
// window belongs to the thread that started the widgets (the program's first thread), which
// lives as long as the program, so the tooltip never goes with an overlay that closes. The
// other threads never call into that window and wait: their show and hide reach it as posted
// requests, so two threads busy with each other's windows can never wait on each other.
class TooltipWindow : public BaseWindow<TooltipWindow> {
 public:
  // Thread-safe. The object itself is never freed, so a button on another thread that holds it
  // while the widgets shut down finds it without a window rather than gone.
  static TooltipWindow& instance();
  // Hides and destroys the window (on its own thread) and forgets the text; the next show()
  // on the program's first thread makes a new window.
  static void release();

  static WindowClass windowClass() {
    return {kTooltipClassName, CS_HREDRAW | CS_VREDRAW,
            static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))};
  }

  // Shows `text` with its top-left corner at (left, top) in screen pixels. The width follows
  // the number of characters, not the drawn text. From another thread than the window's, done
  // by the window's thread soon after, unless a hide() came in between.
  void show(const std::wstring& text, int left, int top);
  // Hides the tooltip, and cancels a show that has not been carried out yet.
  void hide();
  bool isVisible() const;

  // Makes the window on the calling thread, which becomes its home. Called when the widgets
  // start, so the window exists before any overlay thread shows it.
  void createWindow();

  // The box's size for `text` at `dpi`: 9-point characters two thirds of their height wide,
  // one line high.
  static SIZE sizeFor(const std::wstring& text, UINT dpi);

 private:
  TooltipWindow() = default;
  ~TooltipWindow() = default;

  void destroyWindow();
  // On the window's own thread: places, shows and paints it with the latest text and place.
  void showNow();
  friend class BaseWindow<TooltipWindow>;
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void paint();
  // The window as other threads may see it.
  HWND shared() const;
  DWORD homeThread() const;

  mutable std::mutex lock_;  // guards shared_, homeThread_, text_, place_ and wanted_
  // A copy of window() for other threads, which never touch the owner itself.
  HWND shared_ = nullptr;
  DWORD homeThread_ = 0;
  std::wstring text_;
  POINT place_{};
  // Whether the last request was a show: a show request still on its way is dropped after a hide.
  bool wanted_ = false;
};
