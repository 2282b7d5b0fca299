// How long a full-screen capture takes to reach its local file, per image format: the screen
// copy, the 24-bit cut, the encoding into the temporary file and the copy into the local folder.
// Prints the median of kRuns runs and the file size; asserts nothing. Then, after an empty line,
// what the capture alone costs for the full screen and for a 320 x 240 shot, before (the way
// capture worked until it copied only the shot's rectangle: the whole primary screen copied, the
// rectangle cut out of that) and after.
//
// Usage: capture_bench.exe [MARKER_FOLDER]
// With a marker folder the picture stays on the screen after the runs: the program writes
// "ready" there and waits for "done", so another tool can capture the same picture meanwhile.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "capture/gdiplus_image_win.h"
#include "capture/image_format.h"
#include "capture/output_name.h"
#include "capture/screen_capturer_win.h"
#include "delivery/local_saver.h"
#include "platform/win32_handles.h"

namespace {

constexpr int kRuns = 20;
constexpr DWORD kWaitForDoneMs = 10 * 60 * 1000;

// Something like a desktop: a gradient, coloured panels and lines of text, so the encoders
// meet both flat areas and detail.
void paintDesktop(HDC dc, int width, int height) {
  for (int y = 0; y < height; y += 4) {
    UniqueResource<HBRUSH, win32::deleteGdiObject> band(
        CreateSolidBrush(RGB(30 + y * 60 / height, 60 + y * 90 / height, 120 + y * 100 / height)));
    const RECT row{0, y, width, y + 4};
    FillRect(dc, &row, band.get());
  }
  const COLORREF panels[] = {RGB(250, 250, 250), RGB(240, 240, 200), RGB(220, 235, 250)};
  SetBkMode(dc, TRANSPARENT);
  for (int i = 0; i < 6; ++i) {
    const RECT panel{60 + i * 190, 80 + (i % 3) * 260, 60 + i * 190 + 420,
                     80 + (i % 3) * 260 + 300};
    UniqueResource<HBRUSH, win32::deleteGdiObject> brush(CreateSolidBrush(panels[i % 3]));
    FillRect(dc, &panel, brush.get());
    for (int line = 0; line < 16; ++line) {
      const std::wstring text = L"Line " + std::to_wstring(line) +
                                L": The quick brown fox jumps over the lazy dog 0123456789";
      TextOutW(dc, panel.left + 8, panel.top + 8 + line * 18, text.c_str(),
               static_cast<int>(text.size()));
    }
  }
}

LRESULT CALLBACK desktopProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_PAINT) return DefWindowProcW(window, message, wParam, lParam);
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  RECT client;
  GetClientRect(window, &client);
  paintDesktop(dc, client.right, client.bottom);
  EndPaint(window, &paint);
  return 0;
}

void pumpFor(DWORD milliseconds) {
  const DWORD until = GetTickCount() + milliseconds;
  do {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    Sleep(10);
  } while (GetTickCount() < until);
}

win32::UniqueWindow showDesktop(int width, int height) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = desktopProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"VemlixBenchDesktop";
  RegisterClassW(&windowClass);
  win32::UniqueWindow window(CreateWindowExW(
      WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"VemlixBenchDesktop", L"", WS_POPUP | WS_VISIBLE, 0, 0,
      width, height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr));
  UpdateWindow(window.get());
  pumpFor(1000);
  return window;
}

std::wstring tempFolder() {
  wchar_t folder[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, folder);
  return folder;
}

struct Result {
  double medianMs = 0;
  unsigned long long bytes = 0;
  int failures = 0;
};

Result measure(int format, int width, int height, const std::wstring& folder) {
  EffectiveShot shot;
  shot.name = L"Bench";
  shot.rectWidth = width;
  shot.rectHeight = height;
  shot.format = format;
  shot.localFolder = folder;
  const std::wstring stamp = L"run";
  std::vector<double> times;
  Result result;
  for (int run = 0; run < kRuns; ++run) {
    const auto start = std::chrono::steady_clock::now();
    std::wstring captured;
    const bool ok = ScreenCapturer::instance().capture(shot, captured) &&
                    LocalSaver().saveLocalCopy(shot, captured, stamp);
    times.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
            .count());
    if (!ok) ++result.failures;
    if (!captured.empty()) DeleteFileW(captured.c_str());
    pumpFor(0);
  }
  std::sort(times.begin(), times.end());
  result.medianMs = (times[kRuns / 2 - 1] + times[kRuns / 2]) / 2;
  WIN32_FILE_ATTRIBUTE_DATA data{};
  const std::wstring local = localTargetPath(shot, stamp).value_or(L"");
  if (GetFileAttributesExW(local.c_str(), GetFileExInfoStandard, &data)) {
    result.bytes = (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  }
  DeleteFileW(local.c_str());
  return result;
}

// The capture as it was before it copied only the shot's rectangle, kept to measure against:
// a copy of the whole primary screen, wrapped by GDI+, the rectangle cut out as 24-bit RGB,
// encoded into a new temporary file.
bool captureWholeScreenFirst(const EffectiveShot& shot, std::wstring& path) {
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  CLSID encoder{};
  if (!gdip::findEncoder(ImageFormat::byIndex(shot.format).mimeType, encoder)) return false;
  win32::WindowDc screen(nullptr);
  win32::UniqueMemoryDc memory(CreateCompatibleDC(screen.get()));
  win32::UniqueBitmap copy(CreateCompatibleBitmap(screen.get(), width, height));
  if (!memory || !copy) return false;
  {
    win32::SelectedObject selected(memory.get(), copy.get());
    if (!BitBlt(memory.get(), 0, 0, width, height, screen.get(), 0, 0, SRCCOPY)) return false;
  }
  using namespace Gdiplus::DllExports;
  Gdiplus::GpBitmap* whole = nullptr;
  if (GdipCreateBitmapFromHBITMAP(copy.get(), nullptr, &whole) != Gdiplus::Ok) return false;
  const gdip::UniqueBitmap wholeOwner(whole);
  Gdiplus::GpBitmap* cut = nullptr;
  if (GdipCloneBitmapAreaI(shot.rectX, shot.rectY, shot.rectWidth, shot.rectHeight,
                           PixelFormat24bppRGB, whole, &cut) != Gdiplus::Ok) {
    return false;
  }
  const gdip::UniqueBitmap cutOwner(cut);
  wchar_t file[MAX_PATH] = {};
  if (GetTempFileNameW(tempFolder().c_str(), L"vmp", 0, file) == 0) return false;
  path = file;
  return gdip::saveImage(cut, path, encoder, 65);
}

// Median milliseconds of kRuns captures of `shot` by `capture`.
template <typename Capture>
double medianCaptureMs(const EffectiveShot& shot, Capture capture) {
  std::vector<double> times;
  for (int run = 0; run < kRuns; ++run) {
    std::wstring path;
    const auto start = std::chrono::steady_clock::now();
    capture(shot, path);
    times.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
            .count());
    if (!path.empty()) DeleteFileW(path.c_str());
  }
  std::sort(times.begin(), times.end());
  return (times[kRuns / 2 - 1] + times[kRuns / 2]) / 2;
}

void compareWithWholeScreenCopy(int width, int height) {
  std::printf(
      "\ncapture alone (screen copy, 24-bit cut, encoding into the temporary file), "
      "median of %d runs\n",
      kRuns);
  std::printf("%-10s %-6s %12s %12s\n", "area", "format", "before ms", "after ms");
  const int sizes[][2] = {{width, height}, {320, 240}};
  for (const auto& size : sizes) {
    for (const int format : {0, 4}) {
      EffectiveShot shot;
      shot.rectX = size[0] == width ? 0 : 100;
      shot.rectY = size[0] == width ? 0 : 100;
      shot.rectWidth = size[0];
      shot.rectHeight = size[1];
      shot.format = format;
      const double before = medianCaptureMs(shot, captureWholeScreenFirst);
      const double after = medianCaptureMs(shot, [](const EffectiveShot& s, std::wstring& path) {
        return ScreenCapturer::instance().capture(s, path);
      });
      const std::wstring name(ImageFormat::byIndex(format).extension.substr(1));
      const std::string area = std::to_string(size[0]) + "x" + std::to_string(size[1]);
      std::printf("%-10s %-6ls %12.1f %12.1f\n", area.c_str(), name.c_str(), before, after);
      std::fflush(stdout);
    }
  }
}

// Processor time of this thread so far, in milliseconds.
double threadCpuMs() {
  FILETIME created{}, exited{}, kernel{}, user{};
  GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
  auto ms = [](const FILETIME& t) {
    return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) |
                               t.dwLowDateTime) /
           10000.0;
  };
  return ms(kernel) + ms(user);
}

// A still screen with "skip unchanged" on: the first capture is saved, the others only
// compared. Four full-screen shots every 5 s cost four comparisons per 5 s of processor time.
void compareSkippedWithSaved(int width, int height) {
  EffectiveShot shot;
  shot.recordId = 1;
  shot.rectWidth = width;
  shot.rectHeight = height;
  shot.format = 4;
  shot.skipUnchanged = true;
  auto captureOnce = [](const EffectiveShot& s, std::wstring& path) {
    std::wstring failure;
    return ScreenCapturer::instance().captureShot(s, path, failure);
  };
  EffectiveShot saving = shot;
  saving.skipUnchanged = false;
  const double saved = medianCaptureMs(saving, captureOnce);
  std::wstring first;
  captureOnce(shot, first);
  if (!first.empty()) DeleteFileW(first.c_str());
  const double skipped = medianCaptureMs(shot, captureOnce);
  const double cpuBefore = threadCpuMs();
  medianCaptureMs(shot, captureOnce);
  const double cpuPerSkip = (threadCpuMs() - cpuBefore) / kRuns;
  std::printf("\nstill screen, %dx%d png, median of %d runs\n", width, height, kRuns);
  std::printf("saved capture     %9.1f ms\n", saved);
  std::printf("skipped capture   %9.1f ms  (%.1f ms of processor time)\n", skipped, cpuPerSkip);
  // An hour of four shots at 5 s is 4 x 720 skipped captures.
  std::printf("4 shots every 5 s %9.1f s of processor time an hour (%.2f %% of one core)\n",
              4 * 720 * cpuPerSkip / 1000, 4 * cpuPerSkip / 5000 * 100);
  std::fflush(stdout);
}

bool exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  win32::UniqueWindow desktop = showDesktop(width, height);
  const std::wstring folder = tempFolder() + L"vemlix-bench";
  CreateDirectoryW(folder.c_str(), nullptr);

  std::printf("capture to local file, %dx%d, median of %d runs\n", width, height, kRuns);
  for (int format = 0; format < ImageFormat::kCount; ++format) {
    const Result result = measure(format, width, height, folder);
    const std::wstring name(ImageFormat::byIndex(format).extension.substr(1));
    std::printf("%-5ls %9.1f ms %10llu bytes%s\n", name.c_str(), result.medianMs, result.bytes,
                result.failures ? " (some runs failed)" : "");
    std::fflush(stdout);
  }
  RemoveDirectoryW(folder.c_str());
  compareWithWholeScreenCopy(width, height);
  compareSkippedWithSaved(width, height);
  ScreenCapturer::release();

  if (argc > 1) {
    const std::wstring markers = argv[1];
    win32::UniqueFileHandle ready(CreateFileW((markers + L"\\ready").c_str(), GENERIC_WRITE, 0,
                                              nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                              nullptr));
    const DWORD until = GetTickCount() + kWaitForDoneMs;
    while (!exists(markers + L"\\done") && GetTickCount() < until) pumpFor(100);
  }
  return 0;
}
