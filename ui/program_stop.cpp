#include "ui/program_stop.h"

#include "scheduler/shot_scheduler_win.h"
#include "shots/shot_store.h"
#include "ui/new_shot_window.h"
#include "ui/run_key_access.h"
#include "ui/shot_list_panel.h"

void releaseProgramParts() {
  ShotScheduler::instance().beginShutdown();
  RunKeyAccess::release();
  ShotStore::release();
  NewShotWindow::release();
  ShotListPanel::release();
}
