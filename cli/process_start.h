// What vwg sets up in its process before anything else runs. One file per
// system (process_start_posix.cpp, process_start_win.cpp).
#pragma once

void PrepareProcess();
