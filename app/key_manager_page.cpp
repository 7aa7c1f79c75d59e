// The Public Key Manager page: the ring's user IDs in ring order (so a list
// index is a ring index), each key without a strong key marked so, with
// import, export, removal and a change of ID, and the selected key's
// fingerprint and message format. The ring is loaded afresh for every
// filling and every change, never kept; a ring that cannot be loaded ends
// the program, as at start-up.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "app/key_setup.h"
#include "app/key_state.h"
#include "app/process_state.h"
#include "app/property_sheet.h"
#include "app/user_id_dialog.h"
#include "icq/message_format.h"
#include "keys/fingerprint.h"
#include "keys/key_records.h"
#include "keys/ring_edits.h"
#include "keys/user_id_text.h"
#include "resources/resource.h"
#include "resources/strings.h"
#include "win/program.h"

namespace {

int SelectedKey(HWND page) {
  return static_cast<int>(SendDlgItemMessageA(page, IDC_KEY_LIST, LB_GETCURSEL, 0, 0));
}

void AddLine(HWND list, const char* text) { SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)); }

void EnableButton(HWND page, int id, bool enabled) { EnableWindow(GetDlgItem(page, id), enabled); }

// The ring entry of the selected line, loaded afresh, with the owner's
// strong key worked out from the secret key should the ring lack it; false
// when nothing is selected or the ring no longer reaches that far.
bool SelectedRecord(HWND page, int& index, PublicKeyRecord& record, StrongKey* strong = nullptr) {
  index = SelectedKey(page);
  if (index < 0) return false;
  PublicKeyRing ring;
  if (!LoadRingInForce(ring, KeyFailure::kFatal) || index >= ring.count()) return false;
  if (index == 0) CompleteOwnStrongKey(SecretKey, ring);
  record = ring.keys[index];
  if (strong) *strong = ring.strong[index];
  return true;
}

// A correspondent's key that may be marked for the old format: one without
// a strong key. A strong key's mark would be ignored, and messages to the
// owner's own key are read by this program.
bool TakesOldFormat(int index, const StrongKey& strong) { return index > 0 && !strong.present; }

// The buttons, the fingerprint line and the format box follow the
// selection: any key can be exported and renamed, every key but the owner's
// own removed, and a correspondent's key without a strong key marked for
// the old format.
void ShowSelection(HWND page) {
  int index;
  PublicKeyRecord record;
  StrongKey strong;
  const bool selected = SelectedRecord(page, index, record, &strong);
  EnableButton(page, IDC_EXPORT, selected);
  EnableButton(page, IDC_CHANGE_ID, selected);
  EnableButton(page, IDC_REMOVE, selected && index > 0);
  char fingerprint[kFingerprintChars + 1] = "";
  if (selected) KeyFingerprint(record, strong, fingerprint);
  SetDlgItemTextA(page, IDC_FINGERPRINT, fingerprint);
  const bool old = selected && TakesOldFormat(index, strong);
  EnableButton(page, IDC_OLD_FORMAT, old);
  CheckDlgButton(page, IDC_OLD_FORMAT, old && UsesOldFormat(record) ? BST_CHECKED : BST_UNCHECKED);
}

// The box's new state is stored at once, like every other change on the
// page; the box then shows what the registry holds.
void MarkSelectedFormat(HWND page) {
  int index;
  PublicKeyRecord record;
  StrongKey strong;
  if (SelectedRecord(page, index, record, &strong) && TakesOldFormat(index, strong))
    MarkOldFormat(record, IsDlgButtonChecked(page, IDC_OLD_FORMAT) == BST_CHECKED);
  ShowSelection(page);
}

// Keeps the selected line when keep is set: an import only appends and a
// change of ID keeps the order, so the same index still names the same key.
void FillKeyList(HWND page, bool keep) {
  HWND list = GetDlgItem(page, IDC_KEY_LIST);
  const LRESULT selected = keep ? SendMessageA(list, LB_GETCURSEL, 0, 0) : LB_ERR;
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  PublicKeyRing ring;
  LoadRingInForce(ring, KeyFailure::kFatal);
  const int count = ring.count();
  char owner[kTextChars], noStrongKey[kTextChars];
  LoadText(IDS_OWNER_SUFFIX, owner);
  LoadText(IDS_STRONG_KEY_MARK, noStrongKey);
  // The owner's own key always has its strong key, from the secret key
  // should the ring lack it.
  for (int i = 0; i < count; ++i) {
    const std::string id = DisplayUserId(ring.keys[i]);
    AddLine(list, (i == 0 ? id + owner : ring.strong[i].present ? id : id + noStrongKey).c_str());
  }
  if (selected >= 0 && selected < count) SendMessageA(list, LB_SETCURSEL, selected, 0);
  ShowSelection(page);
}

// A failed edit is reported; a ring that another program changed meanwhile
// is not, the list just shows it as it now is.
void ReportRingEdit(KeyFileStatus status) {
  if (status != KeyFileStatus::kRingChanged) CheckKeyFile(status, KeyFailure::kWarning);
}

// After the question the ring is loaded again and the entry removed only if
// it is still the one the user saw (RemoveRingEntry); otherwise the list is
// simply shown as the ring now is.
void RemoveSelected(HWND page) {
  int index;
  PublicKeyRecord record;
  if (!SelectedRecord(page, index, record) || index == 0) return;
  char question[kTextChars];
  LoadText(IDS_ASK_REMOVE_KEY, question);
  if (!AskQuestion(page, question)) return;
  ReportRingEdit(RemoveRingEntry(PublicKeyPath, index, record));
  // Nothing stays selected: the next key, now at this index, was not chosen.
  FillKeyList(page, false);
}

// An empty ID is taken as no change: the ring lists no key without a name.
void ChangeSelectedId(HWND page) {
  int index;
  PublicKeyRecord record;
  if (!SelectedRecord(page, index, record)) return;
  char typed[kUserIdBytes + 1];
  if (UserIdDialog(DisplayUserId(record).c_str(), typed, IDS_USER_ID_CAPTION) != UserIdAnswer::Ok ||
      typed[0] == '\0')
    return;
  ReportRingEdit(RenameRingEntry(PublicKeyPath, index, record, typed));
  FillKeyList(page, true);
}

void InitKeyManagerPage(HWND page) {
  FillKeyList(page, false);
}

void OnKeyManagerCommand(HWND page, int id, int /*code*/) {
  switch (id) {
    case IDC_KEY_LIST:
      ShowSelection(page);
      break;
    case IDC_IMPORT:
      ImportPublicKeys(nullptr, true);
      FillKeyList(page, true);
      break;
    case IDC_EXPORT:
      if (SelectedKey(page) >= 0) ExportPublicKey(SelectedKey(page));
      break;
    case IDC_REMOVE:
      RemoveSelected(page);
      break;
    case IDC_CHANGE_ID:
      ChangeSelectedId(page);
      break;
    case IDC_OLD_FORMAT:
      MarkSelectedFormat(page);
      break;
  }
}

}  // namespace

INT_PTR CALLBACK KeyManagerPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  static constexpr PageHandlers kHandlers = {InitKeyManagerPage, OnKeyManagerCommand, AnswerPageNotify};
  return PageMessage(kHandlers, page, message, wParam, lParam);
}
