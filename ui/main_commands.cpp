#include "ui/main_commands.h"

// After windows.h, which it builds on.
#include <shellapi.h>

#include <memory>
#include <set>
#include <string>

#include "scheduler/shot_scheduler_win.h"
#include "settings/app_settings.h"
#include "shots/new_shot_name.h"
#include "shots/shot_store.h"
#include "ui/about_dialog.h"
#include "ui/modal_guard.h"
#include "ui/new_shot_window.h"
#include "ui/resource_ids.h"
#include "ui/settings_dialog.h"
#include "ui/shot_list_panel.h"
#include "ui/window_fade.h"
#include "widgets/widgets.h"

namespace {

constexpr wchar_t kHomePage[] = L"http://vemlix.example.com/projects/vemlix/";

void openWithShell(const std::wstring& target) {
  ShellExecuteW(nullptr, nullptr, target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace

HWND MainCommands::window() const {
  return host_.window();
}

void MainCommands::takeShot() {
  ShotListPanel::instance().takeSelected();
}

void MainCommands::newShot() {
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
  NewShotWindow::instance().open(shot, window());
}

void MainCommands::deleteShot() {
  ShotListPanel::instance().deleteSelected();
}

void MainCommands::editShot() {
  ShotListPanel::instance().editSelected();
}

void MainCommands::setAutomaticMode(bool on) {
  if (ShotScheduler::instance().isRunning() != on) switchAutomaticMode();
}

void MainCommands::switchAutomaticMode() {
  ShotScheduler& scheduler = ShotScheduler::instance();
  if (scheduler.isRunning())
    scheduler.stop();
  else
    scheduler.start();
  host_.showAutomaticMode(scheduler.isRunning());
  AppSettings& settings = host_.settings();
  settings.setBool(SettingId::SCHED_ON, scheduler.isRunning());
  settings.save();
}

void MainCommands::minimize() {
  fadeEnabled = true;
  showWindowAnimated(window(), kHideAnimated);
}

void MainCommands::showOrHide() {
  fadeEnabled = true;
  showWindowAnimated(window(), IsWindowVisible(window()) ? kHideAnimated : kShowAnimated);
}

void MainCommands::activate() {
  if (!IsWindowVisible(window())) {
    fadeEnabled = true;
    showWindowAnimated(window(), kShowAnimated);
  }
  SetForegroundWindow(window());
}

void MainCommands::openHelp() {
  std::wstring folder = host_.settings().getString(SettingId::HOME_PATH);
  if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
  openWithShell(folder + L"Vemlix.chm");
}

void MainCommands::openHomePage() {
  openWithShell(kHomePage);
}

void MainCommands::openLog() {
  const ActivityLog log = ShotScheduler::activityLog();
  if (log.create()) {
    openWithShell(log.path());
    return;
  }
  const std::wstring where = log.path().empty() ? L"Vemlix has no data folder" : log.path();
  MessageBoxW(window(),
              (L"The log could not be made, so there is nothing to open.\n\n" + where).c_str(),
              host_.title().c_str(), MB_OK | MB_ICONWARNING);
}

void MainCommands::openSettings() {
  if (modalDialogOpen(window())) return bringOpenDialogForward();
  runSettingsDialog(window(), host_.settings());
}

void MainCommands::openAbout() {
  if (modalDialogOpen(window())) return bringOpenDialogForward();
  runAboutDialog(window(), host_.settings().getString(SettingId::VERSION));
}

void MainCommands::exitProgram() {
  // The dialogs open on this thread are cancelled first, and Exit comes back once their modal
  // loops have ended: ending the program from inside them would pull the window from under them.
  constexpr int kCancelAttempts = 50;
  if (modalDialogOpen(window()) && exitAttempts_++ < kCancelAttempts) {
    cancelOpenDialogs();
    PostMessageW(window(), WM_COMMAND, CMD_EXIT, 0);
    return;
  }
  fadeEnabled = true;
  showWindowAnimated(window(), kHideAnimated);
  ShutdownWidgets();
  ShotScheduler::instance().stop();
  DestroyWindow(window());
}
