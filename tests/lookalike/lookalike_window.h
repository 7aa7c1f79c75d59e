// What the look-alike programs' top-level windows share: a Unicode window
// class (WM_CHAR then carries any UTF-16 unit, as in a program of our time),
// its caption, the end of the program when the window goes, the message
// loop, and the font of their Edit boxes.
#pragma once

#include <windows.h>

namespace lookalike {

// Registers a Unicode class named name (plain ASCII, so that the protocol
// headers can keep char names for FindWindowA) with the arrow cursor and the
// given background. False when the system refuses it.
bool RegisterWindowClass(const char* name, WNDPROC proc, int backgroundColor = COLOR_BTNFACE);

// Makes the program's visible top-level window of class className at x, y
// with the outer size width x height, captioned with the program's command
// line after its own name (the words as the test passed them, in UTF-16).
HWND CreateMainWindow(const char* className, int x, int y, int width, int height);

// What a top-level window's procedure does with the messages it leaves:
// WM_DESTROY ends the message loop, the rest goes to DefWindowProcW.
LRESULT DefaultProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Runs the message loop until WM_QUIT and returns its exit code. filter,
// when given, sees each message first and returns true when it has handled
// it, as IsDialogMessage does.
int RunMessageLoop(bool (*filter)(const MSG&) = nullptr);

// Wine's 64-bit text shaping crashes the process when an edit control in a
// proportional font shows U+02DC, which is byte 0x98 of the old message
// armour; the fixed font has no mark-positioning tables to trip over.
#ifdef _WIN64
constexpr int kEditFont = ANSI_FIXED_FONT;
#else
constexpr int kEditFont = DEFAULT_GUI_FONT;
#endif

}  // namespace lookalike
