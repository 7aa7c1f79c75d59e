// The program's one configuration window: a property sheet with the Settings
// page and the Public Key Manager page. At most one sheet exists; asking for
// it while it is open switches its page and brings it to the front.
#pragma once

#include <windows.h>

// The sheet's pages, in their order on the sheet.
enum class SheetPage { kSettings, kKeyManager };

// Runs the sheet modally on startPage and returns when it closes; returns
// at once when a sheet was already open.
void ShowPropertySheet(SheetPage startPage);

INT_PTR CALLBACK SettingsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK KeyManagerPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Brings the Settings page's controls in line with the settings; switching
// Launch on Startup off deletes ICQ's add-on entry, and the shown skin (or
// the built-in pictures, with skins off) is applied again.
void RefreshSettingsPage(HWND page);

// What a page does with the messages it handles. The rest of a page's dialog
// procedure is the same for every page, in PageMessage: a page being
// initialised makes its sheet the open one and centres it on the screen
// before init runs, a page being destroyed closes the record, and whatever
// escapes a handler is reported.
struct PageHandlers {
  void (*init)(HWND page);
  void (*command)(HWND page, int id, int code);
  INT_PTR (*notify)(HWND page, const NMHDR* notify);
};

INT_PTR PageMessage(const PageHandlers& handlers, HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Answers a page's WM_NOTIFY: PSN_KILLACTIVE always lets the user leave the
// page; every other notification gets the default answer (accepted).
INT_PTR AnswerPageNotify(HWND page, const NMHDR* notify);
