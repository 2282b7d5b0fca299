// Starts Vemlix with a few shots defined and saves pictures of its windows, for the README and
// for looking at the program after a change (make screenshots).
// Usage: screenshot_tour.exe OUTPUT_FOLDER [SUFFIX]
// Winsock's header has to come before windows.h.
#include "support/silent_server_win.h"
// After Winsock.
#include <windows.h>

#include <cstdio>
#include <string>

#include "shots/shots_file.h"
#include "support/screen_picture_win.h"
#include "support/temp_folder.h"
#include "support/vemlix_process_win.h"
#include "ui/dialog_ids.h"
#include "ui/new_shot_window.h"
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
  writeBytes(
      sharedDataFolder() + L"\\" + kShotsFileName,
      formatShotsFile({shot(L"Desk", true, 60), shot(L"Build monitor", true, 300),
                       shot(L"Whiteboard camera", false, 600), shot(L"Dashboard", true, 30)}));
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

// Something to see through the overlay: a desktop of soft colour bands with a few shapes.
LRESULT CALLBACK paintDesktop(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_PAINT) return DefWindowProcW(window, message, wParam, lParam);
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  RECT area{};
  GetClientRect(window, &area);
  for (int band = 0; band < 16; ++band) {
    RECT strip{area.left, area.bottom * band / 16, area.right, area.bottom * (band + 1) / 16};
    win32::UniqueBrush brush(CreateSolidBrush(RGB(40 + band * 6, 90 + band * 5, 140 + band * 4)));
    FillRect(dc, &strip, brush.get());
  }
  win32::UniqueBrush sun(CreateSolidBrush(RGB(250, 204, 21)));
  win32::SelectedObject selected(dc, sun.get());
  Ellipse(dc, 900, 120, 1060, 280);
  EndPaint(window, &paint);
  return 0;
}

win32::UniqueWindow showDesktop() {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = paintDesktop;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"VemlixTourDesktop";
  RegisterClassW(&windowClass);
  win32::UniqueWindow desktop(
      CreateWindowExW(WS_EX_TOOLWINDOW, L"VemlixTourDesktop", L"", WS_POPUP | WS_VISIBLE, 0, 0,
                      GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr,
                      nullptr, GetModuleHandleW(nullptr), nullptr));
  SetWindowPos(desktop.get(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  UpdateWindow(desktop.get());
  return desktop;
}

// Keeps this process's own windows painted while it waits for Vemlix's.
void pumpFor(DWORD milliseconds) {
  const DWORD start = GetTickCount();
  MSG message{};
  while (GetTickCount() - start < milliseconds) {
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    Sleep(20);
  }
}

HWND waitForDialog(const wchar_t* caption) {
  HWND dialog = nullptr;
  waitFor(
      [&] {
        dialog = FindWindowW(L"#32770", caption);
        return dialog && IsWindowVisible(dialog) && IsWindowEnabled(dialog);
      },
      10000);
  pumpFor(400);
  return dialog;
}

void press(HWND dialog, int id) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// Saves a dialog's picture and presses one of its buttons; false when it never came.
bool saveDialog(const wchar_t* caption, const std::wstring& folder, const std::wstring& name,
                int button) {
  HWND dialog = waitForDialog(caption);
  if (!dialog) {
    std::fwprintf(stderr, L"FAILED no dialog \"%ls\"\n", caption);
    return false;
  }
  const bool saved = save(around(dialog, 0), folder, name);
  press(dialog, button);
  return saved;
}

// Filled in as a shot kept for a month and taken on working days only, then cancelled.
bool saveScheduleStorage(const std::wstring& folder, const std::wstring& name) {
  HWND dialog = waitForDialog(L"Schedule and Storage");
  if (!dialog) {
    std::fwprintf(stderr, L"FAILED no dialog \"Schedule and Storage\"\n");
    return false;
  }
  SetDlgItemTextW(dialog, IDC_KEEP_DAYS, L"30");
  for (int id : {IDC_SKIP_UNCHANGED, IDC_ACTIVE_HOURS, IDC_MONDAY + 5, IDC_SUNDAY})
    SendDlgItemMessageW(dialog, id, BM_CLICK, 0, 0);
  // The focus back where the dialog opens with it, not on the last box clicked.
  SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDC_KEEP_DAYS)),
               TRUE);
  pumpFor(300);
  const bool saved = save(around(dialog, 0), folder, name);
  press(dialog, IDCANCEL);
  return saved;
}

// As it opens, then filled in with a test running against a server that never answers, which
// Cancel ends. The port is fixed so that the picture stays the same from one run to the next.
bool saveFtpSettings(const std::wstring& folder, const std::wstring& suffix) {
  HWND dialog = waitForDialog(L"Ftp Settings");
  if (!dialog) {
    std::fwprintf(stderr, L"FAILED no dialog \"Ftp Settings\"\n");
    return false;
  }
  bool saved = save(around(dialog, 0), folder, L"ftp-settings" + suffix + L".png");
  const SilentServer silent(47022);
  const std::wstring server = L"sftp://127.0.0.1:" + std::to_wstring(silent.port());
  SetDlgItemTextW(dialog, IDC_FTP_SERVER, server.c_str());
  SetDlgItemTextW(dialog, IDC_FTP_USER, L"pc-0417");
  SendDlgItemMessageW(dialog, IDC_FTP_TEST, BM_CLICK, 0, 0);
  pumpFor(300);
  saved = save(around(dialog, 0), folder, L"ftp-settings-testing" + suffix + L".png") && saved;
  press(dialog, IDCANCEL);
  waitFor([&] { return !IsWindow(dialog); }, 10000);  // the server goes after the test
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

// The New Shot overlay over a desktop and the corner of the main window, then its settings
// dialogs. The desktop goes with it: the dialogs after it are pictured on their own.
bool saveNewShot(HWND window, const std::wstring& folder, const std::wstring& suffix) {
  win32::UniqueWindow desktop = showDesktop();
  SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  PostMessageW(window, WM_COMMAND, CMD_NEW_SHOT, 0);
  HWND overlay = nullptr;
  waitFor([&] { return (overlay = FindWindowW(kNewShotClassName, nullptr)) != nullptr; }, 10000);
  // Placed once its thread has placed and shown it, or that would undo the placing here.
  if (!overlay || !waitFor([&] { return IsWindowVisible(overlay) != FALSE; }, 10000)) return false;
  Sleep(500);
  SetWindowPos(overlay, nullptr, 300, 260, 520, 300, SWP_NOZORDER | SWP_NOACTIVATE);
  pumpFor(800);
  // Around where it landed: at 144 dpi under Wine it does not come out at the size asked for.
  bool saved = save(around(overlay, 60), folder, L"new-shot-overlay" + suffix + L".png");
  PostMessageW(overlay, WM_COMMAND, 1, 0);  // Save: the settings dialog comes first
  HWND settings = waitForDialog(L"Shot Settings");
  if (!settings) return false;
  saved = save(around(settings, 0), folder, L"shot-settings" + suffix + L".png") && saved;
  press(settings, IDC_SCHEDULE_STORAGE);
  saved = saveScheduleStorage(folder, L"schedule-storage" + suffix + L".png") && saved;
  pumpFor(300);
  press(settings, IDC_FTP_SERVER_SETTINGS);
  saved = saveFtpSettings(folder, suffix) && saved;
  pumpFor(300);
  press(settings, IDCANCEL);
  return saved;
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
  // The free-space floor as a new installation has it (the test defaults leave it empty).
  writeSettings(L"WND_XPOS=60\nWND_YPOS=60\nMIN_FREE_MB=1024");
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

  saved = saveNewShot(window, folder, suffix) && saved;
  PostMessageW(window, WM_COMMAND, CMD_SETTINGS, 0);
  if (HWND settings = waitForDialog(L"Vemlix Settings")) {
    saved = save(around(settings, 0), folder, L"settings" + suffix + L".png") && saved;
    press(settings, IDC_DEFAULT_SHOT_SETTINGS);
    saved = saveDialog(L"Default Shot Settings", folder,
                       L"default-shot-settings" + suffix + L".png", IDCANCEL) &&
            saved;
    pumpFor(300);
    press(settings, IDCANCEL);
  } else {
    saved = false;
  }

  PostMessageW(window, WM_COMMAND, CMD_ABOUT, 0);
  saved = saveDialog(L"About Tarnwelt Vemlix", folder, L"about" + suffix + L".png", IDOK) && saved;
  pumpFor(300);

  PostMessageW(window, WM_COMMAND, CMD_EXIT, 0);
  DWORD exitCode = 0;
  vemlix.waitForExit(10000, exitCode);
  removeVemlixData();
  return saved ? 0 : 1;
}
