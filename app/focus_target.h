// What a hotkey works on, remembered at the press: the foreground window,
// its control that has the keyboard, where its caret is, and the program it
// belongs to. The menu that follows takes the foreground and the focus away;
// these are what they are given back to.
#pragma once

#include <windows.h>

#include <string>

struct FocusTarget {
  HWND window = nullptr;    // the foreground window
  HWND focus = nullptr;     // its control with the keyboard focus
  POINT menuAt = {};        // below the caret, or the mouse when it has none
  std::string program;      // its executable's file name, "" when unknown
  std::string className;    // the focused control's window class
  std::string windowClass;  // the foreground window's
  DWORD processId = 0;      // the process that the window belongs to
  bool ours = false;        // a window of this program (its reading window)
};

// The target of a press now. False when no window has the keyboard focus.
bool FindFocusTarget(FocusTarget& target);
