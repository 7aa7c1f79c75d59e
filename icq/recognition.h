// Finding ICQ's message dialogs among the desktop's top-level windows and
// giving each new one its Encrypt or Decrypt button.
#pragma once

#include <windows.h>

// The EnumWindows callback of a scan tick: equips window when its caption
// marks it as a send or incoming dialog that has no button yet. Always TRUE,
// so that every top-level window is looked at.
BOOL CALLBACK EnumDialogsProc(HWND window, LPARAM value);
