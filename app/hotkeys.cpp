#include "app/hotkeys.h"

#include <commctrl.h>

#include <string>
#include <vector>

#include "app/encrypt_in_place.h"
#include "app/hotkey_form.h"
#include "app/process_state.h"
#include "app/read_selection.h"
#include "icq/message_options.h"
#include "resources/strings.h"
#include "win/program.h"

static_assert(kHotkeyShift == HOTKEYF_SHIFT && kHotkeyControl == HOTKEYF_CONTROL && kHotkeyAlt == HOTKEYF_ALT &&
              kHotkeyExtended == HOTKEYF_EXT);
static_assert(kModAlt == MOD_ALT && kModControl == MOD_CONTROL && kModShift == MOD_SHIFT &&
              kModNoRepeat == MOD_NOREPEAT);

namespace {

// Set by OnHotkey while it handles a press: a press that comes meanwhile,
// through a message loop the first one runs, is dropped.
bool Busy = false;

std::string KeyName(uint8_t virtualKey, bool extended) {
  const UINT scanCode = MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC);
  const LONG keyData = static_cast<LONG>(scanCode << 16 | (extended ? 1u << 24 : 0u));
  char name[64] = "";
  return GetKeyNameTextA(keyData, name, sizeof name) > 0 ? name : "";
}

// False only when another program holds the combination.
bool Register(int id, DWORD hotkey) {
  UnregisterHotKey(MainWindow, id);
  if (HotkeyKey(hotkey) == 0) return true;
  return RegisterHotKey(MainWindow, id, HotkeyModifiers(hotkey), HotkeyKey(hotkey)) ||
         GetLastError() != ERROR_HOTKEY_ALREADY_REGISTERED;
}

// "Ctrl+Shift+E", in the keyboard layout's names.
std::string HotkeyText(DWORD hotkey) { return HotkeyName(hotkey, KeyName); }

}  // namespace

std::vector<std::string> RegisterHotkeys() {
  std::vector<std::string> taken;
  if (!Register(kEncryptHotkeyId, HotkeyEncrypt)) taken.push_back(HotkeyText(HotkeyEncrypt));
  if (!Register(kDecryptHotkeyId, HotkeyDecrypt)) taken.push_back(HotkeyText(HotkeyDecrypt));
  return taken;
}

void ReportTakenHotkeys(const std::vector<std::string>& taken) {
  // One balloon for both: a second would replace the first.
  if (taken.size() == 1) ShowBalloonNotice(IDS_HOTKEY_TAKEN, taken[0]);
  if (taken.size() == 2) ShowBalloonNotice(IDS_HOTKEYS_TAKEN, taken[0], taken[1]);
}

void OnHotkey(WPARAM id, LPARAM keys) {
  if (Busy) return;
  Busy = true;
  struct Done {
    ~Done() { Busy = false; }
  } done;
  // The key of the combination is in the high word, its modifiers in the low.
  const UINT key = HIWORD(keys);
  if (id == kEncryptHotkeyId) EncryptInPlace(key);
  if (id == kDecryptHotkeyId) ReadSelectedMessages(key);
}
