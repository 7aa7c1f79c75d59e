// The process-wide state of the tray program that start-up creates and
// ShutdownApp releases.
#pragma once

#include <windows.h>

constexpr UINT WM_TRAYICON = 50000;
constexpr UINT kTrayIconId = 101;
constexpr char kMainWindowClass[] = "VWG for ICQ";
constexpr char kInstanceMutexName[] = "VWG_ICQ_MUTEX";

extern HANDLE InstanceMutex;
extern NOTIFYICONDATAA TrayIcon;

// Pictures of the splash and About windows.
extern HBITMAP SplashBitmap;
extern HBITMAP AboutBitmap;

// Menu icons, one per tray-menu command, indexed by MenuIconIndex().
constexpr int kMenuIconCount = 7;
extern HBITMAP MenuIcons[kMenuIconCount];

// Releases what start-up acquired: the scan timer, the mutex, the bitmaps and
// the window class. Safe at any point of start-up: null handles are skipped.
void ShutdownApp();
