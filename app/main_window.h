// The hidden main window: owner of the tray icon, the scan timer, the timer
// that clears a decrypted clipboard, the tray menu and the program's
// dialogs.
#pragma once

#include <windows.h>

// Set on the main window while a menu of it (the tray menu, a key menu) is
// open and its loop has once found the thread's queue empty: the messages
// of its opening that had come by then, the activation handed to this
// window among them, have been handled, and a key posted to the menu from
// then on moves the highlight from where the menu shows it. The end-to-end
// tests wait on it before they post keys. A window property, because
// another process reads it while the menu holds the program's thread.
constexpr char kMenuWaitingProperty[] = "VWG menu waiting";

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
