// Dispatching the program's own queue in the middle of a scan, so that the
// program stays responsive while it waits on ICQ's windows. Whatever it
// dispatches may run a menu or a dialog nested in the caller.
#pragma once

// Dispatches every message waiting in the calling thread's queue except
// keyboard and mouse input, then yields the rest of the time slice.
void PumpMessages();
