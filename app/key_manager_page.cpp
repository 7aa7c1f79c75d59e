// The Public Key Manager page: the ring's user IDs in ring order (so a list
// index is a ring index), with import and export. The ring is loaded afresh
// for every filling, never kept.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <vector>

#include "app/app_state.h"
#include "app/property_sheet.h"
#include "keys/key_files.h"
#include "keys/key_records.h"
#include "keys/key_setup.h"
#include "resources/resource.h"
#include "resources/strings.h"

namespace {

constexpr int kOwnerLineChars = 32;

int SelectedKey(HWND page) {
  return static_cast<int>(SendDlgItemMessageA(page, IDC_KEY_LIST, LB_GETCURSEL, 0, 0));
}

void AddLine(HWND list, const char* text) { SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)); }

// Keeps the selected line: an import only appends, so the same index still
// names the same key, and the Export button, whose state refilling leaves
// alone, keeps something to export.
void FillKeyList(HWND page) {
  HWND list = GetDlgItem(page, IDC_KEY_LIST);
  const LRESULT selected = SendMessageA(list, LB_GETCURSEL, 0, 0);
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  std::vector<PublicKeyRecord> ring(kMaxRingKeys);
  const int count = LoadPublicKeyRing(ring.data());
  char suffix[kTextChars];
  LoadText(IDS_OWNER_SUFFIX, suffix);
  for (int i = 0; i < count; ++i) {
    char id[kUserIdBytes + 1];
    GetUserId(ring[i], id);
    if (i == 0) {
      char owner[kOwnerLineChars];
      std::snprintf(owner, sizeof owner, "%s%s", id, suffix);
      AddLine(list, owner);
    } else {
      AddLine(list, id);
    }
  }
  if (selected >= 0 && selected < count) SendMessageA(list, LB_SETCURSEL, selected, 0);
}

void EnableButton(HWND page, int id, bool enabled) { EnableWindow(GetDlgItem(page, id), enabled); }

// Removing a key and changing a user ID are not offered: the ring only
// grows through imports.
void DisableRingEdits(HWND page) {
  EnableButton(page, IDC_REMOVE, false);
  EnableButton(page, IDC_CHANGE_ID, false);
}

void InitKeyManagerPage(HWND page) {
  AttachPageToSheet(page);
  EnableButton(page, IDC_EXPORT, false);
  DisableRingEdits(page);
  FillKeyList(page);
}

void OnCommand(HWND page, int id) {
  switch (id) {
    case IDC_KEY_LIST:
      EnableButton(page, IDC_EXPORT, SelectedKey(page) >= 0);
      DisableRingEdits(page);
      break;
    case IDC_IMPORT:
      ImportPublicKeys(nullptr, true);
      FillKeyList(page);
      break;
    case IDC_EXPORT:
      if (SelectedKey(page) >= 0) ExportPublicKey(SelectedKey(page));
      break;
  }
}

}  // namespace

INT_PTR CALLBACK KeyManagerPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      InitKeyManagerPage(page);
      return TRUE;
    case WM_COMMAND:
      OnCommand(page, LOWORD(wParam));
      return TRUE;
    case WM_NOTIFY:
      return AnswerPageNotify(page, reinterpret_cast<const NMHDR*>(lParam));
    case WM_DESTROY:
      ForgetSheet();
      return FALSE;
  }
  return FALSE;
}
