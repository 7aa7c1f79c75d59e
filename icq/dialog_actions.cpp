#include "icq/dialog_actions.h"

#include <algorithm>
#include <string>

#include "icq/key_menu.h"
#include "icq/text_transform.h"
#include "keys/wiped_text.h"
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

// ICQ's control is read-only while it shows a message that must not be
// edited; it is opened just for the write and closed again, on a send dialog
// too, so that the encrypted text is sent as it stands. The input attachment
// lets us move the focus within ICQ's thread for the write. A UTF-8 result
// goes in through the wide message, so that a Unicode control gets every
// character (an ANSI one gets what its code page holds); the old format's
// bytes go in as they always did.
void WriteMessage(const DialogRecord& record, const ActionText& text, bool emptyUndo) {
  std::wstring wide;
  WipeOnExit wipe(wide);
  if (text.utf8 && !WideFromCodePage(CP_UTF8, text.bytes, wide)) return;
  const DWORD icqThread = GetWindowThreadProcessId(record.dialog, nullptr);
  const DWORD ownThread = GetCurrentThreadId();
  AttachThreadInput(ownThread, icqThread, TRUE);
  SetFocus(record.dialog);
  SendMessageA(record.messageEdit, EM_SETREADONLY, FALSE, 0);
  if (text.utf8)
    SendMessageW(record.messageEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
  else
    SendMessageA(record.messageEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.bytes.c_str()));
  SendMessageA(record.messageEdit, EM_SETREADONLY, TRUE, 0);
  if (emptyUndo) SendMessageA(record.messageEdit, EM_EMPTYUNDOBUFFER, 0, 0);
  AttachThreadInput(ownThread, icqThread, FALSE);
}

}  // namespace

// The message is read in both forms, the wide one keeping every character
// of a Unicode control; the chosen key's format takes the one it needs.
void EncryptDialogMessage(DialogRecord record) {
  PublicKeyRing ring;
  int chosen;
  if (!ChooseCorrespondent(true, ring, chosen)) return;
  PlainText plain;
  ReadText(record.messageEdit, SendMessageA, plain.ansi);
  ReadText(record.messageEdit, SendMessageW, plain.wide);
  ActionText result;
  if (EncryptForKey(ring, chosen, plain, result)) WriteMessage(record, result, true);
}

// The message is read before any key menu opens: a strong message needs
// none, and a plain one gets its notice at once.
void DecryptDialogMessage(DialogRecord record) {
  std::string received;
  ReadText(record.messageEdit, SendMessageA, received);
  ActionText result;
  if (DecryptReceived(received, result)) WriteMessage(record, result, false);
}
