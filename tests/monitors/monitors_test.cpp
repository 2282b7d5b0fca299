// Captures on a screen of three monitors (the session cmake/WineTests.cmake sets up): right of
// the primary one, left of it at negative coordinates, across their edges, and the New Shot
// overlay's full-screen toggle away from the primary.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "capture/gdiplus_image_win.h"
#include "capture/gdiplus_session_win.h"
#include "capture/screen_capturer_win.h"
#include "platform/win32_handles.h"
#include "ui/new_shot_window.h"
#include "widgets/widgets.h"

namespace {

constexpr RECT kRightMonitor{1280, 0, 2304, 768};
constexpr RECT kLeftMonitor{-1024, 0, 0, 768};
constexpr COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255), kGreen = RGB(0, 255, 0);

using UniqueBrush = UniqueResource<HBRUSH, win32::deleteGdiObject>;

// A capture decoded; the file goes with it.
struct Picture {
  std::wstring path;
  gdip::UniqueBitmap bitmap;
  UINT width = 0;

  ~Picture() {
    bitmap.reset();
    DeleteFileW(path.c_str());
  }
  COLORREF at(int x, int y) const {
    Gdiplus::ARGB argb = 0;
    Gdiplus::DllExports::GdipBitmapGetPixel(bitmap.get(), x, y, &argb);
    return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
  }
};

class MonitorsTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(GetSystemMetrics(SM_CMONITORS), 3) << "not the session"; }
  void TearDown() override { ScreenCapturer::release(); }

  // A topmost pop-up of one colour, painted by its class's brush, until the test ends.
  void show(const RECT& where, COLORREF colour) {
    const std::wstring name = L"VemlixColour" + std::to_wstring(colour);
    brushes_.emplace_back(CreateSolidBrush(colour));
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hbrBackground = brushes_.back().get();
    windowClass.lpszClassName = name.c_str();
    RegisterClassW(&windowClass);
    windows_.emplace_back(CreateWindowExW(
        WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, name.c_str(), L"",
        WS_POPUP | WS_VISIBLE, where.left, where.top, where.right - where.left,
        where.bottom - where.top, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr));
    for (const DWORD until = GetTickCount() + 500; GetTickCount() < until; Sleep(20)) {
      MSG message;
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    }
  }

  std::unique_ptr<Picture> capture(int x, int y, int width, int height) {
    EffectiveShot shot;
    shot.rectX = x;
    shot.rectY = y;
    shot.rectWidth = width;
    shot.rectHeight = height;
    shot.format = 4;
    auto picture = std::make_unique<Picture>();
    if (!ScreenCapturer::instance().capture(shot, picture->path)) return picture;
    Gdiplus::GpBitmap* bitmap = nullptr;
    Gdiplus::DllExports::GdipCreateBitmapFromFile(picture->path.c_str(), &bitmap);
    picture->bitmap.reset(bitmap);
    Gdiplus::DllExports::GdipGetImageWidth(bitmap, &picture->width);
    return picture;
  }

  GdiplusSession gdiplus_;  // for decoding
  std::vector<UniqueBrush> brushes_;
  std::vector<win32::UniqueWindow> windows_;
};

TEST_F(MonitorsTest, ARectangleOnTheMonitorRightOrLeftOfThePrimaryIsCaptured) {
  show({1400, 100, 1600, 300}, kRed);
  show({-900, 100, -700, 300}, kBlue);
  for (const auto& [x, colour] : {std::pair{1380, kRed}, std::pair{-920, kBlue}}) {
    const auto picture = capture(x, 80, 240, 240);
    ASSERT_EQ(picture->width, 240u) << x;
    EXPECT_EQ(picture->at(30, 30), colour) << x;
    EXPECT_EQ(picture->at(210, 210), colour) << x;
    EXPECT_NE(picture->at(5, 235), colour) << x;
  }
}

// Each part from its own monitor; the part beyond the virtual screen is cut off.
TEST_F(MonitorsTest, RectanglesAcrossTheEdgesOfMonitorsAreCapturedWhole) {
  show({1180, 400, 1280, 500}, kRed);
  show({1280, 400, 1380, 500}, kBlue);
  show({-100, 600, 0, 700}, kGreen);
  show({-1024, 100, -900, 200}, kRed);

  const auto right = capture(1180, 400, 200, 100);
  ASSERT_EQ(right->width, 200u);
  EXPECT_EQ(right->at(99, 50), kRed);
  EXPECT_EQ(right->at(100, 50), kBlue);
  const auto left = capture(-100, 600, 200, 100);
  ASSERT_EQ(left->width, 200u);
  EXPECT_EQ(left->at(99, 50), kGreen);
  EXPECT_NE(left->at(100, 50), kGreen);
  const auto cut = capture(-1100, 100, 200, 100);
  EXPECT_EQ(cut->width, 124u);
  EXPECT_EQ(cut->at(0, 50), kRed);
}

// The toggle covers the monitor the overlay lies on, and that rectangle captures that monitor.
TEST_F(MonitorsTest, FullScreenAwayFromThePrimaryCoversAndCapturesThatMonitor) {
  InitWidgets(GetModuleHandleW(nullptr));
  NewShotWindow& overlays = NewShotWindow::instance();
  ASSERT_TRUE(overlays.registerClass(GetModuleHandleW(nullptr)));
  for (const RECT& monitor : {kRightMonitor, kLeftMonitor}) {
    auto shot = std::make_shared<ShotDefinition>();
    shot->isNew = true;
    shot->RECT_X = monitor.left + 200;
    shot->RECT_Y = 100;
    shot->RECT_WIDTH = 300;
    shot->RECT_HEIGHT = 200;
    overlays.open(shot, nullptr);
    for (int wait = 0; wait < 100 && overlays.openWindows().empty(); ++wait) Sleep(50);
    ASSERT_EQ(overlays.openWindows().size(), 1u);
    const HWND overlay = *overlays.openWindows().begin();
    RECT framed{}, covered{}, back{};
    GetWindowRect(overlay, &framed);
    SendMessageW(overlay, WM_COMMAND, 146, 0);  // the full-screen button
    GetWindowRect(overlay, &covered);
    EXPECT_TRUE(EqualRect(&covered, &monitor)) << covered.left << "," << covered.right;
    SendMessageW(overlay, WM_COMMAND, 146, 0);
    GetWindowRect(overlay, &back);
    EXPECT_TRUE(EqualRect(&back, &framed)) << back.left << "," << back.right;
    SendMessageW(overlay, WM_CLOSE, 0, 0);
    for (int wait = 0; wait < 100 && !overlays.openWindows().empty(); ++wait) Sleep(50);

    // Saved full screen there, as left, top, width and height: Restore gives that monitor back,
    // not a strip.
    auto saved = std::make_shared<ShotDefinition>();
    saved->FULL_SCREEN = true;
    std::tie(saved->RECT_X, saved->RECT_Y, saved->RECT_WIDTH, saved->RECT_HEIGHT) = std::tuple(
        monitor.left, monitor.top, monitor.right - monitor.left, monitor.bottom - monitor.top);
    std::tie(saved->PREV_RECT_X, saved->PREV_RECT_Y, saved->PREV_RECT_WIDTH,
             saved->PREV_RECT_HEIGHT) =
        std::tie(saved->RECT_X, saved->RECT_Y, saved->RECT_WIDTH, saved->RECT_HEIGHT);
    overlays.open(saved, nullptr);
    for (int wait = 0; wait < 100 && overlays.openWindows().empty(); ++wait) Sleep(50);
    ASSERT_EQ(overlays.openWindows().size(), 1u);
    const HWND reopened = *overlays.openWindows().begin();
    SendMessageW(reopened, WM_COMMAND, 146, 0);
    GetWindowRect(reopened, &back);
    EXPECT_TRUE(EqualRect(&back, &monitor)) << back.left << "," << back.right;
    SendMessageW(reopened, WM_CLOSE, 0, 0);
    for (int wait = 0; wait < 100 && !overlays.openWindows().empty(); ++wait) Sleep(50);
  }
  ShutdownWidgets();

  show({2200, 700, 2304, 768}, kGreen);  // the far corner of the right monitor
  const auto picture = capture(1280, 0, 1024, 768);
  ASSERT_EQ(picture->width, 1024u);
  EXPECT_EQ(picture->at(1000, 740), kGreen);
  EXPECT_NE(picture->at(800, 600), kGreen);
}

}  // namespace
