#pragma once
// The start-up offer of a newer version.

// When CHECK_UPDATES is on and a newer version is published, asks the user whether to update.
// On "Yes" opens VEMLIX_HOME with the shell, releases the settings (nothing is saved) and
// returns true: start-up must end there, before any window, tray icon or scheduler exists.
// False otherwise, and start-up goes on.
bool offerUpdateIfPublished();
