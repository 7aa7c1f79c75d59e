#include "app/hotkeys.h"

#include <commctrl.h>

#include "app/encrypt_in_place.h"
#include "app/read_selection.h"
#include "win/program.h"

namespace {

bool Busy = false;

// RegisterHotKey's modifiers for a hotkey in the form a hotkey control gives
// (HKM_GETHOTKEY): the virtual key in the low byte, HOTKEYF_* in the next.
// MOD_NOREPEAT: a key held down is one press, not a stream of them.
UINT ModifiersOf(WORD hotkey) {
  const BYTE flags = HIBYTE(hotkey);
  UINT modifiers = MOD_NOREPEAT;
  if (flags & HOTKEYF_ALT) modifiers |= MOD_ALT;
  if (flags & HOTKEYF_CONTROL) modifiers |= MOD_CONTROL;
  if (flags & HOTKEYF_SHIFT) modifiers |= MOD_SHIFT;
  return modifiers;
}

void Register(int id, WORD hotkey) {
  UnregisterHotKey(MainWindow, id);
  if (LOBYTE(hotkey) != 0) RegisterHotKey(MainWindow, id, ModifiersOf(hotkey), LOBYTE(hotkey));
}

}  // namespace

void RegisterHotkeys() {
  Register(kEncryptHotkeyId, MAKEWORD('E', HOTKEYF_CONTROL | HOTKEYF_SHIFT));
  Register(kDecryptHotkeyId, MAKEWORD('D', HOTKEYF_CONTROL | HOTKEYF_SHIFT));
}

void OnHotkey(WPARAM id) {
  if (Busy) return;
  Busy = true;
  struct Done {
    ~Done() { Busy = false; }
  } done;
  if (id == kEncryptHotkeyId) EncryptInPlace();
  if (id == kDecryptHotkeyId) ReadSelectedMessages();
}
