#include "icq/message_pump.h"

#include <windows.h>

namespace {

// Keyboard and mouse messages are left in the queue for the loop that owns
// them: the tick may run inside a menu's or a dialog's modal loop, and a key
// dispatched here would reach the focus window instead of the menu, or miss
// the dialog's navigation, and be lost to the user. They are told apart by
// their numbers, which also catches keys posted rather than typed.
bool PeekAllButInput(MSG& msg) {
  return PeekMessageA(&msg, nullptr, 0, WM_KEYFIRST - 1, PM_REMOVE) ||
         PeekMessageA(&msg, nullptr, WM_KEYLAST + 1, WM_MOUSEFIRST - 1, PM_REMOVE) ||
         PeekMessageA(&msg, nullptr, WM_MOUSELAST + 1, 0xFFFF, PM_REMOVE);
}

}  // namespace

void PumpMessages() {
  MSG msg;
  while (PeekAllButInput(msg)) {
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
