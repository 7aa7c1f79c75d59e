// The scan of the desktop for ICQ's message dialogs, every 300 ms: buttons of
// closed dialogs are forgotten, buttons whose reference controls moved follow
// them, and newly opened dialogs get a button. With Auto-Decrypt on, the
// tick after an incoming dialog got its button decrypts its message, or a
// later one when the dialog did not answer. A tick never waits for the
// user, what it has to say goes into a balloon, and it waits on a dialog
// that does not answer at most kDialogAnswerMs (icq/dialog_messages.h).
#pragma once

#include <windows.h>

constexpr UINT_PTR IDT_SCANNER = 600;
constexpr UINT kScannerPeriodMs = 300;

// The TIMERPROC of IDT_SCANNER; other messages and timers are ignored.
void CALLBACK ScanTimerProc(HWND window, UINT message, UINT_PTR timerId, DWORD time);
