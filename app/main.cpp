// The tray program's entry point: key setup, the command-line import, the
// single-instance test, then the hidden main window, the tray icon and the
// 300 ms scan timer, and the message loop until Exit.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <utility>
#include <vector>

#include "app/app_state.h"
#include "app/command_line.h"
#include "app/common_controls.h"
#include "app/decrypt_copied.h"
#include "app/hotkeys.h"
#include "app/key_setup.h"
#include "app/key_state.h"
#include "app/main_window.h"
#include "app/process_state.h"
#include "app/reading_window.h"
#include "app/settings.h"
#include "app/skins.h"
#include "app/splash_about.h"
#include "app/tray_icon.h"
#include "icq/action_keys.h"
#include "icq/button_images.h"
#include "icq/message_options.h"
#include "icq/scanner.h"
#include "resources/resource.h"
#include "resources/strings.h"
#include "win/program.h"
#include "win/report_error.h"

// The window class record, whose size the program's data model fixes: as
// the 32-bit program sees it, and as the same code sees it built as 64-bit.
static_assert(sizeof(WNDCLASSEXA) == (sizeof(void*) == 8 ? 80 : 48));

namespace {

void ReportFatal(UINT textId) {
  char text[kTextChars];
  LoadText(textId, text);
  ReportError(text, true);
}

void LoadBitmaps() {
  SplashBitmap.reset(LoadBitmapA(AppInstance, MAKEINTRESOURCEA(IDB_SPLASH)));
  AboutBitmap.reset(LoadBitmapA(AppInstance, MAKEINTRESOURCEA(IDB_ABOUT)));
  ReplaceButtonImages(LoadBuiltInBitmap(IDB_ENCRYPT), LoadBuiltInBitmap(IDB_DECRYPT));
  const int icons[kMenuIconCount] = {IDB_MENU_ENCRYPT_CLIPBOARD, IDB_MENU_DECRYPT_CLIPBOARD, IDB_MENU_GENERATE_KEYS,
                                     IDB_MENU_KEY_MANAGER,       IDB_MENU_SETTINGS,          IDB_MENU_ABOUT,
                                     IDB_MENU_EXIT};
  for (int i = 0; i < kMenuIconCount; ++i) MenuIcons[i].reset(LoadBitmapA(AppInstance, MAKEINTRESOURCEA(icons[i])));
}

void CreateMainWindow() {
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof wc;
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = MainWindowProc;
  wc.hInstance = AppInstance;
  wc.hIcon = LoadIconA(AppInstance, MAKEINTRESOURCEA(IDI_APP));
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = kMainWindowClass;
  if (!RegisterClassExA(&wc)) ReportError(nullptr, true);

  char title[kTextChars];
  LoadText(IDS_APP_NAME, title);
  // A tool window that is never shown: no taskbar button, nothing on screen.
  MainWindow = CreateWindowExA(WS_EX_TOOLWINDOW, kMainWindowClass, title, WS_MINIMIZE, 0, 0, 0, 0, nullptr, nullptr,
                               AppInstance, nullptr);
  if (!MainWindow) ReportError(nullptr, true);
}

void CheckCommonControls() {
  unsigned major = 0, minor = 0;
  if (!GetCommonControlsVersion(&major, &minor) || !IsCommonControlsVersionSufficient(major, minor))
    ReportFatal(IDS_OLD_COMCTL32);
  InitCommonControls();
}

void WriteSystemRegistrations() {
  char exePath[MAX_PATH] = "", currentDir[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, exePath, MAX_PATH);
  GetCurrentDirectoryA(MAX_PATH, currentDir);
  WriteRegistrations(exePath, currentDir);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  // DLLs come from System32 only from here on, never from beside the
  // program or the current folder: the imports that are not known DLLs are
  // delay-loaded (cmake/hardening.cmake), so that they come after this.
  SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  AppInstance = instance;
  // A ring that the actions cannot read ends the program, as one that
  // start-up cannot read does.
  SetActionKeys({SecretKey, SecretKeyPath, PublicKeyPath,
                 [](KeyFileStatus status) { CheckKeyFile(status, KeyFailure::kFatal); }});
  SetMessageOptions({&AutoEncrypt, &AutoDecrypt, &NoEncryptWarning, &NoInsecureWarning, ShowTrayBalloon});
  if (!SetUpKeys(KeySetUpMode::kAtStart)) ReportFatal(IDS_NO_KEYS);

  char keyFile[kCommandLinePathChars];
  ParseCommandLine(commandLine, keyFile);
  if (keyFile[0]) ImportPublicKeys(keyFile, false);

  // A second copy ends here, after the import: opening a key file while the
  // program runs imports it through a short-lived second copy.
  KernelHandle mutex(CreateMutexA(nullptr, TRUE, kInstanceMutexName));
  if (GetLastError() == ERROR_ALREADY_EXISTS) return 0;
  InstanceMutex = std::move(mutex);

  LoadBitmaps();
  LoadSettings();
  CreateMainWindow();
  // The hotkeys work from the moment the main window exists; a balloon about
  // those other programs hold waits for the tray icon.
  const std::vector<std::string> takenHotkeys = RegisterHotkeys();
  CheckCommonControls();
  ShowSplash();
  WriteSystemRegistrations();
  if (!AddTrayIcon()) ReportError(nullptr, true);
  ReportTakenHotkeys(takenHotkeys);
  ListenToCopies(DecryptCopied != 0);
  if (!SetTimer(MainWindow, IDT_SCANNER, kScannerPeriodMs, ScanTimerProc)) ReportError(nullptr, true);

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (IsReadingWindowMessage(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  ShutdownApp();
  return static_cast<int>(msg.wParam);
}
