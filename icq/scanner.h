// The scan of the desktop for ICQ's message dialogs, every 300 ms.
#pragma once

#include <windows.h>

void CALLBACK ScanTimerProc(HWND window, UINT message, UINT_PTR timerId, DWORD time);
