#pragma once
// The "Schedule and Storage" dialog, opened from Shot Settings: how long the shot's pictures are
// kept, whether unchanged ones are skipped, and the hours and days Automatic Mode takes it.
#include <windows.h>

#include "shots/shot_definition.h"

// Modal. True after Save, with KEEP_DAYS, KEEP_COUNT, SKIP_UNCHANGED, ACTIVE_HOURS and
// ACTIVE_DAYS written into `shot` (every other field left as it was); false after Cancel, Escape
// or the close box, with `shot` untouched. Equal hours and a week without a day are refused with
// a message while the dialog stays open.
bool runScheduleStorageDialog(HWND owner, ShotDefinition& shot);
