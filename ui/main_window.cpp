#include "ui/main_window.h"

#include <commctrl.h>

#include "scheduler/shot_scheduler_win.h"
#include "settings/app_settings.h"
#include "shots/shot_store.h"
#include "ui/resource_ids.h"
#include "ui/window_fade.h"

namespace {

MainWindow* mainWindow = nullptr;

constexpr int kWindowWidth = 400;
constexpr int kWindowHeight = 300;
// WS_POPUP | WS_MINIMIZE | WS_SYSMENU | WS_MINIMIZEBOX: no caption, no sizing frame.
constexpr LONG kSkinStyle = static_cast<LONG>(0xA00A0000);
constexpr int kMaxResourceText = 100;
// Posted once the window exists, so that start-up never waits on the user.
constexpr UINT kWarnUnreadableFiles = WM_APP + 1;

// What to tell the user about data files that exist but could not be read; empty when all
// could be.
std::wstring unreadableFilesMessage() {
  const std::wstring settingsFile = AppSettings::instance().unreadableFile();
  const std::wstring shotsFile = ShotStore::instance().unreadableFile();
  if (settingsFile.empty() && shotsFile.empty()) return {};
  const bool both = !settingsFile.empty() && !shotsFile.empty();
  std::wstring text =
      both ? L"Vemlix could not read these files:\n\n" : L"Vemlix could not read this file:\n\n";
  for (const std::wstring& file : {settingsFile, shotsFile}) {
    if (!file.empty()) text += file + L"\n";
  }
  text += both ? L"\nAnother program may be using them, or you may not be allowed to open them."
               : L"\nAnother program may be using it, or you may not be allowed to open it.";
  text += L" Vemlix leaves ";
  text += both ? L"them" : L"it";
  text += L" untouched until you start it again, so nothing in ";
  text += both ? L"them" : L"it";
  text += L" is lost.\n\nUntil then Vemlix runs ";
  if (!settingsFile.empty()) text += L"with its default settings";
  if (both) text += L" and ";
  if (!shotsFile.empty()) text += L"without your saved shots";
  text += L", and changes you make now are not saved.";
  return text;
}

std::wstring loadText(HINSTANCE instance, UINT id) {
  wchar_t buffer[kMaxResourceText + 1] = {};
  LoadStringW(instance, id, buffer, kMaxResourceText);
  return buffer;
}

}  // namespace

MainWindow& MainWindow::instance() {
  if (!mainWindow) mainWindow = new MainWindow();
  return *mainWindow;
}

void MainWindow::release() {
  delete mainWindow;
  mainWindow = nullptr;
}

MainWindow::~MainWindow() {
  // After a normal exit the window is already gone; after a failed start it may not be.
  if (window_) DestroyWindow(window_);
}

UINT MainWindow::activateMessage() {
  static const UINT message = RegisterWindowMessageW(L"Tarnwelt.Vemlix.Activate");
  return message;
}

void MainWindow::initialize(HINSTANCE instance) {
  instance_ = instance;
  INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES | ICC_BAR_CLASSES |
                                    ICC_TAB_CLASSES | ICC_UPDOWN_CLASS | ICC_PROGRESS_CLASS |
                                    ICC_HOTKEY_CLASS | ICC_ANIMATE_CLASS};
  InitCommonControlsEx(&controls);
  title_ = loadText(instance, IDS_APP_TITLE);
  className_ = loadText(instance, IDS_WINDOW_CLASS);
}

ATOM MainWindow::registerWindowClass(HINSTANCE instance) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = windowProcedure;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_VEMLIX));
  windowClass.hIconSm = LoadIconW(instance, MAKEINTRESOURCEW(IDI_SMALL));
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = className_.c_str();
  return RegisterClassExW(&windowClass);
}

int MainWindow::createMainWindow(HINSTANCE instance, int /*showCommand*/) {
  instance_ = instance;
  AppSettings& settings = AppSettings::instance();
  HWND window =
      CreateWindowExW(0, className_.c_str(), title_.c_str(), WS_OVERLAPPEDWINDOW,
                      settings.getInt(SettingId::WND_XPOS), settings.getInt(SettingId::WND_YPOS),
                      kWindowWidth, kWindowHeight, nullptr, nullptr, instance, this);
  if (!window) return 0;

  SetWindowLongW(window, GWL_STYLE, kSkinStyle);
  SetWindowLongW(window, GWL_EXSTYLE, WS_EX_LAYERED);
  // Without this the old caption and frame stay cached in the window's non-client area.
  SetWindowPos(window, nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  SetLayeredWindowAttributes(window, 0, 0, LWA_ALPHA);

  ShotStore::instance().load();

  if (!settings.getBool(SettingId::START_ON_TRAY)) showWindowAnimated(window, kShowAnimated);
  if (!unreadableFilesMessage().empty()) PostMessageW(window, kWarnUnreadableFiles, 0, 0);
  return 1;
}

int MainWindow::runMessageLoop() {
  HACCEL accelerators = LoadAcceleratorsW(instance_, MAKEINTRESOURCEW(IDC_VEMLIX));
  MSG message{};
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (TranslateAcceleratorW(message.hwnd, accelerators, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

LRESULT MainWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      onCreate();
      return 0;
    case WM_COMMAND:
      return onCommand(wParam, lParam);
    case WM_NCHITTEST:
      return onNcHitTest(wParam, lParam);
    case WM_MOVE:
      onMove();
      return 0;
    case WM_PAINT:
      onPaint();
      return 0;
    case WM_DESTROY:
      onDestroy();
      return 0;
    case kWarnUnreadableFiles:
      onWarnUnreadableFiles();
      return 0;
  }
  if (message == activateMessage()) {
    onActivateRequest();
    return 0;
  }
  return defaultProcessing(message, wParam, lParam);
}

LRESULT MainWindow::onCommand(WPARAM wParam, LPARAM lParam) {
  switch (LOWORD(wParam)) {
    case CMD_EXIT:
    case IDM_EXIT_LEGACY:
      exitProgram();
      return 0;
  }
  return defaultProcessing(WM_COMMAND, wParam, lParam);
}

void MainWindow::onCreate() {
  background_.reset(
      CreateWindowExW(0, L"static", L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | SS_BITMAP, 0, 0,
                      kWindowWidth, kWindowHeight, window_, nullptr, instance_, nullptr));
  skin_.reset(LoadBitmapW(instance_, MAKEINTRESOURCEW(IDB_SKIN)));
  SendMessageW(background_.get(), STM_SETIMAGE, IMAGE_BITMAP,
               reinterpret_cast<LPARAM>(skin_.get()));
}

// Dragging anywhere on the skin that is not a control moves the window.
LRESULT MainWindow::onNcHitTest(WPARAM wParam, LPARAM lParam) {
  LRESULT hit = defaultProcessing(WM_NCHITTEST, wParam, lParam);
  return hit == HTCLIENT ? HTCAPTION : hit;
}

void MainWindow::onMove() {
  if (IsIconic(window_)) return;
  WINDOWINFO info{};
  info.cbSize = sizeof(info);
  if (!GetWindowInfo(window_, &info)) return;
  AppSettings& settings = AppSettings::instance();
  settings.setInt(SettingId::WND_XPOS, info.rcWindow.left);
  settings.setInt(SettingId::WND_YPOS, info.rcWindow.top);
  settings.save();
}

void MainWindow::onPaint() {
  PAINTSTRUCT paint;
  BeginPaint(window_, &paint);
  EndPaint(window_, &paint);
}

void MainWindow::onDestroy() {
  background_.release();  // a child window: it goes with this one
  // Reached by Exit and by the system close command alike. Nothing here waits on a worker:
  // uploads are cancelled, and what the workers use is freed once they have ended, after the
  // message loop.
  ShotScheduler::instance().beginShutdown();
  ShotStore::release();
  PostQuitMessage(0);
}

void MainWindow::onWarnUnreadableFiles() {
  MessageBoxW(window_, unreadableFilesMessage().c_str(), title_.c_str(), MB_OK | MB_ICONWARNING);
}

void MainWindow::onActivateRequest() {
  if (!IsWindowVisible(window_)) {
    fadeEnabled = true;
    showWindowAnimated(window_, kShowAnimated);
  }
  SetForegroundWindow(window_);
}

void MainWindow::exitProgram() {
  fadeEnabled = true;
  showWindowAnimated(window_, kHideAnimated);
  ShotScheduler::instance().stop();
  DestroyWindow(window_);
}
