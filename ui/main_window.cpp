#include "ui/main_window.h"

#include <commctrl.h>
// After windows.h, which they build on.
#include <shellapi.h>
#include <wtsapi32.h>

#include <set>
#include <string_view>
#include <utility>
#include <vector>

#include "scheduler/shot_scheduler_win.h"
#include "settings/app_settings.h"
#include "shots/new_shot_name.h"
#include "shots/shot_store.h"
#include "ui/about_dialog.h"
#include "ui/new_shot_window.h"
#include "ui/resource_ids.h"
#include "ui/run_key_access.h"
#include "ui/settings_dialog.h"
#include "ui/shot_list_panel.h"
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
constexpr wchar_t kHomePage[] = L"http://vemlix.example.com/projects/vemlix/";
// Posted once the window exists, so that start-up never waits on the user.
constexpr UINT kWarnUnreadableFiles = WM_APP + 1;
// Posted by a worker that has reported a firing: workers never touch windows themselves.
constexpr UINT kFiringReported = WM_APP + 2;

struct ButtonPlace {
  int x;
  int y;
  int size;
  UINT normal;
  UINT pressed;
  UINT command;
  const wchar_t* tooltip;
  const wchar_t* key;  // the key that gives the same command, shown in the tooltip
};

// In creation order; positions in the skin at 96 dpi.
constexpr std::array<ButtonPlace, 10> kButtons{{
    {10, 35, 24, IDB_TAKE_SHOT, IDB_TAKE_SHOT_PRESSED, CMD_TAKE_SHOT, L"Take Shot", L"Ctrl+T"},
    {35, 35, 24, IDB_NEW_SHOT, IDB_NEW_SHOT_PRESSED, CMD_NEW_SHOT, L"New Shot...", L"Ctrl+N"},
    {60, 35, 24, IDB_DELETE_SHOT, IDB_DELETE_SHOT_PRESSED, CMD_DELETE_SHOT, L"Delete Shot",
     L"Delete"},
    {85, 35, 24, IDB_EDIT_SHOT, IDB_EDIT_SHOT_PRESSED, CMD_EDIT_SHOT, L"Edit Shot...", L"Enter"},
    {115, 35, 24, IDB_AUTOMATIC_STOPPED, IDB_AUTOMATIC_PRESSED, CMD_AUTOMATIC_MODE,
     L"Start or stop Automatic Mode", L""},
    {140, 35, 24, IDB_CONFIGURE, IDB_CONFIGURE_PRESSED, CMD_SETTINGS, L"Configure Vemlix...", L""},
    {341, 35, 24, IDB_HELP, IDB_HELP_PRESSED, CMD_HELP, L"Help...", L"F1"},
    {366, 35, 24, IDB_ABOUT, IDB_ABOUT_PRESSED, CMD_ABOUT, L"About Vemlix...", L""},
    {363, 5, 16, IDB_MINIMIZE, IDB_MINIMIZE_PRESSED, CMD_MINIMIZE, L"Minimize", L"Esc"},
    {380, 5, 16, IDB_EXIT, IDB_EXIT_PRESSED, CMD_EXIT, L"Exit", L"Alt+F4"},
}};
constexpr size_t kAutomaticModeButton = 4;

std::wstring loadText(HINSTANCE instance, UINT id) {
  wchar_t buffer[kMaxResourceText + 1] = {};
  LoadStringW(instance, id, buffer, kMaxResourceText);
  return buffer;
}

const wchar_t* unreadableReasonText(platform::UnreadableReason reason) {
  return reason == platform::UnreadableReason::kNotUnderstood
             ? L"it holds text, but nothing Vemlix recognises: it may have been saved by another "
               L"program"
             : L"another program may be using it, or you may not be allowed to open it";
}

// What to tell the user about data files that exist but could not be read; empty when all
// could be.
std::wstring unreadableFilesMessage() {
  const AppSettings& settings = AppSettings::instance();
  const ShotStore& store = ShotStore::instance();
  const std::wstring settingsFile = settings.unreadableFile();
  const std::wstring shotsFile = store.unreadableFile();
  if (settingsFile.empty() && shotsFile.empty()) return {};
  const bool both = !settingsFile.empty() && !shotsFile.empty();
  const wchar_t* them = both ? L"them" : L"it";
  std::wstring text =
      both ? L"Vemlix could not read these files:\n\n" : L"Vemlix could not read this file:\n\n";
  if (!settingsFile.empty()) {
    text += settingsFile + L"\n(" + unreadableReasonText(settings.unreadableReason()) + L")\n";
  }
  if (!shotsFile.empty()) {
    text += shotsFile + L"\n(" + unreadableReasonText(store.unreadableReason()) + L")\n";
  }
  text += L"\nVemlix leaves ";
  text += them;
  text += L" untouched until you start it again, so nothing in ";
  text += them;
  text += L" is lost.\n\nUntil then Vemlix runs ";
  if (!settingsFile.empty()) text += L"with its default settings";
  if (both) text += L" and ";
  if (!shotsFile.empty()) text += L"without your saved shots";
  text += L", and changes you make now are not saved.";
  return text;
}

// The stored position, or the default one when no monitor shows any of the window there (a
// monitor was removed, or the settings came from another machine).
POINT openingPosition(const AppSettings& settings) {
  const POINT stored{settings.getInt(SettingId::WND_XPOS), settings.getInt(SettingId::WND_YPOS)};
  const RECT area{stored.x, stored.y, stored.x + MainWindow::kWidth,
                  stored.y + MainWindow::kHeight};
  return MonitorFromRect(&area, MONITOR_DEFAULTTONULL) ? stored : kDefaultPosition;
}

bool isDialog(HWND window) {
  wchar_t className[16] = {};
  GetClassNameW(window, className, 16);
  return std::wstring_view(className) == L"#32770";
}

// The dialogs (and message boxes) this thread has open; the innermost of nested modal ones is
// the only one that is enabled.
std::vector<HWND> dialogsOfThisThread() {
  std::vector<HWND> dialogs;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM found) {
        if (isDialog(window) && IsWindowVisible(window))
          reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&dialogs));
  return dialogs;
}

bool sameText(const std::wstring& a, const std::wstring& b, bool ignoreCase) {
  return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                              static_cast<int>(b.size()), ignoreCase) == CSTR_EQUAL;
}

// The first shot of exactly that name; failing that, the first whose name differs only in case.
ShotPtr shotNamed(const std::wstring& name) {
  ShotPtr exact;
  ShotPtr folded;
  ShotStore::instance().forEach([&](const ShotPtr& shot, ShotDefinition& record) {
    if (!exact && record.NAME == name) exact = shot;
    if (!folded && sameText(record.NAME, name, true)) folded = shot;
  });
  return exact ? exact : folded;
}

void openWithShell(const std::wstring& target) {
  ShellExecuteW(nullptr, nullptr, target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
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
  NewShotWindow::instance().registerClass(instance);
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
  const POINT position = openingPosition(settings);
  // Made at its size on the monitor it opens on: once it is a skin, the size it was made with
  // is the one it comes back to whenever it is shown.
  const UINT dpi = dpi::atPoint(position);
  HWND window = CreateWindowExW(0, className_.c_str(), title_.c_str(), WS_OVERLAPPEDWINDOW,
                                position.x, position.y, dpi::scale(kWidth, dpi),
                                dpi::scale(kHeight, dpi), nullptr, nullptr, instance, this);
  if (!window) return 0;

  SetWindowLongW(window, GWL_STYLE, kSkinStyle);
  SetWindowLongW(window, GWL_EXSTYLE, WS_EX_LAYERED);
  // Without this the old caption and frame stay cached in the window's non-client area.
  SetWindowPos(window, nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  SetLayeredWindowAttributes(window, 0, 0, LWA_ALPHA);

  ShotStore::instance().load();
  ShotListPanel::instance().fill();
  ShotScheduler::openDeliveries();

  if (!settings.getBool(SettingId::START_ON_TRAY) && !startHidden_) {
    showWindowAnimated(window, kShowAnimated);
  }
  if (!unreadableFilesMessage().empty()) PostMessageW(window, kWarnUnreadableFiles, 0, 0);
  return 1;
}

int MainWindow::runMessageLoop() {
  HACCEL accelerators = LoadAcceleratorsW(instance_, MAKEINTRESOURCEW(IDC_VEMLIX));
  MSG message{};
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    // The keys reach the list, which has the focus; their commands belong to this window. Seen
    // here, before the list turns Enter, Delete and Esc into notifications of its own.
    if (ownsKeyboardMessage(message.hwnd) &&
        TranslateAcceleratorW(window_, accelerators, &message)) {
      continue;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

bool MainWindow::ownsKeyboardMessage(HWND target) const {
  return window_ && (target == window_ || IsChild(window_, target));
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
      return onCopyData(*reinterpret_cast<const COPYDATASTRUCT*>(lParam));
  }
  if (message == activateMessage()) {
    onActivateRequest();
    return 0;
  }
  // The notification area was made anew (Explorer restarted): without the icon again, a
  // hidden Vemlix could not be reached.
  if (message == TrayIcon::taskbarCreatedMessage()) {
    tray_.addIcon(window_, instance_, IDI_SMALL);
    return 0;
  }
  return defaultProcessing(message, wParam, lParam);
}

void MainWindow::onCreate() {
  const UINT dpi = dpi::of(window_);
  background_ = CreateWindowExW(
      0, L"static", L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | SS_BITMAP, 0, 0,
      dpi::scale(kWidth, dpi), dpi::scale(kHeight, dpi), window_, nullptr, instance_, nullptr);
  ShotListPanel& list = ShotListPanel::instance();
  list.create(instance_, window_);
  list_ = list.list();
  // Above the skin, which was made first.
  SetWindowPos(list.window(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  for (size_t i = 0; i < kButtons.size(); ++i) {
    const ButtonPlace& place = kButtons[i];
    const UINT normal = i == kAutomaticModeButton ? automaticModePicture() : place.normal;
    buttons_[i].create(background_, window_, place.x, place.y, place.size, place.size, normal,
                       place.pressed, place.command, place.tooltip, place.key);
  }
  tray_.addIcon(window_, instance_, IDI_SMALL);
  applyDpi(dpi);
  // Lock and unlock reach this window from now on; what came before is asked for.
  WTSRegisterSessionNotification(window_, NOTIFY_FOR_THIS_SESSION);
  ShotScheduler::setSessionLocked(session_.refresh());
  ShotScheduler::setFiringListener([this](const FiringReport& report) { onFiringReport(report); });
}

UINT MainWindow::automaticModePicture() const {
  return ShotScheduler::instance().isRunning() ? IDB_AUTOMATIC_RUNNING : IDB_AUTOMATIC_STOPPED;
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
  for (ImageButton& button : buttons_) button.applyDpi(dpi);
  ShotListPanel::instance().applyDpi(dpi);
}

void MainWindow::onDpiChanged(UINT dpi, const RECT& suggested) {
  SetWindowPos(window_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  applyDpi(dpi);
}

LRESULT MainWindow::onCommand(WPARAM wParam, LPARAM lParam) {
  ShotListPanel& list = ShotListPanel::instance();
  switch (LOWORD(wParam)) {
    case CMD_TAKE_SHOT:
      list.takeSelected();
      return 0;
    case CMD_NEW_SHOT:
      newShot();
      return 0;
    case CMD_DELETE_SHOT:
      list.deleteSelected();
      return 0;
    case CMD_EDIT_SHOT:
      list.editSelected();
      return 0;
    case CMD_AUTOMATIC_MODE:
      switchAutomaticMode();
      return 0;
    case CMD_SETTINGS:
      openSettings();
      return 0;
    case CMD_MINIMIZE:
      minimize();
      return 0;
    case CMD_EXIT:
    case IDM_EXIT_LEGACY:
      exitProgram();
      return 0;
    case CMD_SHOW_HIDE:
      showOrHide();
      return 0;
    case CMD_ABOUT:
      openAbout();
      return 0;
    case CMD_HELP:
      openHelp();
      return 0;
    case CMD_HOME_PAGE:
      openHomePage();
      return 0;
    case CMD_OPEN_LOG:
      openLog();
      return 0;
  }
  return defaultProcessing(WM_COMMAND, wParam, lParam);
}

void MainWindow::newShot() {
  ShotStore& store = ShotStore::instance();
  std::set<std::wstring> taken = store.names();
  taken.merge(NewShotWindow::instance().pendingNames());
  auto shot = std::make_shared<ShotDefinition>();
  shot->NAME = newShotName(store.count(), taken);
  shot->isNew = true;
  shot->RECT_X = 400;
  shot->RECT_Y = 400;
  shot->RECT_WIDTH = 400;
  shot->RECT_HEIGHT = 200;
  NewShotWindow::instance().open(shot, window_);
}

void MainWindow::setAutomaticMode(bool on) {
  if (ShotScheduler::instance().isRunning() != on) switchAutomaticMode();
}

void MainWindow::switchAutomaticMode() {
  ShotScheduler& scheduler = ShotScheduler::instance();
  if (scheduler.isRunning()) {
    buttons_[kAutomaticModeButton].setImages(IDB_AUTOMATIC_STOPPED, IDB_AUTOMATIC_PRESSED);
    scheduler.stop();
  } else {
    buttons_[kAutomaticModeButton].setImages(IDB_AUTOMATIC_RUNNING, IDB_AUTOMATIC_PRESSED);
    scheduler.start();
  }
  AppSettings& settings = AppSettings::instance();
  settings.setBool(SettingId::SCHED_ON, scheduler.isRunning());
  settings.save();
}

void MainWindow::minimize() {
  fadeEnabled = true;
  showWindowAnimated(window_, kHideAnimated);
}

void MainWindow::showOrHide() {
  fadeEnabled = true;
  showWindowAnimated(window_, IsWindowVisible(window_) ? kHideAnimated : kShowAnimated);
}

void MainWindow::openHelp() const {
  std::wstring folder = AppSettings::instance().getString(SettingId::HOME_PATH);
  if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
  openWithShell(folder + L"Vemlix.chm");
}

void MainWindow::openHomePage() const {
  openWithShell(kHomePage);
}

void MainWindow::openLog() const {
  const ActivityLog log = ShotScheduler::activityLog();
  if (log.create()) {
    openWithShell(log.path());
    return;
  }
  const std::wstring where = log.path().empty() ? L"Vemlix has no data folder" : log.path();
  MessageBoxW(window_,
              (L"The log could not be made, so there is nothing to open.\n\n" + where).c_str(),
              title_.c_str(), MB_OK | MB_ICONWARNING);
}

// A modal dialog of this window disables it; the tray menu still works then, and must not open a
// second dialog whose Save would be undone by the first one's.
bool MainWindow::modalDialogOpen() const {
  return !IsWindowEnabled(window_);
}

void MainWindow::bringOpenDialogForward() const {
  for (HWND dialog : dialogsOfThisThread()) {
    if (IsWindowEnabled(dialog)) SetForegroundWindow(dialog);
  }
}

void MainWindow::openSettings() {
  if (modalDialogOpen()) return bringOpenDialogForward();
  runSettingsDialog(window_);
}

void MainWindow::openAbout() {
  if (modalDialogOpen()) return bringOpenDialogForward();
  runAboutDialog(window_);
}

void MainWindow::onTrayIcon(LPARAM mouseMessage) {
  switch (mouseMessage) {
    case WM_LBUTTONDOWN:
      showOrHide();
      break;
    case WM_RBUTTONDOWN:
      tray_.showMenu(window_);
      break;
  }
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
  // Waits for a worker telling this window of a firing; none does afterwards.
  ShotScheduler::setFiringListener(nullptr);
  WTSUnRegisterSessionNotification(window_);
  tray_.removeIcon();
  // Reached by Exit and by the system close command alike. Nothing here waits on a worker:
  // uploads are cancelled, and what the workers use is freed once they have ended, after the
  // message loop.
  ShotScheduler::instance().beginShutdown();
  RunKeyAccess::release();
  ShotStore::release();
  NewShotWindow::release();
  ShotListPanel::release();
  background_ = nullptr;  // a child window: it goes with this one
  PostQuitMessage(0);
}

void MainWindow::onWarnUnreadableFiles() {
  MessageBoxW(window_, unreadableFilesMessage().c_str(), title_.c_str(), MB_OK | MB_ICONWARNING);
}

// The message only says that something changed: any process can post it.
void MainWindow::onSessionChange(WPARAM change) {
  ShotScheduler::setSessionLocked(session_.onChange(change));
}

void MainWindow::onFiringReport(const FiringReport& report) {
  {
    std::lock_guard guard(reportLock_);
    report_ = report;
  }
  PostMessageW(window_, kFiringReported, 0, 0);
}

// Only the last report counts: the badge shows until a firing succeeds, and a success that
// ended after a failure is the newer news.
void MainWindow::onFiringReported() {
  std::optional<FiringReport> report;
  {
    std::lock_guard guard(reportLock_);
    report.swap(report_);
  }
  // The badge stays while pictures wait to be uploaded.
  if (report) tray_.showStatus(tipText(*report), report->failed() || report->waitingUploads > 0);
}

void MainWindow::onActivateRequest() {
  if (!IsWindowVisible(window_)) {
    fadeEnabled = true;
    showWindowAnimated(window_, kShowAnimated);
  }
  SetForegroundWindow(window_);
}

void MainWindow::exitProgram() {
  // The dialogs open on this thread are cancelled first, and Exit comes back once their modal
  // loops have ended: ending the program from inside them would pull the window from under them.
  constexpr int kCancelAttempts = 50;
  if (modalDialogOpen() && exitAttempts_++ < kCancelAttempts) {
    for (HWND dialog : dialogsOfThisThread()) PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    PostMessageW(window_, WM_COMMAND, CMD_EXIT, 0);
    return;
  }
  fadeEnabled = true;
  showWindowAnimated(window_, kHideAnimated);
  ShutdownWidgets();
  ShotScheduler::instance().stop();
  DestroyWindow(window_);
}

// Any program of the desktop may send WM_COPYDATA: what is not one of our commands, well formed,
// is refused.
LRESULT MainWindow::onCopyData(const COPYDATASTRUCT& data) {
  const auto command = static_cast<RemoteCommand>(data.dwData);
  if (command < RemoteCommand::kTake || command > RemoteCommand::kExit) return kRemoteRefused;
  if (data.cbData % sizeof(wchar_t) != 0 || (data.cbData && !data.lpData)) return kRemoteRefused;
  const size_t length = data.cbData / sizeof(wchar_t);
  if (length > kMaxRemoteShotName) return kRemoteRefused;
  const std::wstring name(static_cast<const wchar_t*>(data.lpData), length);
  return runRemoteCommand(command, name);
}

LRESULT MainWindow::runRemoteCommand(RemoteCommand command, const std::wstring& shotName) {
  switch (command) {
    case RemoteCommand::kTake:
      return takeShotNamed(shotName);
    case RemoteCommand::kAutoOn:
    case RemoteCommand::kAutoOff:
      setAutomaticMode(command == RemoteCommand::kAutoOn);
      return kRemoteDone;
    case RemoteCommand::kShow:
      onActivateRequest();
      return kRemoteDone;
    case RemoteCommand::kHide:
      if (IsWindowVisible(window_)) minimize();
      return kRemoteDone;
    case RemoteCommand::kExit:
      // After the answer: the sender waits for it, and the window is gone once Exit has run.
      PostMessageW(window_, WM_COMMAND, CMD_EXIT, 0);
      return kRemoteDone;
  }
  return kRemoteRefused;
}

LRESULT MainWindow::takeShotNamed(const std::wstring& name) const {
  if (name.empty()) return kRemoteRefused;
  const ShotPtr shot = shotNamed(name);
  if (!shot) return kRemoteNoSuchShot;
  ShotScheduler::instance().fireShot(shot);
  return kRemoteDone;
}
