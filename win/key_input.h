// Keyboard input made for another program, as the user would type it: the
// keyboard route copies and pastes through the foreground window's own
// handling of Ctrl+A, Ctrl+C and Ctrl+V.
#pragma once

#include <windows.h>

// Waits, at most timeoutMs, until key and every modifier key (Ctrl, Shift,
// Alt, Windows) are up, so that a chord sent next is not mixed with the keys
// of the hotkey that is still being let go. False when some are still down.
bool WaitForKeysUp(UINT key, DWORD timeoutMs);
// How long the keys of a hotkey, or the Enter that chose from a menu, may
// take to come up; held longer, they are held on purpose.
constexpr DWORD kKeysUpMs = 1000;

// Ctrl+key (a letter) as keyboard input to the foreground window. False
// when the system did not take all of it (another program blocks input, or
// the foreground window runs at a higher integrity level).
bool SendControlKey(WORD key);
