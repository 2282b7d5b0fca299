// Starts Vemlix with a few shots defined and saves pictures of its windows, for the README and
// for looking at the program after a change (make screenshots).
// Usage: screenshot_tour.exe OUTPUT_FOLDER [SUFFIX]
#include <windows.h>

#include <cstdio>
#include <string>

#include "shots/shots_file.h"
#include "support/screen_picture_win.h"
#include "support/temp_folder.h"
#include "support/vemlix_process_win.h"
#include "ui/resource_ids.h"

namespace {

ShotDefinition shot(const wchar_t* name, bool automatic, int interval) {
  ShotDefinition result;
  result.NAME = name;
  result.AUTO_ENABLED = automatic;
  result.AUTO_INTERVAL = interval;
  result.RECT_X = 100;
  result.RECT_Y = 100;
  result.RECT_WIDTH = 640;
  result.RECT_HEIGHT = 480;
  result.TIMESTAMP = L"default";
  result.FORMAT = 4;
  return result;
}

void writeShots() {
  writeBytes(sharedDataFolder() + L"\\" + kShotsFileName,
             formatShotsFile({shot(L"Desk", true, 60), shot(L"Build monitor", true, 300),
                              shot(L"Whiteboard camera", false, 600),
                              shot(L"Dashboard", true, 30)}));
}

// The window's rectangle with a margin of desktop around it.
RECT around(HWND window, int margin) {
  RECT area{};
  GetWindowRect(window, &area);
  InflateRect(&area, margin, margin);
  return area;
}

bool save(const RECT& area, const std::wstring& folder, const std::wstring& name) {
  const std::wstring path = folder + L"\\" + name;
  const bool saved = saveScreenArea(area, path);
  std::fwprintf(stderr, L"%ls %ls\n", saved ? L"saved" : L"FAILED", path.c_str());
  return saved;
}

HWND waitForMenu() {
  HWND menu = nullptr;
  waitFor(
      [&] {
        menu = FindWindowW(L"#32768", nullptr);
        return menu && IsWindowVisible(menu);
      },
      5000);
  return menu;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fwprintf(stderr, L"usage: screenshot_tour OUTPUT_FOLDER [SUFFIX]\n");
    return 2;
  }
  // Real pixels, as Vemlix itself sees them: otherwise a scaled display reports shrunken
  // window rectangles.
  SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE);
  const std::wstring folder = argv[1];
  const std::wstring suffix = argc > 2 ? argv[2] : L"";
  removeVemlixData();
  writeSettings(L"WND_XPOS=60\nWND_YPOS=60");
  writeShots();

  VemlixProcess vemlix;
  HWND window = vemlix.waitForMainWindow();
  if (!window || !vemlix.waitUntilShown(window)) return 1;
  Sleep(500);
  bool saved = save(around(window, 0), folder, L"main-window" + suffix + L".png");

  // The tray menu, opened as a right click on the icon opens it, next to the window.
  RECT area = around(window, 0);
  SetCursorPos(area.right + 10, area.top + 20);
  PostMessageW(window, WM_TRAYICON, 0, WM_RBUTTONDOWN);
  if (HWND menu = waitForMenu()) {
    Sleep(300);
    RECT menuArea = around(menu, 0);
    UnionRect(&area, &area, &menuArea);
    saved = save(area, folder, L"tray-menu" + suffix + L".png") && saved;
    PostMessageW(window, WM_CANCELMODE, 0, 0);
  } else {
    saved = false;
  }

  PostMessageW(window, WM_COMMAND, CMD_EXIT, 0);
  DWORD exitCode = 0;
  vemlix.waitForExit(10000, exitCode);
  removeVemlixData();
  return saved ? 0 : 1;
}
