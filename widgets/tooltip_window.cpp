#include "widgets/tooltip_window.h"

#include <utility>

#include "platform/win32_handles.h"
#include "widgets/dpi_scale.h"

namespace {

constexpr int kLineHeight = 16;  // pixels at 96 dpi
// What other threads ask of the window.
constexpr UINT kShowRequest = WM_APP + 1;
constexpr UINT kHideRequest = WM_APP + 2;

bool onThreadOf(HWND window) {
  return GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId();
}
constexpr int kPointSize = 9;

}  // namespace

TooltipWindow& TooltipWindow::instance() {
  static TooltipWindow* const object = new TooltipWindow();
  return *object;
}

void TooltipWindow::release() {
  instance().destroyWindow();
}

void TooltipWindow::destroyWindow() {
  HWND window = nullptr;
  DWORD home = 0;
  {
    std::lock_guard guard(lock_);
    window = std::exchange(shared_, nullptr);
    home = homeThread_;
    text_.clear();
  }
  if (!window) return;
  // Only its own thread can destroy it; elsewhere it is only hidden, and goes with that thread.
  if (GetCurrentThreadId() == home) {
    DestroyWindow(window);
  } else {
    PostMessageW(window, kHideRequest, 0, 0);
  }
}

void TooltipWindow::createWindow() {
  if (shared()) return;
  // The thread that made the first window stays the home of every later one.
  HWND made = create(GetModuleHandleW(nullptr), WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE,
                     L"", WS_POPUP, {0, 0, 150, 14}, nullptr);
  std::lock_guard guard(lock_);
  shared_ = made;
  if (!homeThread_) homeThread_ = GetCurrentThreadId();
}

HWND TooltipWindow::shared() const {
  std::lock_guard guard(lock_);
  return shared_;
}

DWORD TooltipWindow::homeThread() const {
  std::lock_guard guard(lock_);
  return homeThread_;
}

SIZE TooltipWindow::sizeFor(const std::wstring& text, UINT dpi) {
  const int step = MulDiv(kPointSize, static_cast<int>(dpi), 72);
  // Truncated, not rounded: 12 / 1.5 = 8 pixels per character at 96 dpi.
  const int width = static_cast<int>(static_cast<double>(text.size()) * (step / 1.5));
  return {width, dpi::scale(kLineHeight, dpi)};
}

void TooltipWindow::show(const std::wstring& text, int left, int top) {
  HWND window = nullptr;
  {
    std::lock_guard guard(lock_);
    text_ = text;
    place_ = {left, top};
    wanted_ = true;
    window = shared_;
  }
  if (!window && GetCurrentThreadId() == homeThread()) {
    createWindow();
    window = shared();
  }
  if (!window) return;
  if (onThreadOf(window)) {
    showNow();
  } else {
    PostMessageW(window, kShowRequest, 0, 0);
  }
}

void TooltipWindow::showNow() {
  HWND window = nullptr;
  std::wstring text;
  POINT place{};
  {
    std::lock_guard guard(lock_);
    // A hide that came after the show asked for it wins, whichever request arrives first.
    if (!wanted_) return;
    window = shared_;
    text = text_;
    place = place_;
  }
  if (!window) return;
  const SIZE size = sizeFor(text, dpi::of(window));
  SetWindowPos(window, HWND_TOPMOST, place.x, place.y, size.cx, size.cy,
               SWP_NOACTIVATE | SWP_SHOWWINDOW);
  InvalidateRect(window, nullptr, TRUE);
  UpdateWindow(window);
}

void TooltipWindow::hide() {
  HWND window = nullptr;
  {
    std::lock_guard guard(lock_);
    wanted_ = false;
    window = shared_;
  }
  if (!window) return;
  if (onThreadOf(window)) {
    ShowWindow(window, SW_HIDE);
  } else {
    PostMessageW(window, kHideRequest, 0, 0);
  }
}

bool TooltipWindow::isVisible() const {
  HWND window = shared();
  return window && IsWindowVisible(window);
}

LRESULT TooltipWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      paint();
      return 0;
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case kShowRequest:
      showNow();
      return 0;
    case kHideRequest:
      ShowWindow(window(), SW_HIDE);
      return 0;
  }
  return defaultProcessing(message, wParam, lParam);
}

void TooltipWindow::paint() {
  const HWND window = this->window();
  const win32::PaintDc paint(window);
  const HDC dc = paint.get();
  std::wstring text;
  {
    std::lock_guard guard(lock_);
    text = text_;
  }
  const UINT dpi = dpi::of(window);
  const SIZE size = sizeFor(text, dpi);
  RECT area{0, 0, size.cx, size.cy};
  SetBkColor(dc, RGB(0, 0, 0));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(255, 255, 255));
  win32::UniqueFont font(CreateFontW(-MulDiv(kPointSize, static_cast<int>(dpi), 72), 0, 0, 0,
                                     FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                     DEFAULT_PITCH | FF_DONTCARE, L"Microsoft Sans Serif"));
  {
    win32::SelectedObject selected(dc, font.get());
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area, 0);
  }
}
