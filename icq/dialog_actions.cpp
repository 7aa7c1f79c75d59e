#include "icq/dialog_actions.h"

#include <algorithm>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "icq/key_menu.h"
#include "keys/cipher.h"
#include "keys/key_files.h"
#include "keys/report_error.h"
#include "resources/strings.h"

namespace {

// The user's choice from the freshly loaded ring, or false when the menu was
// dismissed. A ring that cannot be loaded ends the program (key-file
// failures are fatal).
bool ChooseCorrespondent(bool sending, CurvePoint& point) {
  std::vector<PublicKeyRecord> ring(kMaxRingKeys);
  const int count = LoadPublicKeyRing(ring.data(), true);
  if (count <= 0) return false;
  const int16_t chosen = ChooseKey(sending, static_cast<int16_t>(count), ring.data());
  if (chosen < 0) return false;
  RecordPoint(ring[chosen], point);
  return true;
}

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

void TransformDialogMessage(const DialogRecord& record, bool sending) {
  CurvePoint point;
  if (!ChooseCorrespondent(sending, point)) return;
  const std::string text = ReadMessage(record.messageEdit);
  std::string result;
  const int derived = sending ? EncryptText(text, SecretKey, point, result) : DecryptText(text, SecretKey, point, result);
  if (!derived) {
    // A key that fails the group check is never multiplied with our secret
    // scalar, and ICQ's dialog keeps its text.
    char message[kTextChars];
    LoadText(IDS_BAD_KEY, message);
    ReportError(message, false);
    return;
  }
  WriteMessage(record, result, sending);
}

}  // namespace

void EncryptDialogMessage(DialogRecord record) { TransformDialogMessage(record, true); }

void DecryptDialogMessage(DialogRecord record) { TransformDialogMessage(record, false); }
