#include "app/user_id_dialog.h"

#include <windows.h>

#include <cstring>

#include "keys/user_id_text.h"
#include "resources/resource.h"
#include "resources/strings.h"
#include "win/callback_guard.h"
#include "win/program.h"

namespace {

struct Exchange {
  const char* initial;
  char* id;
  UINT captionId;
};

void SetCaption(HWND dialog, UINT captionId) {
  char text[kTextChars];
  LoadText(captionId, text);
  SetWindowTextA(dialog, text);
}

INT_PTR OnUserIdMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      SetWindowLongPtrA(dialog, DWLP_USER, lParam);
      const auto* exchange = reinterpret_cast<const Exchange*>(lParam);
      HWND edit = GetDlgItem(dialog, IDC_USER_ID_EDIT);
      SendMessageA(edit, EM_LIMITTEXT, kUserIdBytes, 0);
      if (exchange->captionId) SetCaption(dialog, exchange->captionId);
      if (exchange->initial) {
        SetWindowTextA(edit, exchange->initial);
      } else {
        SetCaption(dialog, IDS_USER_ID_CAPTION);
        char text[kTextChars];
        LoadText(IDS_DEFAULT_USER_ID, text);
        SetWindowTextA(edit, text);
      }
      SendMessageA(edit, EM_SETSEL, 0, -1);
      SetFocus(edit);
      return FALSE;  // the focus has been set here
    }
    case WM_COMMAND:
      // Only the two buttons end the dialog; Esc and the close box send
      // IDCANCEL, which is neither.
      if (LOWORD(wParam) == IDC_USER_ID_OK) {
        auto* exchange = reinterpret_cast<Exchange*>(GetWindowLongPtrA(dialog, DWLP_USER));
        char typed[kUserIdBytes + 1];
        GetDlgItemTextA(dialog, IDC_USER_ID_EDIT, typed, sizeof typed);
        // A pasted tab or line break would reach every menu and list that
        // shows the ID: the user is asked for another one.
        if (!IsPrintableUserId(typed)) {
          ShowNotice(IDS_USER_ID_CONTROL, dialog);
          return TRUE;
        }
        lstrcpynA(exchange->id, typed, kUserIdBytes + 1);
        EndDialog(dialog, IDC_USER_ID_OK);
      } else if (LOWORD(wParam) == IDC_USER_ID_CANCEL) {
        EndDialog(dialog, IDC_USER_ID_CANCEL);
      }
      return TRUE;
  }
  return FALSE;
}

INT_PTR CALLBACK UserIdDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  return Guarded<INT_PTR>(FALSE, [&] { return OnUserIdMessage(dialog, message, wParam, lParam); });
}

}  // namespace

UserIdAnswer UserIdDialog(const char* initial, char id[kUserIdBytes + 1], UINT captionId) {
  Exchange exchange{initial, id, captionId};
  const INT_PTR result = DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_USER_ID), MainWindow, UserIdDialogProc,
                                         reinterpret_cast<LPARAM>(&exchange));
  if (result == IDC_USER_ID_OK) return UserIdAnswer::Ok;
  if (result == IDC_USER_ID_CANCEL) return UserIdAnswer::Cancel;
  return UserIdAnswer::Failed;
}
