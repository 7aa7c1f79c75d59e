#include "icq/button_proc.h"

#include "icq/dialog_actions.h"
#include "icq/dialog_lists.h"
#include "icq/dialog_messages.h"
#include "icq/process_state.h"
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
  DialogMessages messages;
  messages.SendA(record.innerDialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(next), TRUE);
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

// The messages on which the button's class talks to the dialog: painting
// asks it for the button's colours (WM_CTLCOLORBTN) and, under themes, for
// the background and a custom-draw notice; focus, keys and the mouse
// repaint the button or notify the dialog. All are sent messages, on which
// our thread would wait for as long as the dialog does not answer.
bool TalksToDialog(UINT message) {
  switch (message) {
    case WM_PAINT: case WM_ERASEBKGND: case WM_PRINTCLIENT: case WM_SETFOCUS: case WM_KILLFOCUS:
    case WM_KEYDOWN: case WM_KEYUP: case WM_MOUSEMOVE: case WM_MOUSELEAVE: case WM_MOUSEHOVER:
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: case WM_CAPTURECHANGED: case WM_ENABLE: case BM_SETSTATE:
      return true;
  }
  return false;
}

// Set on a button whose class was kept from talking to a dialog that did
// not answer: what it shows may be out of date.
constexpr char kRepaintProperty[] = "VwgRepaint";

// Such a message when the dialog does not answer: the button stays as it
// stands, and is repainted once the dialog answers again (RepaintButton).
LRESULT LeaveUndone(HWND button, UINT message) {
  SetPropA(button, kRepaintProperty, reinterpret_cast<HANDLE>(1));
  if (message == WM_PAINT) ValidateRect(button, nullptr);
  return message == WM_ERASEBKGND ? 1 : 0;
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
    if (TalksToDialog(message) && !DialogAnswers(GetParent(button))) return LeaveUndone(button, message);
    return CallWindowProcA(SavedButtonProc, button, message, wParam, lParam);
  });
}

void RepaintButton(HWND button) {
  if (RemovePropA(button, kRepaintProperty)) InvalidateRect(button, nullptr, TRUE);
  UpdateWindow(button);
}
