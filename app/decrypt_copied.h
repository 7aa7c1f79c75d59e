// "Decrypt what I copy": while the setting is on, the main window listens to
// the clipboard's changes, and a copied text that holds messages for the
// user opens the reading window by itself. The user copies all day: a copy
// without such a message, a message that is refused, or a ring that cannot
// be used opens nothing and says nothing, and the program's own changes
// (app/clipboard_ours.h) are not read at all.
#pragma once

// Adds the main window to the clipboard's format listeners, or removes it;
// at start-up as the setting says, at the Settings page's OK, and at the
// program's end.
void ListenToCopies(bool on);

// Answers WM_CLIPBOARDUPDATE.
void OnClipboardUpdate();
