#include "app/tray_icon.h"

#include <shellapi.h>

#include "resources/resource.h"
#include "resources/strings.h"
#include "win/program.h"

// The first version of the record: 88 bytes in the 32-bit program, 104 in
// the same code built as 64-bit.
static_assert(NOTIFYICONDATAA_V1_SIZE == (sizeof(void*) == 8 ? 104 : 88));
// A balloon needs the second version, which added its text, title and
// timeout: 488 bytes, 504 built as 64-bit. Only the balloon is sent in it;
// the icon itself keeps the first.
static_assert(NOTIFYICONDATAA_V2_SIZE == (sizeof(void*) == 8 ? 504 : 488));

namespace {

// Long enough to read the longest notice; systems that decide the time
// themselves ignore it.
constexpr UINT kBalloonMs = 15000;

// The icon's record and whether it shows: filled by AddTrayIcon, Shown
// cleared by RemoveTrayIcon.
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

void ShowTrayBalloon(const char* text) {
  if (!Shown) return;
  NOTIFYICONDATAA balloon = {};
  balloon.cbSize = NOTIFYICONDATAA_V2_SIZE;
  balloon.hWnd = TrayIcon.hWnd;
  balloon.uID = kTrayIconId;
  balloon.uFlags = NIF_INFO;
  lstrcpynA(balloon.szInfo, text, sizeof balloon.szInfo);
  LoadStringA(AppInstance, IDS_APP_NAME, balloon.szInfoTitle, sizeof balloon.szInfoTitle);
  balloon.uTimeout = kBalloonMs;
  balloon.dwInfoFlags = NIIF_WARNING;
  Shell_NotifyIconA(NIM_MODIFY, &balloon);
}

void RemoveTrayIcon() {
  if (!Shown) return;
  Shell_NotifyIconA(NIM_DELETE, &TrayIcon);
  Shown = false;
}
