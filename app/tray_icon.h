// The program's icon in the notification area, owned by the main window,
// whose clicks arrive there as WM_TRAYICON.
#pragma once

#include <windows.h>

constexpr UINT WM_TRAYICON = 50000;
constexpr UINT kTrayIconId = 101;

// Shows the icon; false when the system refused it.
bool AddTrayIcon();

// Shows text (at most 255 characters of it) in a balloon at the icon,
// titled with the program's name, and returns at once: for notices that
// must not wait for the user, such as those of a scan tick. Nothing happens
// while the icon is not shown.
void ShowTrayBalloon(const char* text);

// Takes the icon away if it is shown: at Exit, and on every way the program
// ends after the icon was added, so that none is left behind.
void RemoveTrayIcon();
