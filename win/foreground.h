// Taking the foreground under Windows' foreground lock. A program may make a
// window foreground only while it has the right to, which a hotkey grants
// (WM_HOTKEY) and the user's next input takes away; without it
// SetForegroundWindow only flashes the taskbar button, and the keyboard
// stays where it was. Attached to the input of the foreground window's
// thread, a program shares that thread's right. What follows the taking
// (a key menu, a write into the window) must not happen where the check
// fails: a menu that the keyboard does not reach would leave Enter to the
// chat behind it, which would send the text.
#pragma once

#include <windows.h>

// The tests' way to see Windows refuse, which Wine may not do: a program
// started with this environment variable set to 1 finds every taking of the
// foreground refused. The programs never set it, and it can only make an
// action stop, never go further.
constexpr char kForegroundRefusedVariable[] = "VWG_TEST_FOREGROUND_REFUSED";

// Makes window the foreground window, attached for the moment to the input
// of the foreground window's thread and of window's own, and gives the
// keyboard focus to focus (a window of window's thread; null to leave it).
// True when GetForegroundWindow() is window afterwards. Window's thread must
// be known to answer (DialogAnswers): the attachment would otherwise let a
// hung thread hold ours.
bool TakeForeground(HWND window, HWND focus);
