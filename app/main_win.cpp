// The entry point: brings the program up in a fixed order, runs the message loop and ends.
#include <windows.h>

#include <chrono>
#include <optional>

#include "app/command_line.h"
#include "app/remote_command_win.h"
#include "app/remote_protocol_win.h"
#include "app/single_instance_win.h"
#include "app/update_gate_win.h"
#include "capture/screen_capturer_win.h"
#include "scheduler/shot_scheduler_win.h"
#include "settings/app_settings.h"
#include "shots/shot_store.h"
#include "ui/main_window.h"
#include "ui/new_shot_window.h"
#include "ui/resource_ids.h"
#include "widgets/widgets.h"

namespace {

// Exit code of a start that ended so the user could fetch the newer version.
constexpr int kExitUpdateAccepted = 1;
// Exit codes of a start that could not make its window.
constexpr int kExitNoWindowClass = 2;
constexpr int kExitNoWindow = 3;

// The workers were told to stop when the window went (uploads cancelled); this is how long a
// capture still finishing may keep the process.
constexpr std::chrono::seconds kWorkerDrainLimit{2};
// An overlay closes at once when told; this only bounds one that hangs.
constexpr std::chrono::milliseconds kOverlayCloseLimit{1000};

void loadSettings() {
  AppSettings& settings = AppSettings::instance();
  if (!settings.load()) settings.applyDefaults();
}

// After the last window: what the workers use goes once they have all ended. A worker still
// running past the limit keeps GDI+ and the settings until the process ends instead of finding
// them freed.
void releaseSingletons() {
  const bool workersEnded = ShotScheduler::finishShutdown(kWorkerDrainLimit);
  // An overlay opened just before Exit may still be making its window; it reads the settings.
  const bool overlaysEnded = NewShotWindow::waitForOverlays(kOverlayCloseLimit);
  if (workersEnded) ScreenCapturer::release();
  ShotStore::release();
  if (workersEnded && overlaysEnded) AppSettings::release();
  ShotScheduler::release();
}

// A start that made no window: Automatic Mode may already be running and must not go on
// without one.
int failedStart(int exitCode) {
  ShotScheduler::instance().beginShutdown();
  releaseSingletons();
  return exitCode;
}

// A second copy would write over the running one's files; that one cannot be brought here.
void tellRunningElsewhere(HINSTANCE instance) {
  wchar_t title[101] = {};
  LoadStringW(instance, IDS_APP_TITLE, title, 100);
  MessageBoxW(nullptr,
              L"Vemlix is already running for your account in another Windows session, for "
              L"example over a remote desktop connection.\r\n\r\nOnly one Vemlix can run for "
              L"each account, because every copy works on the same settings and shots. Exit "
              L"Vemlix in that session first, then start it here again.",
              title, MB_OK | MB_ICONINFORMATION);
}

std::wstring windowClassName(HINSTANCE instance) {
  wchar_t className[101] = {};
  LoadStringW(instance, IDS_WINDOW_CLASS, className, 100);
  return className;
}

// A start without a command, while Vemlix runs: the running one comes forward. Nullopt when
// this start took its place and goes on.
std::optional<int> handOverStart(HINSTANCE instance, SingleInstance& single) {
  switch (single.handOver(windowClassName(instance), MainWindow::activateMessage())) {
    case SingleInstance::HandOver::kBroughtForward:
      return 0;
    case SingleInstance::HandOver::kRunsElsewhere:
      tellRunningElsewhere(instance);
      return 0;
    case SingleInstance::HandOver::kTakenOver:
      break;
  }
  return std::nullopt;
}

// A start with a command, while Vemlix runs: the running one carries it out. Nullopt as above.
std::optional<int> handOverCommand(HINSTANCE instance, SingleInstance& single,
                                   const Command& command) {
  HWND running = nullptr;
  switch (single.reach(windowClassName(instance), running)) {
    case SingleInstance::HandOver::kBroughtForward:
      return sendToRunning(running, command);
    case SingleInstance::HandOver::kRunsElsewhere:
      printToConsole(L"Vemlix runs for your account in another Windows session, out of reach.");
      return kExitUnreachable;
    case SingleInstance::HandOver::kTakenOver:
      break;
  }
  return std::nullopt;
}

// A command for a Vemlix that was not running, carried out once its window exists. (/hide was
// carried out by not showing the window.)
void carryOutAtStart(MainWindow& mainWindow, const Command& command) {
  if (command.kind == CommandKind::kNone) return;
  if (command.kind == CommandKind::kHide) return reportOutcome(command, kRemoteDone);
  const auto code =
      static_cast<int>(runRemoteCommand(mainWindow, remoteCommandFor(command.kind), command.name));
  reportOutcome(command, code);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR arguments, int showCommand) {
  const Command command = parseCommandLine(arguments ? arguments : L"");
  if (command.kind == CommandKind::kUsage || command.kind == CommandKind::kInvalid) {
    return showUsage(command.kind);
  }

  SingleInstance single;
  if (!single.isFirst()) {
    const std::optional<int> handedOver = command.kind == CommandKind::kNone
                                              ? handOverStart(instance, single)
                                              : handOverCommand(instance, single, command);
    if (handedOver) return *handedOver;
  }
  if (command.kind == CommandKind::kExit) {
    printToConsole(L"Vemlix was not running.");
    return 0;
  }

  loadSettings();
  if (offerUpdateIfPublished()) return kExitUpdateAccepted;
  if (AppSettings::instance().getBool(SettingId::SCHED_ON)) ShotScheduler::instance().start();
  InitWidgets(instance);

  MainWindow& mainWindow = MainWindow::instance();
  mainWindow.initialize(instance, AppSettings::instance());
  if (!MainWindow::registerClass(instance)) return failedStart(kExitNoWindowClass);
  mainWindow.setCopyDataListener(
      [&mainWindow](const COPYDATASTRUCT& data) { return answerCopyData(mainWindow, data); });
  mainWindow.setStartHidden(command.kind == CommandKind::kHide);
  if (!mainWindow.createMainWindow(instance, showCommand)) return failedStart(kExitNoWindow);
  carryOutAtStart(mainWindow, command);

  const int exitCode = mainWindow.runMessageLoop();
  releaseSingletons();
  MainWindow::release();
  return exitCode;
}
