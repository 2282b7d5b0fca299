#include "ui/shot_overlay.h"

#include <algorithm>
#include <tuple>
#include <utility>

#include "shots/shot_fields.h"
#include "ui/overlay_placement.h"
#include "ui/shot_settings_dialog.h"
#include "ui/window_fade.h"
#include "widgets/dpi_scale.h"

namespace {

// A popup without caption whose border can be dragged to resize it.
constexpr LONG kOverlayStyle = WS_POPUP | WS_SYSMENU | WS_THICKFRAME;
constexpr BYTE kOpacity = 180;
// What screen readers and the task switcher call it; the class keeps its own name.
constexpr wchar_t kOverlayName[] = L"New Shot frame";
// Pixels an arrow key moves or sizes the frame by, and with Ctrl held.
constexpr int kFineStep = 1;
constexpr int kCoarseStep = 10;
// Posted once the overlay is shown: the keys frame it from the start. Asked for from the message
// loop, once the window is on the screen; asked for before, it may not get the keyboard (Wine
// gives it only to a window the display already shows).
constexpr UINT kTakeKeyboard = WM_APP + 1;

constexpr UINT kSaveCommand = 1;
constexpr UINT kCancelCommand = 2;
constexpr UINT kFullScreenCommand = 146;

// The fields the overlay itself sets: where the frame is and whether it covers a monitor.
void copyFraming(ShotDefinition& to, const ShotDefinition& from) {
  to.FULL_SCREEN = from.FULL_SCREEN;
  std::tie(to.RECT_X, to.RECT_Y, to.RECT_WIDTH, to.RECT_HEIGHT) =
      std::tie(from.RECT_X, from.RECT_Y, from.RECT_WIDTH, from.RECT_HEIGHT);
  std::tie(to.PREV_RECT_X, to.PREV_RECT_Y, to.PREV_RECT_WIDTH, to.PREV_RECT_HEIGHT) =
      std::tie(from.PREV_RECT_X, from.PREV_RECT_Y, from.PREV_RECT_WIDTH, from.PREV_RECT_HEIGHT);
  std::tie(to.DRAW_RECT_X, to.DRAW_RECT_Y, to.DRAW_RECT_WIDTH, to.DRAW_RECT_HEIGHT) =
      std::tie(from.DRAW_RECT_X, from.DRAW_RECT_Y, from.DRAW_RECT_WIDTH, from.DRAW_RECT_HEIGHT);
}

}  // namespace

void ShotOverlay::run(HINSTANCE module, HWND owner) {
  // A frame that no monitor shows (one was unplugged, the file was edited) could be neither
  // seen nor moved back: it opens on the nearest monitor instead.
  const RECT place =
      overlayPlacement({shot_.RECT_X, shot_.RECT_Y, shot_.RECT_WIDTH, shot_.RECT_HEIGHT});
  HWND window =
      create(module, 0, kOverlayName, 0,
             {place.left, place.top, place.left + place.right, place.top + place.bottom}, owner);
  if (!window) return;
  events_.opened(window);
  SetWindowLongW(window, GWL_STYLE, kOverlayStyle);
  SetWindowLongW(window, GWL_EXSTYLE, WS_EX_LAYERED);
  placeTopmost(place.left, place.top, place.right, place.bottom);
  fadeEnabled = false;
  showWindowAnimated(window, kShowAnimated);
  SetLayeredWindowAttributes(window, 0, kOpacity, LWA_ALPHA);

  MSG message{};
  while (IsWindow(window) && GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

RECT ShotOverlay::edgesOf(HWND window) {
  RECT outer{};
  GetWindowRect(window, &outer);
  return outer;
}

RECT ShotOverlay::originAndSize(const RECT& edges) {
  return {edges.left, edges.top, edges.right - edges.left, edges.bottom - edges.top};
}

// The four numbers go into the fields as they stand, whichever form (edges, or origin and size)
// the caller keeps there.
void ShotOverlay::setRect(const RECT& values) {
  std::tie(shot_.RECT_X, shot_.RECT_Y, shot_.RECT_WIDTH, shot_.RECT_HEIGHT) =
      std::tuple(values.left, values.top, values.right, values.bottom);
}

void ShotOverlay::setPrevRect(const RECT& values) {
  std::tie(shot_.PREV_RECT_X, shot_.PREV_RECT_Y, shot_.PREV_RECT_WIDTH, shot_.PREV_RECT_HEIGHT) =
      std::tuple(values.left, values.top, values.right, values.bottom);
}

void ShotOverlay::placeTopmost(int x, int y, int width, int height) const {
  SetWindowPos(window(), HWND_TOPMOST, x, y, width, height,
               SWP_SHOWWINDOW | SWP_FRAMECHANGED | SWP_NOACTIVATE);
}

LRESULT ShotOverlay::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      onCreate();
      return 0;
    case WM_NCHITTEST:
      return onNcHitTest(wParam, lParam);
    case WM_PAINT:
      onPaint();
      return 0;
    case WM_WINDOWPOSCHANGED:
      // The label follows every move and resize, by mouse, key or the full-screen toggle.
      InvalidateRect(window(), nullptr, TRUE);
      break;
    case kTakeKeyboard:
      SetForegroundWindow(window());
      SetFocus(window());
      return 0;
    case WM_KEYDOWN:
      if (onKey(wParam)) return 0;
      break;
    case WM_COMMAND:
      onCommand(LOWORD(wParam));
      return 0;
    case WM_CLOSE:
      cancel();
      return 0;
    case WM_DESTROY:
      events_.closed(window());
      return 0;
  }
  return defaultProcessing(message, wParam, lParam);
}

void ShotOverlay::onCreate() {
  buttons_[0].create(window(), window(), 5, 5, 16, 16, IDB_REGION_SAVE, IDB_REGION_SAVE_PRESSED,
                     kSaveCommand, L"Save", L"Enter");
  buttons_[1].create(window(), window(), 22, 5, 16, 16, IDB_REGION_CANCEL,
                     IDB_REGION_CANCEL_PRESSED, kCancelCommand, L"Cancel", L"Esc");
  const bool full = shot_.FULL_SCREEN;
  buttons_[2].create(window(), window(), 39, 5, 16, 16,
                     full ? IDB_REGION_RESTORE : IDB_REGION_FULL_SCREEN,
                     full ? IDB_REGION_RESTORE_PRESSED : IDB_REGION_FULL_SCREEN_PRESSED,
                     kFullScreenCommand, L"Go to fullscreen or restore window");
}

void ShotOverlay::onPaint() {
  const win32::PaintDc dc(window());
  // Only a window that is on the screen can take the keyboard: under X an earlier request
  // is lost while the window is still being mapped.
  if (!painted_) PostMessageW(window(), kTakeKeyboard, 0, 0);
  painted_ = true;
  label_.paint(dc.get(), FramingLabel::textFor(edgesOf(window())), dpi::of(window()));
}

// Arrows move the frame, with Shift they size it; Ctrl makes the step coarse. A full-screen
// frame stays on its monitor.
bool ShotOverlay::onKey(WPARAM key) {
  if (key == VK_RETURN) {
    save();
    return true;
  }
  if (key == VK_ESCAPE) {
    cancel();
    return true;
  }
  const int step = GetKeyState(VK_CONTROL) < 0 ? kCoarseStep : kFineStep;
  const bool resize = GetKeyState(VK_SHIFT) < 0;
  int dx = 0;
  int dy = 0;
  switch (key) {
    case VK_LEFT:
      dx = -step;
      break;
    case VK_RIGHT:
      dx = step;
      break;
    case VK_UP:
      dy = -step;
      break;
    case VK_DOWN:
      dy = step;
      break;
    default:
      return false;
  }
  if (!shot_.FULL_SCREEN) nudge(dx, dy, resize);
  return true;
}

void ShotOverlay::nudge(int dx, int dy, bool resize) {
  RECT edges = edgesOf(window());
  if (resize) {
    // Never smaller than one pixel.
    edges.right = std::max(edges.left + 1, edges.right + dx);
    edges.bottom = std::max(edges.top + 1, edges.bottom + dy);
  } else {
    OffsetRect(&edges, dx, dy);
  }
  placeTopmost(edges.left, edges.top, edges.right - edges.left, edges.bottom - edges.top);
}

// A drag anywhere inside moves the overlay; its border still sizes it.
LRESULT ShotOverlay::onNcHitTest(WPARAM wParam, LPARAM lParam) {
  const LRESULT hit = defaultProcessing(WM_NCHITTEST, wParam, lParam);
  return hit == HTCLIENT ? HTCAPTION : hit;
}

void ShotOverlay::onCommand(UINT command) {
  switch (command) {
    case kSaveCommand:
      save();
      break;
    case kCancelCommand:
      cancel();
      break;
    case kFullScreenCommand:
      switchFullScreen();
      break;
  }
}

// Covers the monitor the overlay mostly lies on, and comes back exactly from there. RECT and
// PREV_RECT hold left, top, width and height throughout, as Save stores them, so a shot saved
// full screen on any monitor restores to where PREV_RECT says.
void ShotOverlay::switchFullScreen() {
  if (!shot_.FULL_SCREEN) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(window(), MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& screen = monitor.rcMonitor;
    setPrevRect(originAndSize(edgesOf(window())));
    setRect(originAndSize(screen));
    placeTopmost(screen.left, screen.top, screen.right - screen.left, screen.bottom - screen.top);
    shot_.FULL_SCREEN = true;
    buttons_[2].setImages(IDB_REGION_RESTORE, IDB_REGION_RESTORE_PRESSED);
  } else {
    const RECT back{shot_.PREV_RECT_X, shot_.PREV_RECT_Y, shot_.PREV_RECT_WIDTH,
                    shot_.PREV_RECT_HEIGHT};
    placeTopmost(back.left, back.top, back.right, back.bottom);
    setPrevRect({shot_.RECT_X, shot_.RECT_Y, shot_.RECT_WIDTH, shot_.RECT_HEIGHT});
    setRect(back);
    shot_.FULL_SCREEN = false;
    buttons_[2].setImages(IDB_REGION_FULL_SCREEN, IDB_REGION_FULL_SCREEN_PRESSED);
  }
}

void ShotOverlay::save() {
  ShotStore& store = ShotStore::instance();
  // The dialog starts from the stored shot as it is now, so it shows what others changed while
  // this overlay was open, and only what this edit changes goes back.
  ShotDefinition base = shot_;
  if (stored_) {
    base = store.copy(stored_);
    copyFraming(base, shot_);
  }
  ShotDefinition edited = base;
  if (!runShotSettingsDialog(window(), edited, shot_.isNew, knownHostsPath_)) {
    cancel();
    return;
  }
  // The overlay's own outline, in screen pixels, is the region: what the capture takes.
  const RECT outer = edgesOf(window());
  std::tie(edited.DRAW_RECT_X, edited.DRAW_RECT_Y, edited.DRAW_RECT_WIDTH,
           edited.DRAW_RECT_HEIGHT) = std::tuple(outer.left, outer.top, outer.right, outer.bottom);
  shot_ = edited;
  const RECT region = originAndSize(outer);
  setRect(region);
  setPrevRect(region);

  const auto putBack = [&](ShotDefinition& record) {
    mergeChangedFields(record, base, shot_);
    copyFraming(record, shot_);
  };
  // An edited shot that was deleted meanwhile comes back as saved: nothing the user saved is
  // lost. The test and the change are one step, so a deletion cannot slip in between.
  if (stored_ && store.updateIfStored(stored_, putBack)) {
    store.save();
  } else {
    shot_.isNew = true;
    shot_.uid = 0;
    store.add(std::make_shared<ShotDefinition>(shot_));
  }
  events_.saved();
  DestroyWindow(window());
}

void ShotOverlay::cancel() {
  DestroyWindow(window());
}
