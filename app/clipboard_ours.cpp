#include "app/clipboard_ours.h"

#include <windows.h>

#include <cstdint>

namespace {

// Set by MarkClipboardChangesOurs after each change this program makes:
// every change up to this sequence number is ours.
bool Marked = false;
DWORD OursUpTo = 0;
// While a hotkey borrows the clipboard, every change is its doing.
bool Borrowed = false;

// The sequence number counts every change and wraps: one at most half the
// range ahead of the mark is a later one.
bool AtOrBeforeMark(DWORD sequence) { return static_cast<int32_t>(sequence - OursUpTo) <= 0; }

bool OwnedByThisProcess() {
  HWND owner = GetClipboardOwner();
  DWORD pid = 0;
  return owner && GetWindowThreadProcessId(owner, &pid) && pid == GetCurrentProcessId();
}

}  // namespace

void MarkClipboardChangesOurs() {
  OursUpTo = GetClipboardSequenceNumber();
  Marked = true;
}

BorrowedClipboard::BorrowedClipboard() { Borrowed = true; }

BorrowedClipboard::~BorrowedClipboard() {
  Borrowed = false;
  MarkClipboardChangesOurs();
}

bool ClipboardChangeIsOurs() { return Borrowed || (Marked && AtOrBeforeMark(GetClipboardSequenceNumber())) || OwnedByThisProcess(); }
