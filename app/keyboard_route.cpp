#include "app/keyboard_route.h"

#include "app/clipboard_commands.h"
#include "app/clipboard_ours.h"
#include "icq/dialog_messages.h"
#include "icq/message_options.h"
#include "resources/strings.h"
#include "win/kept_clipboard.h"
#include "win/key_input.h"
#include "win/offered_text.h"
#include "win/program.h"
#include "win/wait_until.h"

namespace {

constexpr DWORD kCopyMs = 1000;
constexpr DWORD kPasteMs = 2000;
constexpr DWORD kPutBackMs = 1000;

// Ctrl+A first when asked, then Ctrl+C.
bool SendCopyKeys(bool selectAll) { return (!selectAll || SendControlKey('A')) && SendControlKey('C'); }

// The copy has come once the clipboard's sequence number has moved and the
// copying window has closed the clipboard again.
bool WaitForCopy(DWORD before) {
  return WaitUntil([before] { return GetClipboardSequenceNumber() != before && !GetOpenClipboardWindow(); }, kCopyMs);
}

// Keys go to whatever window is in front: it must still be the target, and
// the target must answer, or keys queued for a hung window would copy over
// the user's clipboard long after the wait for the copy has ended.
bool StillTheTarget(const FocusTarget& target) {
  if (GetForegroundWindow() != target.window) {
    ShowBalloonNotice(IDS_WINDOW_CHANGED);
    return false;
  }
  if (!DialogAnswers(target.focus)) {
    ShowBalloonNotice(IDS_DIALOG_NOT_ANSWERING);
    return false;
  }
  return true;
}

// The focused control of window's thread.
HWND FocusOf(HWND window) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

// Keeps the user's clipboard for the hotkey's own copy or paste, or says
// that another program holds it.
bool KeepUsersClipboard(KeptClipboard& kept) {
  if (kept.Keep(MainWindow)) return true;
  ShowBalloonNotice(IDS_CLIPBOARD_BUSY);
  return false;
}

// Puts the user's clipboard, kept at sequence number was, back, trying
// again while another program holds the clipboard open, at most for
// kPutBackMs. A decrypted text of ours that was on it is still taken off in
// time.
bool PutBack(const KeptClipboard& kept, DWORD was) {
  if (!WaitUntil([&kept] { return kept.PutBack(MainWindow); }, kPutBackMs)) return false;
  FollowPutBack(was);
  return true;
}

}  // namespace

KeyboardCopy CopyByKeyboard(const FocusTarget& target, UINT heldKey, bool selectAll, PlainText& plain) {
  if (!WaitForKeysUp(heldKey, kKeysUpMs)) {
    ShowBalloonNotice(IDS_KEYS_STILL_HELD);
    return KeyboardCopy::kRefused;
  }
  if (!StillTheTarget(target)) return KeyboardCopy::kRefused;
  const BorrowedClipboard borrowed;
  KeptClipboard kept;
  if (!KeepUsersClipboard(kept)) return KeyboardCopy::kRefused;
  const DWORD before = GetClipboardSequenceNumber();
  if (!SendCopyKeys(selectAll)) {
    ShowBalloonNotice(IDS_KEYS_NOT_TAKEN);
    return KeyboardCopy::kRefused;
  }
  if (!WaitForCopy(before)) return KeyboardCopy::kNothingCopied;
  const bool read = ReadClipboardText(plain);
  // At once, whether or not it could be read: the plain text must not stay.
  // Where it does, nothing is encrypted, or the paste would keep the plain
  // text as the user's clipboard and put it back at its end.
  if (!PutBack(kept, before)) {
    ShowBalloonNotice(IDS_CLIPBOARD_NOT_RESTORED);
    return KeyboardCopy::kRefused;
  }
  return read ? KeyboardCopy::kCopied : KeyboardCopy::kRefused;
}

KeyboardPaste PasteByKeyboard(const FocusTarget& target, const std::wstring& message) {
  // Ctrl+A and Ctrl+V must reach the control the text was copied from.
  if (FocusOf(target.window) != target.focus) {
    ShowBalloonNotice(IDS_TARGET_NOT_IN_FRONT);
    return KeyboardPaste::kRefused;
  }
  const BorrowedClipboard borrowed;
  KeptClipboard kept;
  if (!KeepUsersClipboard(kept)) return KeyboardPaste::kRefused;
  const DWORD keptAt = GetClipboardSequenceNumber();
  OfferedText offered(message, target.processId);
  if (!offered.Offer()) {
    PutBack(kept, keptAt);
    ShowBalloonNotice(IDS_CLIPBOARD_BUSY);
    return KeyboardPaste::kRefused;
  }
  // Ctrl+A once more: the selection may have gone while the menu was open.
  if (!SendControlKey('A') || !SendControlKey('V')) {
    PutBack(kept, keptAt);
    ShowBalloonNotice(IDS_KEYS_NOT_TAKEN);
    return KeyboardPaste::kRefused;
  }
  if (!WaitUntil([&offered] { return offered.Taken(); }, kPasteMs)) {
    offered.Leave();
    ShowBalloonNotice(IDS_CLIPBOARD_NOT_PUT_BACK);
    return KeyboardPaste::kLeft;
  }
  if (!PutBack(kept, keptAt)) ShowBalloonNotice(IDS_CLIPBOARD_BUSY);
  return KeyboardPaste::kPasted;
}

void WarnOfClipboardHistoryOnce() {
  static bool warned = false;
  if (warned) return;
  warned = true;
  DWORD history = 0;
  DWORD bytes = sizeof history;
  if (RegGetValueA(HKEY_CURRENT_USER, "Software\\Microsoft\\Clipboard", "EnableClipboardHistory", RRF_RT_REG_DWORD,
                   nullptr, &history, &bytes) == ERROR_SUCCESS &&
      history == 1)
    ShowBalloonNotice(IDS_CLIPBOARD_HISTORY_ON);
}
