// Popup menus at the mouse, or at the caret of the Encrypt hotkey: the tray
// menu and the key menu of the actions.
#pragma once

#include <windows.h>

// Shows popup where the mouse is, for owner, and returns the chosen command,
// or 0 when the menu was dismissed. Runs the menu's modal loop, in which the
// program's other messages (scan ticks too) are dispatched.
UINT TrackMenuAtCursor(HMENU popup, HWND owner);

// The same with the menu's top left corner at the screen point at.
UINT TrackMenuAt(HMENU popup, HWND owner, POINT at);
