// The tray menu's clipboard commands, which make the program useful with any
// messenger, mail program or web page: the text on the clipboard is
// encrypted or decrypted as the dialog buttons do it (icq/text_transform.h),
// and the result replaces it on the clipboard. Texts are read and written as
// CF_UNICODETEXT, so that any character survives; only the old format keeps
// to the ANSI bytes of CF_TEXT.
#pragma once

#include <windows.h>

#include "icq/text_transform.h"

// The timer on the main window that takes a decrypted text off the
// clipboard.
constexpr UINT_PTR IDT_CLEAR_CLIPBOARD = 602;
constexpr UINT kClearClipboardMs = 60000;

// Encrypts the clipboard's text for the recipient chosen from the key menu.
void EncryptClipboard();

// Decrypts the clipboard's text: a strong message from the sender its key
// ID names, an old-format one from the sender chosen from the key menu,
// blanks skipped and the padding at the end trimmed. The plain text is kept
// out of the system's clipboard history, cloud clipboard and clipboard
// viewers, and taken off the clipboard kClearClipboardMs later, unless the
// clipboard has changed by then (its sequence number tells). A text that
// holds no encrypted message, or one that is refused, is left on the
// clipboard as it is, with a notice.
void DecryptClipboard();

// The clipboard's text in both forms into plain, or false when the
// clipboard could not be opened (reported).
bool ReadClipboardText(PlainText& plain);

// The same without a report, for a reader that nobody asked: false when the
// clipboard could not be opened.
bool ReadClipboardTextQuietly(PlainText& plain);

// Puts a decrypted text on the clipboard as Decrypt Clipboard puts its own:
// kept out of clipboard history and viewers, and taken off again
// kClearClipboardMs later unless the clipboard has changed by then. False
// after reporting a failure.
bool PlaceDecryptedText(const ActionText& text);

// The clipboard has been put back as it was at sequence number was, after a
// hotkey borrowed it: a decrypted text that was to be taken off it still is.
void FollowPutBack(DWORD was);

// Takes the decrypted text off the clipboard now if it is still there; for
// the program's end, which must not leave it behind either.
void ClearDecryptedClipboard();
