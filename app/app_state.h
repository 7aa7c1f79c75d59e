// The single running copy of the tray program, and its shutdown: what
// start-up acquires (the mutex, the pictures: app/process_state.h) and
// ShutdownApp releases.
#pragma once

constexpr char kMainWindowClass[] = "VWG for ICQ";
constexpr char kInstanceMutexName[] = "VWG_ICQ_MUTEX";

// True while another copy of the program holds the mutex.
bool AnotherCopyRuns();

// Releases what start-up acquired: the scan timer, the tray icon, the
// mutex, the bitmaps and the window class, and wipes the secret key in
// memory. Safe at any point of start-up: what has not been acquired yet is
// skipped.
void ShutdownApp();
