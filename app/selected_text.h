// What the Decrypt hotkey reads: the selection in the focused control of the
// foreground window, where that is a standard edit or rich-edit control, or
// else the clipboard's text. The control belongs to another program: it is
// read with messages under a time limit (icq/dialog_messages.h) and nothing
// in it changes. Other controls, which give out no text, get the keyboard's
// copy in a later step; until then the clipboard stands in for them.
#pragma once

#include <string>

enum class TextSource { kSelection, kClipboard };

enum class SelectedRead {
  kRead,          // text holds what was read, source where from
  kNotAnswering,  // the control did not answer in time: nothing was read
  kFailed,        // the clipboard could not be opened (reported)
};

// The selected text, or with nothing selected the clipboard's, in UTF-16
// into text, which the caller wipes: it may be a plain text.
SelectedRead ReadSelectedText(std::wstring& text, TextSource& source);
