// Captures on a screen of three monitors (the session that cmake/WineTests.cmake sets up): on
// the monitor right of the primary one, on the one left of it at negative coordinates, across
// the edges between them, and the New Shot overlay's full-screen toggle away from the primary.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "capture/gdiplus_image_win.h"
#include "capture/gdiplus_session_win.h"
#include "capture/screen_capturer_win.h"
#include "platform/win32_handles.h"
#include "support/temp_folder.h"
#include "ui/new_shot_window.h"
#include "widgets/widgets.h"

namespace {

constexpr RECT kRightMonitor{1280, 0, 2304, 768};
constexpr RECT kLeftMonitor{-1024, 0, 0, 768};
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kYellow = RGB(255, 255, 0);

void pumpFor(DWORD milliseconds) {
  const DWORD until = GetTickCount() + milliseconds;
  do {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    Sleep(20);
  } while (GetTickCount() < until);
}

LRESULT CALLBACK colourProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_PAINT) return DefWindowProcW(window, message, wParam, lParam);
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  UniqueResource<HBRUSH, win32::deleteGdiObject> brush(
      CreateSolidBrush(static_cast<COLORREF>(GetWindowLongPtrW(window, GWLP_USERDATA))));
  FillRect(dc, &paint.rcPaint, brush.get());
  EndPaint(window, &paint);
  return 0;
}

struct Picture {
  std::wstring path;
  gdip::UniqueBitmap bitmap;
  UINT width = 0;
  UINT height = 0;

  ~Picture() {
    bitmap.reset();
    if (!path.empty()) DeleteFileW(path.c_str());
  }
  COLORREF pixel(int x, int y) const {
    Gdiplus::ARGB argb = 0;
    Gdiplus::DllExports::GdipBitmapGetPixel(bitmap.get(), x, y, &argb);
    return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
  }
};

class MonitorsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(GetSystemMetrics(SM_CMONITORS), 3) << "not the session of three monitors";
    ASSERT_EQ(GetSystemMetrics(SM_XVIRTUALSCREEN), -1024);
  }
  void TearDown() override { ScreenCapturer::release(); }

  // A topmost pop-up of one colour at `where`, until the test ends.
  void show(const RECT& where, COLORREF colour) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = colourProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"VemlixTestColour";
    RegisterClassW(&windowClass);
    HWND window =
        CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"VemlixTestColour", L"", WS_POPUP,
                        where.left, where.top, where.right - where.left, where.bottom - where.top,
                        nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(window, GWLP_USERDATA, colour);
    ShowWindow(window, SW_SHOWNOACTIVATE);
    UpdateWindow(window);
    windows_.emplace_back(window);
    pumpFor(500);  // until the window has reached the X server
  }

  // The capture of the rectangle as a PNG, decoded.
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
    Gdiplus::DllExports::GdipGetImageHeight(bitmap, &picture->height);
    return picture;
  }

  GdiplusSession gdiplus_;  // for decoding
  std::vector<win32::UniqueWindow> windows_;
};

TEST_F(MonitorsTest, ARectangleOnTheMonitorRightOfThePrimaryIsCaptured) {
  show({1400, 100, 1600, 300}, kRed);
  const auto picture = capture(1380, 80, 240, 240);
  ASSERT_EQ(picture->width, 240u);
  ASSERT_EQ(picture->height, 240u);
  EXPECT_EQ(picture->pixel(30, 30), kRed);
  EXPECT_EQ(picture->pixel(210, 210), kRed);
  EXPECT_NE(picture->pixel(5, 5), kRed);
  EXPECT_NE(picture->pixel(235, 235), kRed);
}

TEST_F(MonitorsTest, ARectangleOnTheMonitorLeftOfThePrimaryIsCaptured) {
  show({-900, 100, -700, 300}, kBlue);
  const auto picture = capture(-920, 80, 240, 240);
  ASSERT_EQ(picture->width, 240u);
  ASSERT_EQ(picture->height, 240u);
  EXPECT_EQ(picture->pixel(30, 30), kBlue);
  EXPECT_EQ(picture->pixel(210, 210), kBlue);
  EXPECT_NE(picture->pixel(5, 5), kBlue);
  EXPECT_NE(picture->pixel(235, 235), kBlue);
}

// Each half from its own monitor; a rectangle past the virtual screen's edge is cut there.
TEST_F(MonitorsTest, RectanglesAcrossTheEdgesOfMonitorsAreCapturedWhole) {
  show({1180, 400, 1280, 500}, kRed);
  show({1280, 400, 1380, 500}, kBlue);
  show({-100, 600, 0, 700}, kGreen);
  show({0, 600, 100, 700}, kYellow);

  const auto right = capture(1180, 400, 200, 100);
  ASSERT_EQ(right->width, 200u);
  EXPECT_EQ(right->pixel(2, 50), kRed);
  EXPECT_EQ(right->pixel(99, 50), kRed);
  EXPECT_EQ(right->pixel(100, 50), kBlue);
  EXPECT_EQ(right->pixel(197, 50), kBlue);

  const auto left = capture(-100, 600, 200, 100);
  ASSERT_EQ(left->width, 200u);
  EXPECT_EQ(left->pixel(2, 50), kGreen);
  EXPECT_EQ(left->pixel(99, 50), kGreen);
  EXPECT_EQ(left->pixel(100, 50), kYellow);
  EXPECT_EQ(left->pixel(197, 50), kYellow);

  show({-1024, 100, -900, 200}, kRed);
  const auto cut = capture(-1100, 100, 200, 100);
  EXPECT_EQ(cut->width, 124u);
  EXPECT_EQ(cut->pixel(0, 50), kRed);
}

// The toggle covers the monitor the overlay lies on, and that rectangle captures that monitor.
TEST_F(MonitorsTest, FullScreenOnAnotherMonitorCoversAndCapturesThatMonitor) {
  const HINSTANCE module = GetModuleHandleW(nullptr);
  InitWidgets(module);
  NewShotWindow& overlays = NewShotWindow::instance();
  ASSERT_TRUE(overlays.registerClass(module));
  RECT covered[2] = {};
  const RECT framed[2] = {{1500, 200, 1800, 400}, {-800, 100, -500, 300}};
  for (int i = 0; i < 2; ++i) {
    auto shot = std::make_shared<ShotDefinition>();
    shot->isNew = true;
    shot->RECT_X = framed[i].left;
    shot->RECT_Y = framed[i].top;
    shot->RECT_WIDTH = framed[i].right - framed[i].left;
    shot->RECT_HEIGHT = framed[i].bottom - framed[i].top;
    overlays.open(shot, nullptr);
    HWND overlay = nullptr;
    for (int wait = 0; wait < 100 && !overlay; ++wait) {
      Sleep(50);
      if (!overlays.openWindows().empty()) overlay = *overlays.openWindows().begin();
    }
    ASSERT_NE(overlay, nullptr);
    SendMessageW(overlay, WM_COMMAND, 146, 0);  // the full-screen button
    GetWindowRect(overlay, &covered[i]);
    SendMessageW(overlay, WM_CLOSE, 0, 0);
    for (int wait = 0; wait < 100 && !overlays.openWindows().empty(); ++wait) Sleep(50);
  }
  EXPECT_TRUE(EqualRect(&covered[0], &kRightMonitor));
  EXPECT_TRUE(EqualRect(&covered[1], &kLeftMonitor));

  show({2200, 700, 2304, 768}, kGreen);  // the far corner of the right monitor
  const RECT& screen = covered[0];
  const auto picture =
      capture(screen.left, screen.top, screen.right - screen.left, screen.bottom - screen.top);
  ASSERT_EQ(picture->width, 1024u);
  ASSERT_EQ(picture->height, 768u);
  EXPECT_EQ(picture->pixel(1000, 740), kGreen);
  EXPECT_NE(picture->pixel(800, 600), kGreen);
  ShutdownWidgets();
}

}  // namespace
