// The keyboard route: copying from and pasting into a control that gives out
// no text (the message box of a chat program that draws its own controls),
// through that control's own handling of Ctrl+A, Ctrl+C and Ctrl+V. The
// clipboard is borrowed for it: what the user had copied is kept and put
// back, after the copy at once, so that a plain text stays on the clipboard
// only for that moment, and after the paste only once the pasting window has
// taken the message, so that the paste cannot take the user's clipboard (a
// password, perhaps) instead.
#pragma once

#include <windows.h>

#include <string>

#include "app/focus_target.h"
#include "icq/text_transform.h"

enum class KeyboardCopy {
  kCopied,         // plain holds the copy; the user's clipboard is back
  kNothingCopied,  // the window copied nothing within a second
  kRefused,        // said in a balloon: keys held, window changed, clipboard busy
};

// Copies the selection of target (still the foreground window, and
// answering) with Ctrl+C, after Ctrl+A, which selects the focused control's
// whole text, when selectAll; into plain, once heldKey (the hotkey's key)
// and the modifier keys are up.
KeyboardCopy CopyByKeyboard(const FocusTarget& target, UINT heldKey, bool selectAll, PlainText& plain);

enum class KeyboardPaste {
  kPasted,   // the target took the message; the user's clipboard is back
  kLeft,     // not taken within two seconds: the message stays (balloon)
  kRefused,  // nothing pasted (balloon)
};

// Replaces the whole text of target's focused control, which must have the
// keyboard again, with message by Ctrl+A and Ctrl+V. The message is offered
// by delayed rendering, marked to be left out of clipboard history.
KeyboardPaste PasteByKeyboard(const FocusTarget& target, const std::wstring& message);

// The first time in a run that the keyboard route has copied a text to
// encrypt, a balloon says so where Windows keeps a clipboard history: the
// copy is the other program's own, and the history may keep it.
void WarnOfClipboardHistoryOnce();
