#include "ui/main_window.h"

#include <commctrl.h>
// After windows.h, which it builds on.
#include <wtsapi32.h>

#include <utility>

#include "scheduler/program_deliveries_win.h"
#include "scheduler/shot_scheduler_win.h"
#include "settings/app_settings.h"
#include "shots/shot_store.h"
#include "ui/command_table.h"
#include "ui/new_shot_window.h"
#include "ui/program_start.h"
#include "ui/program_stop.h"
#include "ui/resource_ids.h"
#include "ui/shot_list_panel.h"
#include "ui/startup_warning.h"
#include "ui/window_fade.h"
#include "widgets/dpi_scale.h"
#include "widgets/widgets.h"

namespace {

MainWindow* mainWindow = nullptr;

// WS_POPUP | WS_MINIMIZE | WS_SYSMENU | WS_MINIMIZEBOX: no caption, no sizing frame.
constexpr LONG kSkinStyle = static_cast<LONG>(0xA00A0000);
constexpr int kMaxResourceText = 100;
// Where the window opens when the stored position lies on no monitor.
constexpr POINT kDefaultPosition{400, 400};
// Posted once the window exists, so that start-up never waits on the user.
constexpr UINT kWarnUnreadableFiles = WM_APP + 1;
// Posted by a worker that has reported a firing: workers never touch windows themselves.
constexpr UINT kFiringReported = WM_APP + 2;
// The answer to WM_COPYDATA when nobody listens: any program of the desktop may send it.
constexpr LRESULT kNotTaken = 2;

std::wstring loadText(HINSTANCE instance, UINT id) {
  wchar_t buffer[kMaxResourceText + 1] = {};
  LoadStringW(instance, id, buffer, kMaxResourceText);
  return buffer;
}

// The stored position, or the default one when no monitor shows any of the window there (a
// monitor was removed, or the settings came from another machine).
POINT openingPosition(const AppSettings& settings) {
  const POINT stored{settings.getInt(SettingId::WND_XPOS), settings.getInt(SettingId::WND_YPOS)};
  const RECT area{stored.x, stored.y, stored.x + MainWindow::kWidth,
                  stored.y + MainWindow::kHeight};
  return MonitorFromRect(&area, MONITOR_DEFAULTTONULL) ? stored : kDefaultPosition;
}

UINT automaticModePicture(bool running) {
  return running ? IDB_AUTOMATIC_RUNNING : IDB_AUTOMATIC_STOPPED;
}

}  // namespace

MainWindow& MainWindow::instance() {
  if (!mainWindow) mainWindow = new MainWindow();
  return *mainWindow;
}

void MainWindow::release() {
  delete std::exchange(mainWindow, nullptr);
  ShutdownWidgets();
}

MainWindow::~MainWindow() {
  // After a normal exit the window is already gone; after a failed start it may not be.
  if (window()) DestroyWindow(window());
}

WindowClass MainWindow::windowClass() {
  // The program's own resources name it, wherever the window is made.
  static const std::wstring name = loadText(GetModuleHandleW(nullptr), IDS_WINDOW_CLASS);
  return {name, CS_HREDRAW | CS_VREDRAW, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), IDI_VEMLIX,
          IDI_SMALL};
}

UINT MainWindow::activateMessage() {
  static const UINT message = RegisterWindowMessageW(L"Tarnwelt.Vemlix.Activate");
  return message;
}

void MainWindow::initialize(HINSTANCE instance, AppSettings& settings) {
  instance_ = instance;
  settings_ = &settings;
  INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES | ICC_BAR_CLASSES |
                                    ICC_TAB_CLASSES | ICC_UPDOWN_CLASS | ICC_PROGRESS_CLASS |
                                    ICC_HOTKEY_CLASS | ICC_ANIMATE_CLASS};
  InitCommonControlsEx(&controls);
  title_ = loadText(instance, IDS_APP_TITLE);
  NewShotWindow::instance().registerClass(instance);
  NewShotWindow::instance().setKnownHostsPath(knownHostsPath(settings));
}

int MainWindow::createMainWindow(HINSTANCE instance, int /*showCommand*/) {
  instance_ = instance;
  const POINT position = openingPosition(*settings_);
  // Made at its size on the monitor it opens on: once it is a skin, the size it was made with
  // is the one it comes back to whenever it is shown.
  const UINT dpi = dpi::atPoint(position);
  const RECT place{position.x, position.y, position.x + dpi::scale(kWidth, dpi),
                   position.y + dpi::scale(kHeight, dpi)};
  HWND window = create(instance, 0, title_, WS_OVERLAPPEDWINDOW, place, nullptr);
  if (!window) return 0;

  SetWindowLongW(window, GWL_STYLE, kSkinStyle);
  SetWindowLongW(window, GWL_EXSTYLE, WS_EX_LAYERED);
  // Without this the old caption and frame stay cached in the window's non-client area.
  SetWindowPos(window, nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  SetLayeredWindowAttributes(window, 0, 0, LWA_ALPHA);

  loadProgramData();
  if (!settings_->getBool(SettingId::START_ON_TRAY) && !startHidden_) {
    showWindowAnimated(window, kShowAnimated);
  }
  if (!unreadableFilesMessage(*settings_, ShotStore::instance()).empty())
    PostMessageW(window, kWarnUnreadableFiles, 0, 0);
  return 1;
}

int MainWindow::runMessageLoop() {
  accelerators_ = makeAccelerators();
  MSG message{};
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    // The keys reach the list, which has the focus; their commands belong to this window. Seen
    // here, before the list turns Enter, Delete and Esc into notifications of its own.
    if (ownsKeyboardMessage(message.hwnd) &&
        TranslateAcceleratorW(window(), accelerators_.get(), &message)) {
      continue;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

bool MainWindow::ownsKeyboardMessage(HWND target) const {
  return window() && (target == window() || IsChild(window(), target));
}

// Whichever way the window comes forward (shown, clicked, brought back by a second start), the
// keys go to the list.
void MainWindow::focusList() const {
  if (IsWindow(list_)) SetFocus(list_);
}

LRESULT MainWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) break;
      focusList();
      return 0;
    case WM_SETFOCUS:
      focusList();
      return 0;
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
    case WM_TRAYICON:
      onTrayIcon(lParam);
      return 0;
    case WM_DPICHANGED:
      onDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_DESTROY:
      onDestroy();
      return 0;
  }
  return handleOtherMessage(message, wParam, lParam);
}

// The program's own messages, and the registered ones.
LRESULT MainWindow::handleOtherMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kWarnUnreadableFiles:
      onWarnUnreadableFiles();
      return 0;
    case WM_WTSSESSION_CHANGE:
      onSessionChange(wParam);
      return 0;
    case kFiringReported:
      onFiringReported();
      return 0;
    case WM_COPYDATA:
      if (!copyDataListener_) return kNotTaken;
      return copyDataListener_(*reinterpret_cast<const COPYDATASTRUCT*>(lParam));
  }
  if (message == activateMessage()) {
    commands_.activate();
    return 0;
  }
  // The notification area was made anew (Explorer restarted): without the icon again, a
  // hidden Vemlix could not be reached.
  if (message == TrayIcon::taskbarCreatedMessage()) {
    tray_.addIcon(window(), instance_, IDI_SMALL);
    return 0;
  }
  return defaultProcessing(message, wParam, lParam);
}

void MainWindow::onCreate() {
  const UINT dpi = dpi::of(window());
  background_ = CreateWindowExW(
      0, L"static", L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | SS_BITMAP, 0, 0,
      dpi::scale(kWidth, dpi), dpi::scale(kHeight, dpi), window(), nullptr, instance_, nullptr);
  ShotListPanel& list = ShotListPanel::instance();
  list.create(instance_, window());
  list_ = list.list();
  // The list and the overlays know each other only through the window that holds both.
  list.setEditor([this](const ShotPtr& shot) { NewShotWindow::instance().open(shot, window()); });
  NewShotWindow::instance().setSavedListener(&ShotListPanel::requestFill);
  // Above the skin, which was made first.
  SetWindowPos(list.window(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  makeButtons();
  tray_.addIcon(window(), instance_, IDI_SMALL);
  applyDpi(dpi);
  // Lock and unlock reach this window from now on; what came before is asked for.
  WTSRegisterSessionNotification(window(), NOTIFY_FOR_THIS_SESSION);
  ShotScheduler::setSessionLocked(session_.refresh());
  ShotScheduler::setFiringListener(
      [this](const FiringReport& report) { reports_.post(report, window(), kFiringReported); });
}

void MainWindow::makeButtons() {
  const bool running = ShotScheduler::instance().isRunning();
  for (const CommandRow& row : commandTable()) {
    const CommandButton& place = row.button;
    if (place.size == 0) continue;
    const UINT normal = row.id == CMD_AUTOMATIC_MODE ? automaticModePicture(running) : place.normal;
    auto& button = buttons_.emplace_back(std::make_unique<ImageButton>());
    button->create(background_, window(), place.x, place.y, place.size, place.size, normal,
                   place.pressed, row.id, row.name, row.key.text);
  }
}

void MainWindow::showAutomaticMode(bool running) {
  size_t index = 0;
  for (const CommandRow& row : commandTable()) {
    if (row.button.size == 0) continue;
    if (row.id == CMD_AUTOMATIC_MODE && index < buttons_.size())
      buttons_[index]->setImages(automaticModePicture(running), IDB_AUTOMATIC_PRESSED);
    ++index;
  }
}

void MainWindow::applyDpi(UINT dpi) {
  const int width = dpi::scale(kWidth, dpi);
  const int height = dpi::scale(kHeight, dpi);
  SetWindowPos(background_, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  win32::UniqueBitmap skin(static_cast<HBITMAP>(
      LoadImageW(instance_, MAKEINTRESOURCEW(dpi::pictureId(IDB_SKIN, dpi)), IMAGE_BITMAP,
                 dpi == dpi::kBase ? 0 : width, dpi == dpi::kBase ? 0 : height, 0)));
  SendMessageW(background_, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(skin.get()));
  skin_ = std::move(skin);  // the old picture goes once the control no longer shows it
  for (const auto& button : buttons_) button->applyDpi(dpi);
  ShotListPanel::instance().applyDpi(dpi);
}

void MainWindow::onDpiChanged(UINT dpi, const RECT& suggested) {
  SetWindowPos(window(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  applyDpi(dpi);
}

LRESULT MainWindow::onCommand(WPARAM wParam, LPARAM lParam) {
  const CommandRow* row = findCommand(LOWORD(wParam));
  if (!row) return defaultProcessing(WM_COMMAND, wParam, lParam);
  (commands_.*row->run)();
  return 0;
}

void MainWindow::onTrayIcon(LPARAM mouseMessage) {
  switch (mouseMessage) {
    case WM_LBUTTONDOWN:
      commands_.showOrHide();
      break;
    case WM_RBUTTONDOWN:
      tray_.showMenu(window());
      break;
  }
}

// Dragging anywhere on the skin that is not a control moves the window.
LRESULT MainWindow::onNcHitTest(WPARAM wParam, LPARAM lParam) {
  LRESULT hit = defaultProcessing(WM_NCHITTEST, wParam, lParam);
  return hit == HTCLIENT ? HTCAPTION : hit;
}

void MainWindow::onMove() {
  if (IsIconic(window())) return;
  WINDOWINFO info{};
  info.cbSize = sizeof(info);
  if (!GetWindowInfo(window(), &info)) return;
  settings_->setInt(SettingId::WND_XPOS, info.rcWindow.left);
  settings_->setInt(SettingId::WND_YPOS, info.rcWindow.top);
  settings_->save();
}

void MainWindow::onPaint() {
  const win32::PaintDc nothingToDraw(window());  // the skin's picture control draws itself
}

void MainWindow::onDestroy() {
  // Waits for a worker telling this window of a firing; none does afterwards.
  ShotScheduler::setFiringListener(nullptr);
  WTSUnRegisterSessionNotification(window());
  tray_.removeIcon();
  releaseProgramParts();
  background_ = nullptr;  // a child window: it goes with this one
  PostQuitMessage(0);
}

void MainWindow::onWarnUnreadableFiles() {
  MessageBoxW(window(), unreadableFilesMessage(*settings_, ShotStore::instance()).c_str(),
              title_.c_str(), MB_OK | MB_ICONWARNING);
}

// The message only says that something changed: any process can post it.
void MainWindow::onSessionChange(WPARAM change) {
  ShotScheduler::setSessionLocked(session_.onChange(change));
}

// The badge shows until a firing succeeds, and a success that ended after a failure is the
// newer news; it stays while pictures wait to be uploaded.
void MainWindow::onFiringReported() {
  if (const auto report = reports_.take())
    tray_.showStatus(tipText(*report), report->failed() || report->waitingUploads > 0);
}
