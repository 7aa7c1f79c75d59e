#include "app/app_state.h"

#include "resources/strings.h"

HINSTANCE AppInstance;
HWND MainWindow;
HANDLE InstanceMutex;
NOTIFYICONDATAA TrayIcon;
HBITMAP SplashBitmap;
HBITMAP AboutBitmap;
HBITMAP EncryptBitmap;
HBITMAP DecryptBitmap;
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
  DeleteBitmap(EncryptBitmap);
  DeleteBitmap(DecryptBitmap);
  for (HBITMAP& icon : MenuIcons) DeleteBitmap(icon);
  UnregisterClassA(kMainWindowClass, AppInstance);
}

void LoadText(UINT id, char* buf) {
  if (LoadStringA(AppInstance, id, buf, kTextChars) <= 0) buf[0] = '\0';
}

bool AskQuestion(HWND owner, const char* text) {
  char caption[kTextChars];
  LoadText(IDS_QUESTION_CAPTION, caption);
  return MessageBoxA(owner, text, caption, MB_YESNO | MB_ICONWARNING) == IDYES;
}
