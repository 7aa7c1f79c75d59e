#include "icq/scanner.h"

#include "app/app_state.h"

// The timer runs from start-up to shutdown; recognising dialogs and adding
// their buttons is not part of this build yet.
void CALLBACK ScanTimerProc(HWND, UINT message, UINT_PTR timerId, DWORD) {
  if (message != WM_TIMER || timerId != IDT_SCANNER) return;
}
