#pragma once
// Start and end of the widget toolkit: the picture buttons and their shared tooltip.
#include <windows.h>

// The first call forgets any button records and the tooltip, keeps `module` (whose bitmaps the
// buttons load), registers the window classes of the buttons and the tooltip, and makes the
// tooltip's window on the calling thread, which must live as long as the program (its first
// thread). Later calls change nothing. True when the classes are registered.
bool InitWidgets(HINSTANCE module);

// Destroys the tooltip and forgets every button record; button windows that still exist no
// longer react to the mouse. Harmless when repeated. The toolkit stays started.
void ShutdownWidgets();
