#include "app/clipboard_commands.h"

#include <windows.h>

#include <string>

#include "icq/key_menu.h"
#include "icq/text_transform.h"
#include "keys/formats/message_text.h"
#include "keys/wiped_text.h"
#include "resources/strings.h"
#include "win/clipboard.h"
#include "win/program.h"
#include "win/report_error.h"
#include "win/unicode_text.h"

// The system offers Unicode text as CF_TEXT too, and the other way round;
// should one form be missing all the same, it is made from the other with
// the ANSI code page.
bool ReadClipboardTextQuietly(PlainText& plain) {
  OpenedClipboard clipboard(MainWindow);
  if (!clipboard.ok()) return false;
  ReadFormat(CF_UNICODETEXT, plain.wide);
  ReadFormat(CF_TEXT, plain.ansi);
  if (plain.wide.empty()) WideFromCodePage(CP_ACP, plain.ansi, plain.wide);
  if (plain.ansi.empty()) CodePageFromWide(CP_ACP, plain.wide, plain.ansi);
  return true;
}

bool ReadClipboardText(PlainText& plain) {
  if (ReadClipboardTextQuietly(plain)) return true;
  ReportError(nullptr, false);
  return false;
}

namespace {

// Replaces the clipboard's contents with text: UTF-8 as CF_UNICODETEXT, so
// that every character survives; the old format's ANSI bytes as CF_TEXT, as
// they always were. The system offers each as the other format too.
// Returns true, or false after reporting the failure (the clipboard then
// holds nothing of ours).
bool PutClipboardText(const ActionText& text, bool keepPrivate) {
  std::wstring wide;
  WipeOnExit wipe(wide);
  bool ok = !text.utf8 || WideFromCodePage(CP_UTF8, text.bytes, wide);
  OpenedClipboard clipboard(MainWindow);
  ok = ok && clipboard.ok() && EmptyClipboard();
  ok = ok && (!keepPrivate || PlaceExclusionFormats());
  if (text.utf8)
    ok = ok && PlaceData(CF_UNICODETEXT, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
  else
    ok = ok && PlaceData(CF_TEXT, text.bytes.c_str(), text.bytes.size() + 1);
  if (!ok) {
    ReportError(nullptr, false);
    if (clipboard.ok()) EmptyClipboard();  // no half-placed plain text
  }
  return ok;
}

// The clipboard's sequence number just after Decrypt Clipboard placed its
// plain text, while the timer that clears it runs: both set by ClearLater,
// the number moved on by FollowPutBack when a hotkey put that text back,
// the timer's mark cleared by ClearDecryptedClipboard.
bool ClearPending = false;
DWORD PlacedSequence = 0;

// A clipboard that another program holds open at the time is tried again
// this much later.
constexpr UINT kClearRetryMs = 1000;

// Taken after the clipboard has been closed: the sequence number counts
// every change, and that of our own writing must be in it.
void ClearLater() {
  PlacedSequence = GetClipboardSequenceNumber();
  ClearPending = SetTimer(MainWindow, IDT_CLEAR_CLIPBOARD, kClearClipboardMs, nullptr) != 0;
}

}  // namespace

bool PlaceDecryptedText(const ActionText& text) {
  if (!PutClipboardText(text, true)) return false;
  ClearLater();
  return true;
}

namespace {

// Blanks (spaces, tabs, line breaks) only, or nothing: no text to work on.
bool IsBlank(const std::wstring& text) { return text.find_first_not_of(L" \t\r\n") == std::wstring::npos; }

void TransformClipboard(bool sending) {
  PlainText text;
  if (!ReadClipboardText(text)) return;
  if (IsBlank(text.wide)) {
    ShowNotice(IDS_CLIPBOARD_NO_TEXT);
    return;
  }
  ActionText result;
  PublicKeyRing ring;
  char done[kTextChars];
  LoadText(IDS_CLIPBOARD_DONE, done);
  std::string notice = done;
  if (sending) {
    int chosen;
    if (!ChooseCorrespondent(true, ring, chosen) || !EncryptForKey(ring, chosen, text, result)) return;
  } else {
    MessageSender sender;
    if (!DecryptReceived(text.ansi, ring, result, sender)) return;
    // The old format gives back the spaces that filled its last block; a
    // strong message comes back exactly as it was written.
    if (!result.utf8) TrimPadding(result.bytes);
    notice += "\n\n" + SenderText(ring, sender) + "\n\n" + StringText(IDS_CLIPBOARD_CLEARED_SOON);
  }
  if (!(sending ? PutClipboardText(result, false) : PlaceDecryptedText(result))) return;
  ShowNoticeText(notice.c_str());
}

}  // namespace

void EncryptClipboard() { TransformClipboard(true); }

void DecryptClipboard() { TransformClipboard(false); }

void FollowPutBack(DWORD was) {
  if (ClearPending && PlacedSequence == was) PlacedSequence = GetClipboardSequenceNumber();
}

void ClearDecryptedClipboard() {
  if (!ClearPending) return;
  OpenedClipboard clipboard(MainWindow);
  if (!clipboard.ok()) {
    SetTimer(MainWindow, IDT_CLEAR_CLIPBOARD, kClearRetryMs, nullptr);
    return;
  }
  ClearPending = false;
  KillTimer(MainWindow, IDT_CLEAR_CLIPBOARD);
  // Compared while the clipboard is open, so that nothing can change it
  // between the comparison and the emptying.
  if (GetClipboardSequenceNumber() == PlacedSequence) EmptyClipboard();
}
