#include "icq/dialog_actions.h"

#include <string>

#include "icq/action_keys.h"
#include "icq/control_text.h"
#include "icq/correspondent.h"
#include "icq/dialog_messages.h"
#include "icq/key_menu.h"
#include "icq/message_options.h"
#include "icq/text_transform.h"
#include "icq/token_facts.h"
#include "keys/formats/message_text.h"
#include "keys/text_fill.h"
#include "keys/user_id_text.h"
#include "resources/strings.h"
#include "win/program.h"

namespace {

// How a write-back went: written; left as it was, because the dialog did
// not answer the first message; or cut off, because it stopped answering
// later, so that the text may or may not have gone in.
enum class WriteOutcome { kWritten, kUnchanged, kCutOff };

// What a write-back is: the result of a press, encrypted (Undo must not
// bring the plain text back) or decrypted; or a message decrypted as it
// arrived, with no press.
enum class Written { kEncrypted, kDecrypted, kDecryptedUnasked };

// ICQ's control is read-only while it shows a message that must not be
// edited; it is opened just for the write and closed again, on a send dialog
// too, so that the encrypted text is sent as it stands. Opening it is also
// the first message: a dialog that does not answer it is left as it was,
// before the input attachment, through which a hung thread would hold ours.
// After a press the attachment lets us move the focus within ICQ's thread
// for the write; a message decrypted as it arrives takes no focus, so that
// nothing the user is typing elsewhere goes astray.
//
// A dialog that stops answering after the first message may still take the
// text once it wakes: the control is then closed again and, for an
// encrypted text, its undo emptied by posted messages, which it handles
// after the text (they carry no pointers, so posting them is safe), so that
// Undo cannot bring the plain text back into a send dialog.
WriteOutcome WriteMessage(const DialogRecord& record, const ActionText& text, Written written) {
  DialogMessages messages;
  if (!messages.SendA(record.messageEdit, EM_SETREADONLY, FALSE, 0))
    return messages.answered() ? WriteOutcome::kWritten : WriteOutcome::kUnchanged;
  const bool pressed = written != Written::kDecryptedUnasked;
  const DWORD icqThread = GetWindowThreadProcessId(record.dialog, nullptr);
  const DWORD ownThread = GetCurrentThreadId();
  if (pressed) {
    AttachThreadInput(ownThread, icqThread, TRUE);
    SetFocus(record.dialog);
  }
  WriteControlText(messages, record.messageEdit, text);
  messages.SendA(record.messageEdit, EM_SETREADONLY, TRUE, 0);
  if (written == Written::kEncrypted) messages.SendA(record.messageEdit, EM_EMPTYUNDOBUFFER, 0, 0);
  if (pressed) AttachThreadInput(ownThread, icqThread, FALSE);
  if (messages.answered()) return WriteOutcome::kWritten;
  PostMessageA(record.messageEdit, EM_SETREADONLY, TRUE, 0);
  if (written == Written::kEncrypted) PostMessageA(record.messageEdit, EM_EMPTYUNDOBUFFER, 0, 0);
  return WriteOutcome::kCutOff;
}

// A press on a dialog that did not answer.
void ReportNotAnswering() { ShowNotice(IDS_DIALOG_NOT_ANSWERING); }

// True when the dialog's known correspondent (a ring index, or -1 when not
// known) is not who wrote the message. Keys are compared, not entries: a ring
// from before the import rule may list one key twice.
bool IsOtherSender(const PublicKeyRing& ring, int correspondent, const MessageSender& sender) {
  return correspondent >= 0 && !SamePoint(ring.keys[correspondent], ring.keys[sender.index]);
}

// The recipient's ring entry, or -1 when the menu was dismissed or the
// dialog did not answer (messages.answered()). With Auto-Encrypt on, the
// dialog's known correspondent is taken without a menu; otherwise a balloon
// first says why no key could be taken for it (unless that warning is off),
// and the menu comes as without the option.
int ChooseRecipient(const DialogRecord& record, const PublicKeyRing& ring, DialogMessages& messages) {
  const MessageOptions& options = CurrentMessageOptions();
  if (IsOn(options.autoEncrypt)) {
    const int known = DialogCorrespondent(record, ring, messages);
    if (!messages.answered()) return -1;
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
  DialogMessages messages;
  const int chosen = ChooseRecipient(record, ring, messages);
  if (!messages.answered()) return ReportNotAnswering();
  if (chosen < 0) return;
  PlainText plain;
  if (!ReadControlText(messages, record.messageEdit, plain.ansi) ||
      !ReadControlText(messages, record.messageEdit, plain.wide))
    return ReportNotAnswering();
  ActionText result;
  if (EncryptForKey(ring, chosen, plain, result) &&
      WriteMessage(record, result, Written::kEncrypted) != WriteOutcome::kWritten)
    ReportNotAnswering();
}

// The message is read before any key menu opens: a strong message needs
// none, and a plain one gets its notice at once. Who wrote it is known only
// once it has been opened; a sender other than the dialog's known
// correspondent is shown only when the user says so.
void DecryptDialogMessage(DialogRecord record) {
  DialogMessages messages;
  std::string received;
  if (!ReadControlText(messages, record.messageEdit, received)) return ReportNotAnswering();
  PublicKeyRing ring;
  ActionText result;
  MessageSender sender;
  if (!DecryptReceived(received, ring, result, sender)) return;
  const int correspondent = DialogCorrespondent(record, ring, messages);
  if (!messages.answered()) return ReportNotAnswering();
  if (IsOtherSender(ring, correspondent, sender)) {
    const std::string question = FilledText(IDS_ASK_OTHER_SENDER, DisplayUserId(ring.keys[sender.index]),
                                            DisplayUserId(ring.keys[correspondent]));
    if (!AskQuestion(MainWindow, question.c_str())) return;
  }
  if (WriteMessage(record, result, Written::kDecrypted) != WriteOutcome::kWritten) return ReportNotAnswering();
  ShowBalloonText(SenderText(ring, sender));
}

// Nothing here may wait for the user: a ring that cannot be used is named
// in a balloon, and the Decrypt button then says what is wrong with it (a
// ring that cannot be read ends the program there, as key-file failures do).
// A message from someone other than the dialog's known correspondent is
// left for the Decrypt button, which asks, and so is one whose dialog
// belongs to a program that may not be given it unasked
// (icq/write_trust.h). Every balloon comes with an answer of true, so that
// a dialog left for later raises none twice.
bool DecryptArrivedMessage(DialogRecord record) {
  DialogMessages messages;
  std::string received;
  if (!ReadControlText(messages, record.messageEdit, received)) return false;
  if (WithoutBlanks(received).empty()) return true;
  PublicKeyRing ring;
  KeyFileStatus loaded;
  if (LoadCheckedRing(ring, loaded) != RingInForce::kOk) {
    ShowBalloonNotice(IDS_AUTO_DECRYPT_NO_RING);
    return true;
  }
  const int correspondent = DialogCorrespondent(record, ring, messages);
  if (!messages.answered()) return false;
  ActionText result;
  MessageSender sender;
  switch (DecryptUnasked(received, ring, correspondent, result, sender)) {
    case AutoDecryption::kDecrypted:
      if (IsOtherSender(ring, correspondent, sender)) {
        ShowBalloonNotice(IDS_AUTO_DECRYPT_OTHER_SENDER, DisplayUserId(ring.keys[correspondent]),
                          DisplayUserId(ring.keys[sender.index]));
        return true;
      }
      if (!MayWriteUnaskedInto(record.dialog)) {
        ShowBalloonNotice(IDS_AUTO_DECRYPT_UNTRUSTED, DisplayUserId(ring.keys[sender.index]));
        return true;
      }
      // A write cut off is not tried again on a later tick: the text may
      // have gone in by then.
      switch (WriteMessage(record, result, Written::kDecryptedUnasked)) {
        case WriteOutcome::kUnchanged:
          return false;
        case WriteOutcome::kCutOff:
          return true;
        case WriteOutcome::kWritten:
          break;
      }
      ShowBalloonText(SenderText(ring, sender));
      return true;
    case AutoDecryption::kNotEncrypted:
      if (correspondent > 0 && !IsOn(CurrentMessageOptions().noInsecureWarning))
        ShowBalloonNotice(IDS_INSECURE_MESSAGE, DisplayUserId(ring.keys[correspondent]));
      return true;
    case AutoDecryption::kLeft:
      return true;
  }
  return true;
}
