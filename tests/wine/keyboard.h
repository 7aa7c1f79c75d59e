// Real keyboard input for the tests of the hotkeys: what SendInput types
// reaches RegisterHotKey and the foreground window alike, as a user's keys
// do, where posted messages reach only the window they are posted to.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>

namespace driver {

// Presses keys in order and lets them go in reverse order, as a user presses
// Ctrl+Shift+E: true when the system took every event.
bool PressKeys(std::initializer_list<WORD> virtualKeys);

// Types text into the foreground window as a keyboard does for any
// character: a press of each UTF-16 unit (KEYEVENTF_UNICODE, which the
// target's TranslateMessage turns into WM_CHAR), and Enter for a line break
// (LF or CR LF). True when the system took every event.
bool TypeText(const std::wstring& text);

// Makes window the foreground window and gives it the keyboard; true when
// GetForegroundWindow says so.
bool BringToFront(HWND window);

// The window that has the keyboard focus in the thread of window (the one
// keys reach while that thread is in the foreground), as the system tells;
// null when none has it. A window takes the focus when it handles its
// activation, which may come a while after the foreground changed: poll it.
HWND KeyboardFocus(HWND window);

// Whether some program holds the hotkey (RegisterHotKey's modifiers and
// virtual key): this process cannot register it. Asked once a program has
// registered, never polled while it may be about to: a registration of ours
// in between would take the combination from it.
bool HotkeyHeld(UINT modifiers, UINT virtualKey);

}  // namespace driver
