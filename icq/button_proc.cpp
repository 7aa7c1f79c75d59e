#include "icq/button_proc.h"

#include "icq/dialog_actions.h"
#include "icq/dialog_lists.h"
#include "win/callback_guard.h"

WNDPROC SavedButtonProc;

void SubclassButton(HWND button) {
  const LONG_PTR previous = SetWindowLongPtrA(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ButtonProc));
  // A failed call subclassed nothing; keeping the slot keeps the other
  // buttons working.
  if (previous != 0) SavedButtonProc = reinterpret_cast<WNDPROC>(previous);
}

namespace {

// The record of button's dialog, as a copy: the action runs a menu, during
// which a scan tick may drop the record from its list. False while the
// button is not listed yet (between subclassing and recording).
bool FindPressedRecord(HWND button, DialogRecord& record, bool& encrypt) {
  for (DialogList* list : {&SendDialogs, &ReceiveDialogs}) {
    const int32_t i = FindButtonRecord(*list, button);
    if (i < 0) continue;
    record = list->records[i];
    encrypt = list == &SendDialogs;
    return true;
  }
  return false;
}

// Keys for our button reach our message loop, not ICQ's, so ICQ's dialog
// navigation never sees a Tab pressed on it: it is passed on here.
void FocusNextControl(const DialogRecord& record) {
  if (!record.innerDialog) return;
  HWND next = GetNextDlgTabItem(record.dialog, record.button, FALSE);
  SendMessageA(record.innerDialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(next), TRUE);
}

// True when the message was ours to handle.
bool OnButtonMessage(const DialogRecord& record, bool encrypt, UINT message, WPARAM wParam) {
  switch (message) {
    case WM_KEYDOWN:
      if (wParam == VK_TAB) {
        FocusNextControl(record);
        return true;
      }
      if (wParam == VK_RETURN || wParam == VK_SPACE) {
        SendMessageA(record.button, WM_LBUTTONUP, 0, 0);
        return true;
      }
      return false;
    case WM_LBUTTONUP:
      // Never passed on: the press is ours, not a click for ICQ's dialog.
      if (encrypt)
        EncryptDialogMessage(record);
      else
        DecryptDialogMessage(record);
      return true;
  }
  return false;
}

}  // namespace

LRESULT CALLBACK ButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam) {
  return Guarded<LRESULT>(0, [&] {
    DialogRecord record{};
    bool encrypt = false;
    // Not listed yet, the class handles it.
    if (FindPressedRecord(button, record, encrypt) && OnButtonMessage(record, encrypt, message, wParam)) {
      return LRESULT{0};
    }
    return CallWindowProcA(SavedButtonProc, button, message, wParam, lParam);
  });
}
