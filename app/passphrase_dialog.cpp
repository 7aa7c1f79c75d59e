#include "app/passphrase_dialog.h"

#include <windows.h>

#include <string>

#include "keys/locked_memory.h"
#include "keys/passphrase_from_wide.h"
#include "resources/resource.h"
#include "resources/strings.h"
#include "win/callback_guard.h"
#include "win/program.h"

namespace {

// UTF-16 units a field takes: one more than any passphrase has (a unit is
// a byte of UTF-8 at least), so that a text too long is refused with a
// notice rather than cut without a word.
constexpr int kFieldUnits = static_cast<int>(kMaxPassphraseBytes) + 1;

struct Exchange {
  const PassphraseRequest* request;
  Passphrase* passphrase;
};

void SetText(HWND dialog, int id, UINT textId) {
  char text[kTextChars] = "";
  if (textId) LoadText(textId, text);
  SetDlgItemTextA(dialog, id, text);
}

// The field's text as UTF-8 into passphrase, by the passphrase rule (a
// text put in with WM_SETTEXT may be longer than the field takes: it is
// read cut, and refused). Returns 0, or the id of the text that says why
// it was refused. The wide copy is in locked memory, wiped when it goes.
int ReadField(HWND dialog, int id, Passphrase& passphrase) {
  const LockedMemory memory((kFieldUnits + 1) * sizeof(wchar_t));
  wchar_t* wide = reinterpret_cast<wchar_t*>(memory.data());
  const int length = GetDlgItemTextW(dialog, id, wide, kFieldUnits + 1);
  return PassphraseFromWide(wide, static_cast<size_t>(length), passphrase);
}

// An edit field keeps its text in memory of its own, which nothing here can
// wipe; a text of the same length written over it replaces it in place
// before the field is emptied.
void ScrubField(HWND dialog, int id) {
  HWND field = GetDlgItem(dialog, id);
  const std::wstring filler(static_cast<size_t>(GetWindowTextLengthW(field)), L'*');
  SetWindowTextW(field, filler.c_str());
  SetWindowTextW(field, L"");
}

void ScrubFields(HWND dialog) {
  ScrubField(dialog, IDC_PASSPHRASE_EDIT);
  ScrubField(dialog, IDC_PASSPHRASE_REPEAT);
}

// Says why an entry was refused and starts the entry again.
void Refuse(HWND dialog, UINT noticeId, Passphrase& passphrase) {
  passphrase.Clear();
  SetText(dialog, IDC_PASSPHRASE_NOTICE, noticeId);
  ScrubFields(dialog);
  SetFocus(GetDlgItem(dialog, IDC_PASSPHRASE_EDIT));
}

// One field is enough for the passphrase of an existing file: the second
// row goes, and what lies below it moves up into its place.
void HideRepeatRow(HWND dialog) {
  RECT first, second;
  GetWindowRect(GetDlgItem(dialog, IDC_PASSPHRASE_EDIT), &first);
  GetWindowRect(GetDlgItem(dialog, IDC_PASSPHRASE_REPEAT), &second);
  const int rise = second.top - first.top;
  for (int id : {IDC_PASSPHRASE_REPEAT_LABEL, IDC_PASSPHRASE_REPEAT}) ShowWindow(GetDlgItem(dialog, id), SW_HIDE);
  for (int id : {IDC_PASSPHRASE_NOTICE, IDC_PASSPHRASE_OK, IDC_PASSPHRASE_CANCEL}) {
    HWND control = GetDlgItem(dialog, id);
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    SetWindowPos(control, nullptr, r.left, r.top - rise, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  }
  RECT window;
  GetWindowRect(dialog, &window);
  SetWindowPos(dialog, nullptr, window.left, window.top + rise / 2, window.right - window.left,
               window.bottom - window.top - rise, SWP_NOZORDER);
}

void Init(HWND dialog, const Exchange& exchange) {
  const PassphraseRequest& request = *exchange.request;
  char caption[kTextChars];
  LoadText(request.captionId, caption);
  SetWindowTextA(dialog, caption);
  SetText(dialog, IDC_PASSPHRASE_PROMPT, request.promptId);
  SetDlgItemTextA(dialog, IDC_PASSPHRASE_FILE, request.path);
  SetText(dialog, IDC_PASSPHRASE_NOTICE, request.noticeId);
  for (int id : {IDC_PASSPHRASE_EDIT, IDC_PASSPHRASE_REPEAT})
    SendDlgItemMessageW(dialog, id, EM_LIMITTEXT, kFieldUnits, 0);
  if (request.entry == PassphraseEntry::kCurrent) HideRepeatRow(dialog);
  SetFocus(GetDlgItem(dialog, IDC_PASSPHRASE_EDIT));
}

void OnOk(HWND dialog, const Exchange& exchange) {
  const PassphraseEntry entry = exchange.request->entry;
  Passphrase& passphrase = *exchange.passphrase;
  if (const int fault = ReadField(dialog, IDC_PASSPHRASE_EDIT, passphrase)) {
    return Refuse(dialog, static_cast<UINT>(fault), passphrase);
  }
  if (entry == PassphraseEntry::kCurrent) {
    if (passphrase.empty()) return;  // nothing typed yet: not worth one of the tries
  } else {
    Passphrase repeat;
    if (const int fault = ReadField(dialog, IDC_PASSPHRASE_REPEAT, repeat)) {
      return Refuse(dialog, static_cast<UINT>(fault), passphrase);
    }
    if (!SamePassphrase(passphrase, repeat)) return Refuse(dialog, IDS_PASSPHRASE_MISMATCH, passphrase);
    if (entry == PassphraseEntry::kNew && passphrase.empty()) return Refuse(dialog, IDS_PASSPHRASE_EMPTY, passphrase);
  }
  ScrubFields(dialog);
  EndDialog(dialog, IDOK);
}

INT_PTR OnPassphraseMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      Init(dialog, *reinterpret_cast<const Exchange*>(lParam));
      return FALSE;  // the focus has been set here
    case WM_COMMAND: {
      const auto* exchange = reinterpret_cast<const Exchange*>(GetWindowLongPtrW(dialog, DWLP_USER));
      switch (LOWORD(wParam)) {
        case IDC_PASSPHRASE_OK:
          OnOk(dialog, *exchange);
          break;
        case IDC_PASSPHRASE_CANCEL:
        case IDCANCEL:  // Esc and the close box
          exchange->passphrase->Clear();
          ScrubFields(dialog);
          EndDialog(dialog, IDCANCEL);
          break;
      }
      return TRUE;
    }
  }
  return FALSE;
}

INT_PTR CALLBACK PassphraseDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  return Guarded<INT_PTR>(FALSE, [&] { return OnPassphraseMessage(dialog, message, wParam, lParam); });
}

}  // namespace

bool AskPassphrase(HWND owner, const PassphraseRequest& request, Passphrase& passphrase) {
  Exchange exchange{&request, &passphrase};
  const INT_PTR result = DialogBoxParamW(AppInstance, MAKEINTRESOURCEW(IDD_PASSPHRASE), owner, PassphraseDialogProc,
                                         reinterpret_cast<LPARAM>(&exchange));
  if (result == IDOK) return true;
  passphrase.Clear();
  return false;
}
