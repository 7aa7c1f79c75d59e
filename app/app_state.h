// The process-wide state of the tray program that start-up creates and
// ShutdownApp releases.
#pragma once

#include <windows.h>

#include "win/handles.h"

constexpr char kMainWindowClass[] = "VWG for ICQ";
constexpr char kInstanceMutexName[] = "VWG_ICQ_MUTEX";

// Held by the first copy of the program for as long as it runs.
extern KernelHandle InstanceMutex;

// Pictures of the splash and About windows.
extern BitmapHandle SplashBitmap;
extern BitmapHandle AboutBitmap;

// Menu icons, one per tray-menu command, in the order of the menu.
constexpr int kMenuIconCount = 7;
extern BitmapHandle MenuIcons[kMenuIconCount];

// True while another copy of the program holds the mutex.
bool AnotherCopyRuns();

// Releases what start-up acquired: the scan timer, the tray icon, the
// mutex, the bitmaps and the window class, and wipes the secret key in
// memory. Safe at any point of start-up: what has not been acquired yet is
// skipped.
void ShutdownApp();
