#include "app/encrypt_in_place.h"

#include <string>

#include "app/focus_target.h"
#include "app/keyboard_route.h"
#include "app/last_key.h"
#include "icq/control_text.h"
#include "icq/dialog_messages.h"
#include "icq/key_menu.h"
#include "icq/message_options.h"
#include "icq/text_transform.h"
#include "icq/window_rules.h"
#include "resources/strings.h"
#include "win/foreground.h"
#include "win/key_input.h"
#include "win/program.h"
#include "win/unicode_text.h"

namespace {

// A text that gives nothing to do: blanks only, or a message already. False
// after the balloon that says so.
bool WorthEncrypting(const PlainText& plain) {
  if (plain.wide.find_first_not_of(L" \t\r\n") == std::wstring::npos) {
    ShowBalloonNotice(IDS_NOTHING_TO_ENCRYPT);
    return false;
  }
  if (IsEncryptedMessage(plain.ansi)) {
    ShowBalloonNotice(IDS_ALREADY_ENCRYPTED);
    return false;
  }
  return true;
}

// The text being written, in both forms the formats need (the chosen key's
// format takes the one it needs): a standard control's read with messages,
// any other's copied by the keyboard. False after the balloon that says why
// there is nothing to encrypt.
bool ReadPlainText(const FocusTarget& target, UINT heldKey, PlainText& plain) {
  if (!IsStandardEditClass(target.className)) {
    switch (CopyByKeyboard(target, heldKey, true, plain)) {
      case KeyboardCopy::kCopied:
        return WorthEncrypting(plain);
      case KeyboardCopy::kNothingCopied:
        ShowBalloonNotice(IDS_NOTHING_TO_ENCRYPT);
        return false;
      case KeyboardCopy::kRefused:
        return false;
    }
  }
  DialogMessages messages;
  if (!ReadControlText(messages, target.focus, plain.ansi) || !ReadControlText(messages, target.focus, plain.wide)) {
    ShowBalloonNotice(IDS_DIALOG_NOT_ANSWERING);
    return false;
  }
  return WorthEncrypting(plain);
}

// With Auto-Encrypt on, the key the window's caption names, if it names
// one; -1 otherwise, also when the window did not answer.
int CaptionKey(const FocusTarget& target, const PublicKeyRing& ring) {
  if (!IsOn(CurrentMessageOptions().autoEncrypt)) return -1;
  DialogMessages messages;
  std::string caption;
  ReadControlText(messages, target.window, caption);
  return CaptionCorrespondent(caption, ring);
}

// The recipient's ring entry, or -1 when the menu was dismissed or could not
// be brought to the front (with its balloon). The menu opens at the caret,
// the key last used in this program first.
int ChooseRecipient(const FocusTarget& target, const PublicKeyRing& ring) {
  const int named = CaptionKey(target, ring);
  if (named > 0) return named;
  if (!TakeForeground(MainWindow, nullptr)) {
    ShowBalloonNotice(IDS_MENU_NOT_IN_FRONT);
    return -1;
  }
  KeyMenuPlace place;
  place.at = &target.menuAt;
  place.first = LastKeyFor(target.program, ring);
  return ChooseKey(true, static_cast<int16_t>(ring.count()), ring.keys.data(), place);
}

// The window and its control get the foreground and the keyboard back; the
// control must answer first, or the attachment could let its hung thread
// hold ours. Enter, which chose the key, must be up, or its repeats would
// reach the chat and send what the box holds. False after the balloon that
// says why.
bool GiveBack(const FocusTarget& target) {
  if (!WaitForKeysUp(VK_RETURN, kKeysUpMs)) {
    ShowBalloonNotice(IDS_KEYS_STILL_HELD);
    return false;
  }
  if (!DialogAnswers(target.focus)) {
    ShowBalloonNotice(IDS_DIALOG_NOT_ANSWERING);
    return false;
  }
  if (TakeForeground(target.window, target.focus)) return true;
  ShowBalloonNotice(IDS_TARGET_NOT_IN_FRONT);
  return false;
}

// A standard control's text is set with messages, and Undo must not bring
// the plain text back. False after the balloon that says why.
bool WriteEncrypted(const FocusTarget& target, const ActionText& result) {
  DialogMessages messages;
  if (WriteControlText(messages, target.focus, result)) {
    messages.SendA(target.focus, EM_EMPTYUNDOBUFFER, 0, 0);
    if (messages.answered()) return true;
  }
  ShowBalloonNotice(IDS_DIALOG_NOT_ANSWERING);
  return false;
}

// Any other control gets the message pasted. The first time in a run, a
// balloon tells of clipboard history, unless another balloon of this press
// would be replaced by it.
bool PasteEncrypted(const FocusTarget& target, const ActionText& result, unsigned balloons) {
  std::wstring message;
  WideFromCodePage(result.utf8 ? CP_UTF8 : CP_ACP, result.bytes, message);
  const KeyboardPaste pasted = PasteByKeyboard(target, message);
  if (pasted == KeyboardPaste::kPasted && BalloonCount() == balloons) WarnOfClipboardHistoryOnce();
  return pasted != KeyboardPaste::kRefused;
}

}  // namespace

// Standard controls are read and written with messages: nothing passes
// through the clipboard. Any other control takes the keyboard route, except
// in a console, where Ctrl+C would stop the program that runs there.
void EncryptInPlace(UINT heldKey) {
  const unsigned balloons = BalloonCount();
  FocusTarget target;
  // Our own windows hold nothing to encrypt (the reading window's text is
  // decrypted already), and would get keys that our wait does not handle.
  if (!FindFocusTarget(target) || target.ours) return ShowBalloonNotice(IDS_NOTHING_TO_ENCRYPT);
  const bool byKeyboard = !IsStandardEditClass(target.className);
  if (byKeyboard && IsConsoleWindow(target.windowClass, target.className, target.program))
    return ShowBalloonNotice(IDS_CONSOLE_LEFT_OUT);
  PlainText plain;
  if (!ReadPlainText(target, heldKey, plain)) return;
  PublicKeyRing ring;
  if (!LoadActionRing(ring)) return;
  const int chosen = ChooseRecipient(target, ring);
  if (chosen < 0) {
    // A dismissed menu leaves the user where they were writing.
    if (DialogAnswers(target.focus)) TakeForeground(target.window, target.focus);
    return;
  }
  ActionText result;
  if (!EncryptForKey(ring, chosen, plain, result) || !GiveBack(target)) return;
  if (!(byKeyboard ? PasteEncrypted(target, result, balloons) : WriteEncrypted(target, result))) return;
  RememberLastKey(target.program, ring, chosen);
}
