#include "app/app_state.h"

#include "app/process_state.h"
#include "app/tray_icon.h"
#include "crypto/wipe.h"
#include "icq/button_images.h"
#include "icq/scanner.h"
#include "win/program.h"

KernelHandle InstanceMutex;
BitmapHandle SplashBitmap;
BitmapHandle AboutBitmap;
BitmapHandle MenuIcons[kMenuIconCount];

bool AnotherCopyRuns() { return static_cast<bool>(KernelHandle(OpenMutexA(SYNCHRONIZE, FALSE, kInstanceMutexName))); }

void ShutdownApp() {
  if (MainWindow) KillTimer(MainWindow, IDT_SCANNER);
  RemoveTrayIcon();
  if (InstanceMutex) {
    ReleaseMutex(InstanceMutex.get());
    InstanceMutex.reset();
  }
  SplashBitmap.reset();
  AboutBitmap.reset();
  DeleteButtonImages();
  for (BitmapHandle& icon : MenuIcons) icon.reset();
  UnregisterClassA(kMainWindowClass, AppInstance);
  SecureWipe(SecretKey, sizeof SecretKey);
}
