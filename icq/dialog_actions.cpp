#include "icq/dialog_actions.h"

#include <algorithm>
#include <string>

#include "icq/action_keys.h"
#include "icq/correspondent.h"
#include "icq/key_menu.h"
#include "icq/message_options.h"
#include "icq/text_transform.h"
#include "keys/message_text.h"
#include "keys/user_id_text.h"
#include "keys/wiped_text.h"
#include "resources/strings.h"
#include "win/program.h"
#include "win/unicode_text.h"

namespace {

// The control's text through the ANSI (SendMessageA) or the wide
// (SendMessageW) messages into text; empty when the control is gone. Only
// what WM_GETTEXT actually copied counts, should the text have shrunk since
// its length was asked. Read in place: the text may be the plain message.
template <typename Text, typename Send>
void ReadText(HWND edit, Send send, Text& text) {
  const LRESULT length = send(edit, WM_GETTEXTLENGTH, 0, 0);
  if (length <= 0) return;
  text.resize(static_cast<size_t>(length) + 1);
  const LRESULT copied =
      send(edit, WM_GETTEXT, static_cast<WPARAM>(length + 1), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(std::clamp<LRESULT>(copied, 0, length)));
}

// What a write-back is: the result of a press, encrypted (Undo must not
// bring the plain text back) or decrypted; or a message decrypted as it
// arrived, with no press.
enum class Written { kEncrypted, kDecrypted, kDecryptedUnasked };

// ICQ's control is read-only while it shows a message that must not be
// edited; it is opened just for the write and closed again, on a send dialog
// too, so that the encrypted text is sent as it stands. After a press the
// input attachment lets us move the focus within ICQ's thread for the write;
// a message decrypted as it arrives takes no focus, so that nothing the user
// is typing elsewhere goes astray. A UTF-8 result goes in through the wide
// message, so that a Unicode control gets every character (an ANSI one gets
// what its code page holds); the old format's bytes go in as they always
// did.
void WriteMessage(const DialogRecord& record, const ActionText& text, Written written) {
  std::wstring wide;
  WipeOnExit wipe(wide);
  if (text.utf8 && !WideFromCodePage(CP_UTF8, text.bytes, wide)) return;
  const bool pressed = written != Written::kDecryptedUnasked;
  const DWORD icqThread = GetWindowThreadProcessId(record.dialog, nullptr);
  const DWORD ownThread = GetCurrentThreadId();
  if (pressed) {
    AttachThreadInput(ownThread, icqThread, TRUE);
    SetFocus(record.dialog);
  }
  SendMessageA(record.messageEdit, EM_SETREADONLY, FALSE, 0);
  if (text.utf8)
    SendMessageW(record.messageEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
  else
    SendMessageA(record.messageEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.bytes.c_str()));
  SendMessageA(record.messageEdit, EM_SETREADONLY, TRUE, 0);
  if (written == Written::kEncrypted) SendMessageA(record.messageEdit, EM_EMPTYUNDOBUFFER, 0, 0);
  if (pressed) AttachThreadInput(ownThread, icqThread, FALSE);
}

// True when the dialog's known correspondent (a ring index, or -1 when not
// known) is not who wrote the message. Keys are compared, not entries: a ring
// from before the import rule may list one key twice.
bool IsOtherSender(const PublicKeyRing& ring, int correspondent, const MessageSender& sender) {
  return correspondent >= 0 && !SamePoint(ring.keys[correspondent], ring.keys[sender.index]);
}

// The recipient's ring entry, or -1 when the menu was dismissed. With
// Auto-Encrypt on, the dialog's known correspondent is taken without a menu;
// otherwise a balloon first says why no key could be taken for it (unless
// that warning is off), and the menu comes as without the option.
int ChooseRecipient(const DialogRecord& record, const PublicKeyRing& ring) {
  const MessageOptions& options = CurrentMessageOptions();
  if (IsOn(options.autoEncrypt)) {
    const int known = DialogCorrespondent(record, ring);
    if (known > 0) return known;
    if (!IsOn(options.noEncryptWarning)) ShowBalloonNotice(IDS_AUTO_ENCRYPT_NO_KEY);
  }
  return ChooseKey(true, static_cast<int16_t>(ring.count()), ring.keys.data());
}

}  // namespace

// The message is read in both forms, the wide one keeping every character
// of a Unicode control; the chosen key's format takes the one it needs.
void EncryptDialogMessage(DialogRecord record) {
  PublicKeyRing ring;
  if (!LoadActionRing(ring)) return;
  const int chosen = ChooseRecipient(record, ring);
  if (chosen < 0) return;
  PlainText plain;
  ReadText(record.messageEdit, SendMessageA, plain.ansi);
  ReadText(record.messageEdit, SendMessageW, plain.wide);
  ActionText result;
  if (EncryptForKey(ring, chosen, plain, result)) WriteMessage(record, result, Written::kEncrypted);
}

// The message is read before any key menu opens: a strong message needs
// none, and a plain one gets its notice at once. Who wrote it is known only
// once it has been opened; a sender other than the dialog's known
// correspondent is shown only when the user says so.
void DecryptDialogMessage(DialogRecord record) {
  std::string received;
  ReadText(record.messageEdit, SendMessageA, received);
  PublicKeyRing ring;
  ActionText result;
  MessageSender sender;
  if (!DecryptReceived(received, ring, result, sender)) return;
  const int correspondent = DialogCorrespondent(record, ring);
  if (IsOtherSender(ring, correspondent, sender)) {
    const std::string question = FillText(
        StringText(IDS_ASK_OTHER_SENDER), {DisplayUserId(ring.keys[sender.index]), DisplayUserId(ring.keys[correspondent])});
    if (!AskQuestion(MainWindow, question.c_str())) return;
  }
  WriteMessage(record, result, Written::kDecrypted);
  ShowBalloonText(SenderText(ring, sender));
}

// Nothing here may wait for the user: a ring that cannot be used is named
// in a balloon, and the Decrypt button then says what is wrong with it (a
// ring that cannot be read ends the program there, as key-file failures do).
// A message from someone other than the dialog's known correspondent is
// left for the Decrypt button, which asks.
void DecryptArrivedMessage(DialogRecord record) {
  std::string received;
  ReadText(record.messageEdit, SendMessageA, received);
  if (WithoutBlanks(received).empty()) return;
  PublicKeyRing ring;
  KeyFileStatus loaded;
  if (LoadCheckedRing(ring, loaded) != RingInForce::kOk) {
    ShowBalloonNotice(IDS_AUTO_DECRYPT_NO_RING);
    return;
  }
  const int correspondent = DialogCorrespondent(record, ring);
  ActionText result;
  MessageSender sender;
  switch (DecryptUnasked(received, ring, correspondent, result, sender)) {
    case AutoDecryption::kDecrypted:
      if (IsOtherSender(ring, correspondent, sender)) {
        ShowBalloonNotice(IDS_AUTO_DECRYPT_OTHER_SENDER,
                          {DisplayUserId(ring.keys[correspondent]), DisplayUserId(ring.keys[sender.index])});
        break;
      }
      WriteMessage(record, result, Written::kDecryptedUnasked);
      ShowBalloonText(SenderText(ring, sender));
      break;
    case AutoDecryption::kNotEncrypted:
      if (correspondent > 0 && !IsOn(CurrentMessageOptions().noInsecureWarning))
        ShowBalloonNotice(IDS_INSECURE_MESSAGE, {DisplayUserId(ring.keys[correspondent])});
      break;
    case AutoDecryption::kLeft:
      break;
  }
}
