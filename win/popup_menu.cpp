#include "win/popup_menu.h"

UINT TrackMenuAtCursor(HMENU popup, HWND owner) {
  POINT cursor;
  GetCursorPos(&cursor);
  return TrackMenuAt(popup, owner, cursor);
}

UINT TrackMenuAt(HMENU popup, HWND owner, POINT at) {
  // The owner must be in the foreground, or the menu does not close when the
  // user clicks elsewhere.
  SetForegroundWindow(owner);
  SetFocus(owner);
  const UINT command =
      static_cast<UINT>(TrackPopupMenuEx(popup, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, owner, nullptr));
  // Lets the menu's own clean-up run before anything else is shown.
  PostMessageA(owner, WM_NULL, 0, 0);
  return command;
}
