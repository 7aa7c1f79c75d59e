#include "icq/message_pump.h"

#include <windows.h>

void PumpMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    // WM_QUIT belongs to the main loop: taken here it would be lost, and the
    // program would go on running without its main window.
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  Sleep(0);
}
