// Which clipboard changes are the program's own, for "Decrypt what I copy"
// to leave alone: what the program writes itself (the clipboard's owner is
// then a window of this process), and the copies that its hotkeys ask
// another program to make and that are over by the time they are marked.
#pragma once

// Everything up to the clipboard's current sequence number counts as ours:
// called once a hotkey's copy has been taken and the user's clipboard put
// back, before the changes' notices are handled.
void MarkClipboardChangesOurs();

// The clipboard borrowed by a hotkey for the holder's life: the changes
// made meanwhile, by this program or by the one it had copy or paste, are
// ours, also where their notices come while the hotkey still waits on them;
// at the end they are marked.
class BorrowedClipboard {
 public:
  BorrowedClipboard(const BorrowedClipboard&) = delete;
  BorrowedClipboard& operator=(const BorrowedClipboard&) = delete;
  BorrowedClipboard();
  ~BorrowedClipboard();
};

// True when the clipboard's current content is ours: it is borrowed now,
// its sequence number is at or below the mark, or a window of this process
// owns it.
bool ClipboardChangeIsOurs();
