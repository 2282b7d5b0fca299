#include "ui/window_fade.h"

std::atomic<bool> fadeEnabled{true};

namespace {

constexpr BYTE kShownAlpha = 240;
constexpr BYTE kUnfadedAlpha = 24;

void setAlpha(HWND window, BYTE alpha) {
  SetLayeredWindowAttributes(window, 0, alpha, LWA_ALPHA);
}

void fadeIn(HWND window) {
  SetWindowLongW(window, GWL_EXSTYLE, WS_EX_LAYERED);
  setAlpha(window, 0);
  ShowWindow(window, SW_SHOWNORMAL);
  RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW);
  for (int alpha = 0; alpha <= kShownAlpha; alpha += 5) {
    setAlpha(window, static_cast<BYTE>(alpha));
    Sleep(1);
  }
  UpdateWindow(window);
}

void showUnfaded(HWND window) {
  SetWindowLongW(window, GWL_EXSTYLE, WS_EX_LAYERED);
  setAlpha(window, kUnfadedAlpha);
  ShowWindow(window, SW_SHOWNORMAL);
  RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW);
  UpdateWindow(window);
}

void fadeOut(HWND window) {
  for (int alpha = 230; alpha > 50; alpha -= 5) {
    setAlpha(window, static_cast<BYTE>(alpha));
    Sleep(1);
  }
  ShowWindow(window, SW_HIDE);
}

}  // namespace

void showWindowAnimated(HWND window, int mode) {
  const bool fade = fadeEnabled.load();
  if (mode == kShowAnimated) {
    fade ? fadeIn(window) : showUnfaded(window);
  } else if (mode == kHideAnimated) {
    if (fade) {
      fadeOut(window);
    } else {
      ShowWindow(window, SW_HIDE);
    }
  }
}
