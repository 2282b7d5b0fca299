#include "ui/program_start.h"

#include "scheduler/shot_scheduler_win.h"
#include "shots/shot_store.h"
#include "ui/shot_list_panel.h"

void loadProgramData() {
  ShotStore::instance().load();
  ShotListPanel::instance().fill();
  ShotScheduler::openDeliveries();
}
