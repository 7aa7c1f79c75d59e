// The splash window shown at start-up and the About box of the tray menu.
#pragma once

#include <windows.h>

constexpr UINT_PTR IDT_SPLASH = 601;
constexpr UINT kSplashMs = 5000;

// Modal, owned by the main window; returns when the splash has closed itself.
void ShowSplash();
// Modal, owned by the main window.
void ShowAboutBox();

INT_PTR CALLBACK SplashDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK LinkButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam);
