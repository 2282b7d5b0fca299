#pragma once
// Where a New Shot overlay opens, so that the user can always see and reach it.
#include <windows.h>

// `shot` as left, top, width and height; the result in the same form. A frame that lies
// mostly on the monitors opens where it is: it shows exactly what the capture takes. Any other
// (a monitor was unplugged, a hand-edited rectangle) opens on the nearest monitor, at its own
// size when that fits the monitor's work area, else fitted to it. A frame without a size gets
// the size of a new shot's.
RECT overlayPlacement(const RECT& shot);
