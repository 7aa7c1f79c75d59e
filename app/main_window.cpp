#include "app/main_window.h"

#include "app/clipboard_commands.h"
#include "app/decrypt_copied.h"
#include "app/hotkeys.h"
#include "app/key_setup.h"
#include "app/menu_drawing.h"
#include "app/property_sheet.h"
#include "app/reading_window.h"
#include "app/splash_about.h"
#include "app/tray_icon.h"
#include "resources/resource.h"
#include "win/callback_guard.h"
#include "win/handles.h"
#include "win/popup_menu.h"
#include "win/program.h"

namespace {

void RunTrayCommand(HWND window, UINT command) {
  switch (command) {
    case IDM_ENCRYPT_CLIPBOARD:
      EncryptClipboard();
      break;
    case IDM_DECRYPT_CLIPBOARD:
      DecryptClipboard();
      break;
    case IDM_GENERATE_KEYS:
      SetUpKeys(KeySetUpMode::kNewKeys);
      break;
    case IDM_KEY_MANAGER:
      ShowPropertySheet(SheetPage::kKeyManager);
      break;
    case IDM_SETTINGS:
      ShowPropertySheet(SheetPage::kSettings);
      break;
    case IDM_ABOUT:
      ShowAboutBox();
      break;
    case IDM_EXIT:
      // Closing destroys the window, and WM_DESTROY ends the message loop.
      PostMessageA(window, WM_CLOSE, 0, 0);
      break;
  }
}

// Returns true when a command was chosen.
bool RunTrayMenu(HWND window) {
  MenuHandle menu(LoadMenuA(AppInstance, MAKEINTRESOURCEA(IDR_TRAY_MENU)));
  if (!menu) return false;
  const UINT command = TrackMenuAtCursor(GetSubMenu(menu.get(), 0), window);
  if (command == 0) return false;
  RunTrayCommand(window, command);
  return true;
}

LRESULT OnTrayIcon(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (wParam != kTrayIconId) return 0;
  // A sender that waits for the reply must not be held by the modal menu.
  ReplyMessage(0);
  switch (lParam) {
    case WM_LBUTTONDBLCLK:
      ShowPropertySheet(SheetPage::kSettings);
      return 0;
    case WM_RBUTTONDOWN:
      if (RunTrayMenu(window)) return 0;
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

static LRESULT OnMainWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_DESTROY:
      ListenToCopies(false);
      CloseReadingWindow();
      ClearDecryptedClipboard();
      RemoveTrayIcon();
      PostQuitMessage(0);
      return 0;
    case WM_TIMER:
      if (wParam == IDT_CLEAR_CLIPBOARD) ClearDecryptedClipboard();
      return 0;
    case WM_MEASUREITEM:
      if (wParam == 0) MeasureMenuItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_DRAWITEM:
      if (wParam == 0) DrawMenuItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_ENTERMENULOOP:
    case WM_EXITMENULOOP:
      RemovePropA(window, kMenuWaitingProperty);
      return 0;
    case WM_ENTERIDLE:
      if (wParam == MSGF_MENU) SetPropA(window, kMenuWaitingProperty, window);
      return 0;
    case WM_TRAYICON:
      return OnTrayIcon(window, message, wParam, lParam);
    case WM_HOTKEY:
      OnHotkey(wParam, lParam);
      return 0;
    case WM_CLIPBOARDUPDATE:
      OnClipboardUpdate();
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return Guarded<LRESULT>(0, [&] { return OnMainWindowMessage(window, message, wParam, lParam); });
}
