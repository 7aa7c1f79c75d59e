// The hidden main window: owner of the tray icon, the scan timer, the timer
// that clears a decrypted clipboard, the tray menu and the program's
// dialogs.
#pragma once

#include <windows.h>

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
