// The entry point: brings the program up in a fixed order, runs the message loop and ends.
#include <windows.h>

#include "settings/app_settings.h"
#include "app/single_instance_win.h"
#include "app/update_gate_win.h"
#include "scheduler/shot_scheduler_win.h"
#include "ui/main_window.h"
#include "ui/resource_ids.h"

namespace {

// Exit code of a start that ended so the user could fetch the newer version.
constexpr int kExitUpdateAccepted = 1;
// Exit codes of a start that could not make its window.
constexpr int kExitNoWindowClass = 2;
constexpr int kExitNoWindow = 3;

void loadSettings() {
  AppSettings& settings = AppSettings::instance();
  if (!settings.load()) settings.applyDefaults();
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  SingleInstance single;
  if (!single.isFirst()) {
    wchar_t className[101] = {};
    LoadStringW(instance, IDS_WINDOW_CLASS, className, 100);
    SingleInstance::activateRunning(className, MainWindow::activateMessage());
    return 0;
  }

  loadSettings();
  if (offerUpdateIfPublished()) return kExitUpdateAccepted;
  if (AppSettings::instance().getBool(SettingId::SCHED_ON)) ShotScheduler::instance().start();

  MainWindow& mainWindow = MainWindow::instance();
  mainWindow.initialize(instance);
  if (!mainWindow.registerWindowClass(instance)) return kExitNoWindowClass;
  if (!mainWindow.createMainWindow(instance, showCommand)) return kExitNoWindow;

  const int exitCode = mainWindow.runMessageLoop();
  MainWindow::release();
  return exitCode;
}
