#include "app/app_state.h"

#include "icq/button_images.h"
#include "icq/scanner.h"
#include "win/program.h"

HANDLE InstanceMutex;
NOTIFYICONDATAA TrayIcon;
HBITMAP SplashBitmap;
HBITMAP AboutBitmap;
HBITMAP MenuIcons[kMenuIconCount];

static void DeleteBitmap(HBITMAP& bitmap) {
  if (bitmap) DeleteObject(bitmap);
  bitmap = nullptr;
}

void ShutdownApp() {
  if (MainWindow) KillTimer(MainWindow, IDT_SCANNER);
  if (InstanceMutex) {
    ReleaseMutex(InstanceMutex);
    CloseHandle(InstanceMutex);
    InstanceMutex = nullptr;
  }
  DeleteBitmap(SplashBitmap);
  DeleteBitmap(AboutBitmap);
  DeleteButtonImages();
  for (HBITMAP& icon : MenuIcons) DeleteBitmap(icon);
  UnregisterClassA(kMainWindowClass, AppInstance);
}
