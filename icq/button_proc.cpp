#include "icq/button_proc.h"

#include "icq/dialog_actions.h"
#include "icq/dialog_lists.h"

WNDPROC SavedButtonProc;

void SubclassButton(HWND button) {
  const LONG_PTR previous = SetWindowLongPtrA(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ButtonProc));
  // A failed call subclassed nothing; keeping the slot keeps the other
  // buttons working.
  if (previous != 0) SavedButtonProc = reinterpret_cast<WNDPROC>(previous);
}

namespace {

// Keys for our button reach our message loop, not ICQ's, so ICQ's dialog
// navigation never sees a Tab pressed on it: it is passed on here.
void FocusNextControl(const DialogRecord& record) {
  if (!record.innerDialog) return;
  HWND next = GetNextDlgTabItem(record.dialog, record.button, FALSE);
  SendMessageA(record.innerDialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(next), TRUE);
}

}  // namespace

LRESULT CALLBACK ButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam) {
  // A copy: the action runs a menu, during which a scan tick may drop the
  // record from its list.
  DialogRecord record{};
  bool encrypt = false;
  int32_t i = FindButtonRecord(SendDialogs, button);
  if (i >= 0) {
    record = SendDialogs.records[i];
    encrypt = true;
  } else if ((i = FindButtonRecord(ReceiveDialogs, button)) >= 0) {
    record = ReceiveDialogs.records[i];
  }
  // Not listed yet (between subclassing and recording): the class handles it.
  if (i >= 0) {
    switch (message) {
      case WM_KEYDOWN:
        if (wParam == VK_TAB) {
          FocusNextControl(record);
          return 0;
        }
        if (wParam == VK_RETURN || wParam == VK_SPACE) {
          SendMessageA(button, WM_LBUTTONUP, 0, 0);
          return 0;
        }
        break;
      case WM_LBUTTONUP:
        // Never passed on: the press is ours, not a click for ICQ's dialog.
        if (encrypt)
          EncryptDialogMessage(record);
        else
          DecryptDialogMessage(record);
        return 0;
    }
  }
  return CallWindowProcA(SavedButtonProc, button, message, wParam, lParam);
}
