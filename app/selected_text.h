// What the Decrypt hotkey reads: the selection in the focused control of the
// foreground window, or with nothing selected the clipboard's text. A
// standard edit or rich-edit control of another program is read with
// messages under a time limit (icq/dialog_messages.h); any other control's
// selection is copied by the keyboard (app/keyboard_route.h), the user's
// clipboard put back at once. Nothing in the control changes.
#pragma once

#include <windows.h>

#include <string>

enum class TextSource { kSelection, kClipboard };

enum class SelectedRead {
  kRead,          // text holds what was read, source where from
  kNotAnswering,  // the control did not answer in time: nothing was read
  kFailed,        // the clipboard could not be used (reported)
};

// The selected text, or with nothing selected the clipboard's, in UTF-16
// into text, which the caller wipes: it may be a plain text. heldKey is the
// hotkey's key, which a copy by the keyboard lets go of first.
SelectedRead ReadSelectedText(UINT heldKey, std::wstring& text, TextSource& source);
