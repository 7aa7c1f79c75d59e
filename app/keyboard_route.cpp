#include "app/keyboard_route.h"

#include "app/clipboard_commands.h"
#include "app/clipboard_ours.h"
#include "icq/message_options.h"
#include "keys/wiped_text.h"
#include "resources/strings.h"
#include "win/kept_clipboard.h"
#include "win/key_input.h"
#include "win/offered_text.h"
#include "win/program.h"
#include "win/wait_until.h"

namespace {

constexpr DWORD kKeysUpMs = 1000;
constexpr DWORD kCopyMs = 1000;
constexpr DWORD kPasteMs = 2000;

// Ctrl+A first when asked, then Ctrl+C.
bool SendCopyKeys(bool selectAll) { return (!selectAll || SendControlKey('A')) && SendControlKey('C'); }

// The copy has come once the clipboard's sequence number has moved and the
// copying window has closed the clipboard again.
bool WaitForCopy(DWORD before) {
  return WaitUntil([before] { return GetClipboardSequenceNumber() != before && !GetOpenClipboardWindow(); }, kCopyMs);
}

}  // namespace

KeyboardCopy CopyByKeyboard(UINT heldKey, bool selectAll, PlainText& plain) {
  if (!WaitForKeysUp(heldKey, kKeysUpMs)) {
    ShowBalloonNotice(IDS_KEYS_STILL_HELD);
    return KeyboardCopy::kRefused;
  }
  const BorrowedClipboard borrowed;
  KeptClipboard kept;
  if (!kept.Keep(MainWindow)) {
    ShowBalloonNotice(IDS_CLIPBOARD_BUSY);
    return KeyboardCopy::kRefused;
  }
  const DWORD before = GetClipboardSequenceNumber();
  if (!SendCopyKeys(selectAll)) {
    ShowBalloonNotice(IDS_KEYS_NOT_TAKEN);
    return KeyboardCopy::kRefused;
  }
  if (!WaitForCopy(before)) return KeyboardCopy::kNothingCopied;
  const bool read = ReadClipboardText(plain);
  // At once, whether or not it could be read: the plain text must not stay.
  if (!kept.PutBack(MainWindow)) ShowBalloonNotice(IDS_CLIPBOARD_BUSY);
  return read ? KeyboardCopy::kCopied : KeyboardCopy::kRefused;
}

bool PasteByKeyboard(DWORD process, const std::wstring& message) {
  const BorrowedClipboard borrowed;
  KeptClipboard kept;
  OfferedText offered(message, process);
  if (!kept.Keep(MainWindow) || !offered.Offer()) {
    ShowBalloonNotice(IDS_CLIPBOARD_BUSY);
    return false;
  }
  // Ctrl+A once more: the selection may have gone while the menu was open.
  if (!SendControlKey('A') || !SendControlKey('V')) {
    kept.PutBack(MainWindow);
    ShowBalloonNotice(IDS_KEYS_NOT_TAKEN);
    return false;
  }
  if (!WaitUntil([&offered] { return offered.Taken(); }, kPasteMs)) {
    offered.Leave();
    ShowBalloonNotice(IDS_CLIPBOARD_NOT_PUT_BACK);
    return true;
  }
  if (!kept.PutBack(MainWindow)) ShowBalloonNotice(IDS_CLIPBOARD_BUSY);
  return true;
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
