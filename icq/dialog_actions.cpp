#include "icq/dialog_actions.h"

#include <algorithm>
#include <string>

#include "icq/key_menu.h"
#include "icq/text_transform.h"

namespace {

// The control's text; empty when the control is gone. Only what WM_GETTEXT
// actually copied counts, should the text have shrunk since its length was
// asked.
std::string ReadMessage(HWND edit) {
  const LRESULT length = SendMessageA(edit, WM_GETTEXTLENGTH, 0, 0);
  if (length <= 0) return {};
  std::string text(static_cast<size_t>(length) + 1, '\0');
  const LRESULT copied =
      SendMessageA(edit, WM_GETTEXT, static_cast<WPARAM>(length + 1), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(std::clamp<LRESULT>(copied, 0, length)));
  return text;
}

// ICQ's control is read-only while it shows a message that must not be
// edited; it is opened just for the write and closed again, on a send dialog
// too, so that the encrypted text is sent as it stands. The input attachment
// lets us move the focus within ICQ's thread for the write.
void WriteMessage(const DialogRecord& record, const std::string& text, bool emptyUndo) {
  const DWORD icqThread = GetWindowThreadProcessId(record.dialog, nullptr);
  const DWORD ownThread = GetCurrentThreadId();
  AttachThreadInput(ownThread, icqThread, TRUE);
  SetFocus(record.dialog);
  SendMessageA(record.messageEdit, EM_SETREADONLY, FALSE, 0);
  SendMessageA(record.messageEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  SendMessageA(record.messageEdit, EM_SETREADONLY, TRUE, 0);
  if (emptyUndo) SendMessageA(record.messageEdit, EM_EMPTYUNDOBUFFER, 0, 0);
  AttachThreadInput(ownThread, icqThread, FALSE);
}

}  // namespace

void EncryptDialogMessage(DialogRecord record) {
  CurvePoint point;
  if (!ChooseCorrespondent(true, point)) return;
  std::string result;
  if (TransformText(true, ReadMessage(record.messageEdit), point, result)) WriteMessage(record, result, true);
}

// The message is read before the key menu opens: a plain message gets its
// notice at once, and no key to choose for nothing.
void DecryptDialogMessage(DialogRecord record) {
  std::string cipher, result;
  if (!CipherTextOf(ReadMessage(record.messageEdit), cipher)) return;
  CurvePoint point;
  if (!ChooseCorrespondent(false, point)) return;
  if (TransformText(false, cipher, point, result)) WriteMessage(record, result, false);
}
