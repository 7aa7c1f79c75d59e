#include "app/tray_icon.h"

#include <shellapi.h>

#include "resources/resource.h"
#include "resources/strings.h"
#include "win/program.h"

// The first version of the record: 88 bytes in the 32-bit program, 104 in
// the same code built as 64-bit.
static_assert(NOTIFYICONDATAA_V1_SIZE == (sizeof(void*) == 8 ? 104 : 88));

namespace {

NOTIFYICONDATAA TrayIcon;
bool Shown = false;

}  // namespace

bool AddTrayIcon() {
  TrayIcon.cbSize = NOTIFYICONDATAA_V1_SIZE;
  TrayIcon.hWnd = MainWindow;
  TrayIcon.uID = kTrayIconId;
  TrayIcon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  TrayIcon.uCallbackMessage = WM_TRAYICON;
  TrayIcon.hIcon = LoadIconA(AppInstance, MAKEINTRESOURCEA(IDI_TRAY));
  LoadStringA(AppInstance, IDS_APP_NAME, TrayIcon.szTip, sizeof TrayIcon.szTip);
  Shown = Shell_NotifyIconA(NIM_ADD, &TrayIcon) != FALSE;
  return Shown;
}

void RemoveTrayIcon() {
  if (!Shown) return;
  Shell_NotifyIconA(NIM_DELETE, &TrayIcon);
  Shown = false;
}
