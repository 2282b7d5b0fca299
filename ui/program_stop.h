#pragma once
// The end of the program, first half, as the main window goes (by Exit or by the system's
// close): stops the timer and cancels the uploads, and frees what belongs to the windows.
// Nothing here waits on a worker: what the workers use is freed once they have ended, after
// the message loop.
void releaseProgramParts();
