// Captures of the virtual display (Xvfb, 1280x1024x24) while a window of known colour blocks
// covers its top-left corner, decoded back with GDI+ and compared pixel by pixel.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdlib>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "capture/gdiplus_image_win.h"
#include "capture/gdiplus_session_win.h"
#include "capture/screen_capturer_win.h"
#include "platform/win32_handles.h"
#include "support/temp_folder.h"
#include "support/vemlix_process_win.h"

namespace {

// The pattern: kColumns columns of kBlock pixels, the top half in one order of the colours and
// the bottom half in another, so a shifted, mirrored or flipped capture cannot pass. Web-safe
// colours, which every GIF palette holds.
constexpr int kBlock = 100;
constexpr int kColumns = 6;
constexpr int kRows = 2;
constexpr std::array<COLORREF, kColumns> kColours = {RGB(255, 0, 0),     RGB(0, 255, 0),
                                                     RGB(0, 0, 255),     RGB(255, 255, 0),
                                                     RGB(255, 255, 255), RGB(0, 102, 153)};

COLORREF patternColour(int screenX, int screenY) {
  const int column = screenX / kBlock;
  const int row = screenY / kBlock;
  return kColours[(column + 3 * (row % 2)) % kColumns];
}

LRESULT CALLBACK patternProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_PAINT) return DefWindowProcW(window, message, wParam, lParam);
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  for (int row = 0; row < kRows; ++row) {
    for (int column = 0; column < kColumns; ++column) {
      UniqueResource<HBRUSH, win32::deleteGdiObject> brush(
          CreateSolidBrush(patternColour(column * kBlock, row * kBlock)));
      const RECT block{column * kBlock, row * kBlock, (column + 1) * kBlock, (row + 1) * kBlock};
      FillRect(dc, &block, brush.get());
    }
  }
  EndPaint(window, &paint);
  return 0;
}

// A topmost pop-up at the screen's origin showing the pattern while it lives.
class PatternWindow {
 public:
  PatternWindow() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = patternProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"VemlixTestPattern";
    RegisterClassW(&windowClass);
    window_.reset(CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"VemlixTestPattern", L"",
                                  WS_POPUP | WS_VISIBLE, 0, 0, kColumns * kBlock, kRows * kBlock,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr));
    UpdateWindow(window_.get());
    // Let the window reach the X server before anything reads the screen.
    const DWORD until = GetTickCount() + 700;
    while (GetTickCount() < until) {
      MSG message;
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
      Sleep(20);
    }
  }
  bool shown() const { return window_ && IsWindowVisible(window_.get()); }

 private:
  win32::UniqueWindow window_;
};

struct Decoded {
  UINT width = 0;
  UINT height = 0;
  gdip::UniqueBitmap bitmap;

  COLORREF pixel(int x, int y) const {
    Gdiplus::ARGB argb = 0;
    Gdiplus::DllExports::GdipBitmapGetPixel(bitmap.get(), x, y, &argb);
    return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
  }
};

Decoded decode(const std::wstring& path) {
  using namespace Gdiplus::DllExports;
  Decoded result;
  Gdiplus::GpBitmap* bitmap = nullptr;
  if (GdipCreateBitmapFromFile(path.c_str(), &bitmap) != Gdiplus::Ok) return result;
  result.bitmap.reset(bitmap);
  GdipGetImageWidth(bitmap, &result.width);
  GdipGetImageHeight(bitmap, &result.height);
  return result;
}

int distance(COLORREF a, COLORREF b) {
  return std::max({std::abs(GetRValue(a) - GetRValue(b)), std::abs(GetGValue(a) - GetGValue(b)),
                   std::abs(GetBValue(a) - GetBValue(b))});
}

std::wstring tempFolder() {
  wchar_t folder[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, folder);
  return folder;
}

EffectiveShot shotOf(int x, int y, int width, int height, int format) {
  EffectiveShot shot;
  shot.name = L"Pattern";
  shot.rectX = x;
  shot.rectY = y;
  shot.rectWidth = width;
  shot.rectHeight = height;
  shot.format = format;
  return shot;
}

class ScreenCaptureTest : public ::testing::Test {
 protected:
  static constexpr int kX = 50, kY = 60, kWidth = 420, kHeight = 120;

  void SetUp() override { ASSERT_TRUE(pattern_.shown()); }
  void TearDown() override { ScreenCapturer::release(); }

  // Captures the test rectangle in `format` and checks the file's signature, its size and the
  // middle of every block it covers, each within `tolerance` per channel.
  void captureAndCompare(int format, std::string_view signature, int tolerance) {
    std::wstring path = L"";
    ASSERT_TRUE(ScreenCapturer::instance().capture(shotOf(kX, kY, kWidth, kHeight, format), path));
    const std::wstring name = path.substr(path.find_last_of(L'\\') + 1);
    EXPECT_EQ(path.substr(0, path.size() - name.size()), tempFolder());
    EXPECT_EQ(name.substr(0, 3), L"vmp");
    EXPECT_EQ(name.substr(name.size() - 4), L".tmp");
    EXPECT_EQ(readBytes(path).substr(0, signature.size()), signature);
    {
      const Decoded image = decode(path);
      ASSERT_EQ(image.width, static_cast<UINT>(kWidth));
      ASSERT_EQ(image.height, static_cast<UINT>(kHeight));
      for (int y = 10; y < kHeight; y += 20) {
        for (int x = 10; x < kWidth; x += 20) {
          const int screenX = kX + x, screenY = kY + y;
          if (screenX % kBlock < 10 || screenX % kBlock > 90) continue;  // JPEG blurs edges
          if (screenY % kBlock < 10 || screenY % kBlock > 90) continue;
          ASSERT_LE(distance(image.pixel(x, y), patternColour(screenX, screenY)), tolerance)
              << "at " << x << "," << y << " of format " << format;
        }
      }
    }
    EXPECT_TRUE(DeleteFileW(path.c_str()));
  }

  GdiplusSession gdiplus_;  // for decoding
  PatternWindow pattern_;
};

TEST_F(ScreenCaptureTest, BitmapIsExact24BitRgb) {
  captureAndCompare(0, "BM", 0);
  std::wstring path;
  ASSERT_TRUE(ScreenCapturer::instance().capture(shotOf(kX, kY, kWidth, kHeight, 0), path));
  const std::string bytes = readBytes(path);
  ASSERT_GT(bytes.size(), 30u);
  EXPECT_EQ(bytes[28], 24);  // bits per pixel
  DeleteFileW(path.c_str());
}

TEST_F(ScreenCaptureTest, JpegIsClose) {
  captureAndCompare(1, "\xFF\xD8\xFF", 24);
}
TEST_F(ScreenCaptureTest, GifIsExactForWebSafeColours) {
  captureAndCompare(2, "GIF8", 0);
}
TEST_F(ScreenCaptureTest, TiffIsExact) {
  captureAndCompare(3, "II*", 0);
}
TEST_F(ScreenCaptureTest, PngIsExact) {
  captureAndCompare(4, "\x89PNG", 0);
}
TEST_F(ScreenCaptureTest, UnknownFormatIsPng) {
  captureAndCompare(7, "\x89PNG", 0);
}

TEST_F(ScreenCaptureTest, RectanglePastTheTopLeftCornerIsCutNotMoved) {
  std::wstring path;
  ASSERT_TRUE(ScreenCapturer::instance().capture(shotOf(-100, 150, 300, 100, 4), path));
  const Decoded image = decode(path);
  ASSERT_EQ(image.width, 200u);
  ASSERT_EQ(image.height, 100u);
  EXPECT_EQ(image.pixel(50, 10), patternColour(50, 160));
  EXPECT_EQ(image.pixel(150, 40), patternColour(150, 190));
  DeleteFileW(path.c_str());
}

TEST_F(ScreenCaptureTest, RectanglePastTheBottomRightCornerIsCut) {
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  std::wstring path;
  ASSERT_TRUE(
      ScreenCapturer::instance().capture(shotOf(width - 30, height - 20, 400, 200, 4), path));
  const Decoded image = decode(path);
  EXPECT_EQ(image.width, 30u);
  EXPECT_EQ(image.height, 20u);
  DeleteFileW(path.c_str());
}

TEST_F(ScreenCaptureTest, RectangleOffTheScreenGivesNoFile) {
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const std::set<std::wstring> before = captureTemporaryFiles();
  std::wstring path = L"unchanged";
  EXPECT_FALSE(ScreenCapturer::instance().capture(shotOf(width, 0, 100, 100, 4), path));
  EXPECT_FALSE(ScreenCapturer::instance().capture(shotOf(-500, 0, 400, 100, 1), path));
  EXPECT_FALSE(ScreenCapturer::instance().capture(shotOf(10, 10, 0, 100, 0), path));
  EXPECT_EQ(path, L"unchanged");
  EXPECT_EQ(captureTemporaryFiles(), before);
}

TEST_F(ScreenCaptureTest, CapturesRunSideBySideAndAfterARelease) {
  ScreenCapturer::release();
  std::vector<std::thread> workers;
  std::atomic<int> captured{0};
  std::vector<std::wstring> paths(6);
  for (int i = 0; i < 6; ++i) {
    workers.emplace_back([&, i] {
      if (ScreenCapturer::instance().capture(shotOf(kX, kY, kWidth, kHeight, i % 5), paths[i])) {
        ++captured;
      }
    });
  }
  for (auto& worker : workers) worker.join();
  EXPECT_EQ(captured, 6);
  for (const auto& path : paths) {
    EXPECT_EQ(decode(path).width, static_cast<UINT>(kWidth));
    DeleteFileW(path.c_str());
  }
}

}  // namespace
