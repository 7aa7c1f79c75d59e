#include "app/property_sheet.h"

#include <commctrl.h>

#include <iterator>

#include "resources/resource.h"
#include "resources/strings.h"
#include "win/callback_guard.h"
#include "win/program.h"

namespace {

// The open sheet; a handle that is no live window means that none is open.
// Written by AttachPageToSheet as each page starts, and cleared by a page's
// WM_DESTROY and by ShowPropertySheet once the sheet has closed.
HWND SheetWindow;

PROPSHEETPAGEA DescribePage(int templateId, DLGPROC procedure) {
  PROPSHEETPAGEA page = {};
  // The sheet steps through the page array by dwSize, so it must be the
  // array's own element size.
  page.dwSize = sizeof page;
  page.dwFlags = PSP_DEFAULT;
  page.hInstance = AppInstance;
  page.pszTemplate = MAKEINTRESOURCEA(templateId);
  page.pfnDlgProc = procedure;
  return page;
}

void AttachPageToSheet(HWND page) {
  SheetWindow = GetParent(page);
  RECT r;
  GetWindowRect(SheetWindow, &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  MoveWindow(SheetWindow, GetSystemMetrics(SM_CXSCREEN) / 2 - w / 2, GetSystemMetrics(SM_CYSCREEN) / 2 - h / 2, w, h,
             TRUE);
}

INT_PTR OnPageMessage(const PageHandlers& handlers, HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      AttachPageToSheet(page);
      handlers.init(page);
      return TRUE;
    case WM_COMMAND:
      handlers.command(page, LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    case WM_NOTIFY:
      return handlers.notify(page, reinterpret_cast<const NMHDR*>(lParam));
    case WM_DESTROY:
      SheetWindow = nullptr;
      return FALSE;
  }
  return FALSE;
}

}  // namespace

void ShowPropertySheet(SheetPage startPage) {
  if (IsWindow(SheetWindow)) {
    SendMessageA(SheetWindow, PSM_SETCURSEL, static_cast<WPARAM>(startPage), 0);
    SetForegroundWindow(SheetWindow);
    return;
  }
  // In SheetPage's order.
  PROPSHEETPAGEA pages[] = {DescribePage(IDD_SETTINGS, SettingsPageProc),
                            DescribePage(IDD_KEY_MANAGER, KeyManagerPageProc)};
  char caption[kTextChars];
  LoadText(IDS_APP_NAME, caption);
  PROPSHEETHEADERA sheet = {};
  sheet.dwSize = PROPSHEETHEADERA_V1_SIZE;
  // No Apply button: every change but the two flags takes effect at once,
  // and the flags are stored by OK.
  sheet.dwFlags = PSH_PROPSHEETPAGE | PSH_PROPTITLE | PSH_NOAPPLYNOW;
  sheet.hInstance = AppInstance;
  sheet.pszCaption = caption;
  sheet.nPages = static_cast<UINT>(std::size(pages));
  sheet.nStartPage = static_cast<UINT>(startPage);
  sheet.ppsp = pages;
  PropertySheetA(&sheet);
  SheetWindow = nullptr;
}

INT_PTR PageMessage(const PageHandlers& handlers, HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  return Guarded<INT_PTR>(FALSE, [&] { return OnPageMessage(handlers, page, message, wParam, lParam); });
}

INT_PTR AnswerPageNotify(HWND page, const NMHDR* notify) {
  if (notify->code != static_cast<UINT>(PSN_KILLACTIVE)) return FALSE;
  SetWindowLongPtrA(page, DWLP_MSGRESULT, FALSE);
  return TRUE;
}
