// The Settings page: Launch on Startup, Enable Skins and the skin choice,
// Start with Windows, the Messages options, the hotkeys and Decrypt what I
// copy. The check boxes change the settings in memory at once (OK stores
// them); a skin is applied and stored as soon as it is chosen. Password
// Protect shows whether the secret key file is protected and changes the
// file at once: the file itself is the setting. Start with Windows, the
// hotkeys and Decrypt what I copy are shown as the page opens and taken from
// it by OK alone, so that Cancel drops them and a refresh of the page keeps
// what the user has typed.
#include <windows.h>
#include <commctrl.h>

#include "app/decrypt_copied.h"
#include "app/hotkeys.h"
#include "app/key_protection.h"
#include "app/key_state.h"
#include "app/process_state.h"
#include "app/property_sheet.h"
#include "app/settings.h"
#include "app/skins.h"
#include "icq/uin_rule.h"
#include "keys/registry_names.h"
#include "resources/resource.h"
#include "resources/strings.h"
#include "win/program.h"
#include "win/registry.h"

namespace {

constexpr char kNoSkin[] = "(None)";

// The Messages options and their boxes.
struct OptionBox {
  int id;
  DWORD* flag;
};
const OptionBox kOptionBoxes[] = {
    {IDC_AUTO_ENCRYPT, &AutoEncrypt},
    {IDC_AUTO_DECRYPT, &AutoDecrypt},
    {IDC_NO_ENCRYPT_WARNING, &NoEncryptWarning},
    {IDC_NO_INSECURE_WARNING, &NoInsecureWarning},
};

// Whether this sheet has already said that the automatic modes need UINs in
// the ring: once is enough, whichever box asked first. Cleared by
// InitSettingsPage, set by CheckRingForUins.
bool RingNoticeShown = false;

// Only 1 counts as on here; start-up takes any nonzero value.
DWORD Toggled(DWORD flag) { return flag == 1 ? 0 : 1; }

void FillSkinCombo(HWND combo) {
  SendMessageA(combo, CB_RESETCONTENT, 0, 0);
  SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kNoSkin));
  for (int i = 0; i < SkinCount; ++i) SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(SkinList[i]));
}

// The hotkeys and their boxes.
struct HotkeyBox {
  int id;
  DWORD* hotkey;
};
const HotkeyBox kHotkeyBoxes[] = {{IDC_ENCRYPT_HOTKEY, &HotkeyEncrypt}, {IDC_DECRYPT_HOTKEY, &HotkeyDecrypt}};

// What OK alone takes from the page. A key without Ctrl or Alt would be
// taken from every window's typing: Shift alone, or nothing, gets Ctrl+Shift
// added.
void ShowSettingsTakenAtOk(HWND page) {
  for (const HotkeyBox& box : kHotkeyBoxes) {
    const LPARAM added = MAKELPARAM(HOTKEYF_CONTROL | HOTKEYF_SHIFT, 0);
    SendDlgItemMessageA(page, box.id, HKM_SETRULES, HKCOMB_NONE | HKCOMB_S, added);
    SendDlgItemMessageA(page, box.id, HKM_SETHOTKEY, LOWORD(*box.hotkey), 0);
  }
  CheckDlgButton(page, IDC_START_WITH_WINDOWS, StartsWithWindows() ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(page, IDC_DECRYPT_COPIED, DecryptCopied ? BST_CHECKED : BST_UNCHECKED);
}

DWORD ShownHotkey(HWND page, int id) { return LOWORD(SendDlgItemMessageA(page, id, HKM_GETHOTKEY, 0, 0)); }

// PSN_APPLY: false, after a notice, when the two hotkeys are one.
bool ApplySettings(HWND page) {
  const DWORD encrypt = ShownHotkey(page, IDC_ENCRYPT_HOTKEY);
  if (encrypt != 0 && encrypt == ShownHotkey(page, IDC_DECRYPT_HOTKEY)) {
    ShowNotice(IDS_HOTKEYS_SAME, page);
    return false;
  }
  for (const HotkeyBox& box : kHotkeyBoxes) *box.hotkey = ShownHotkey(page, box.id);
  DecryptCopied = IsDlgButtonChecked(page, IDC_DECRYPT_COPIED) == BST_CHECKED ? 1 : 0;
  SaveSettings();
  char exePath[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, exePath, MAX_PATH);
  SetStartWithWindows(IsDlgButtonChecked(page, IDC_START_WITH_WINDOWS) == BST_CHECKED, exePath);
  ReportTakenHotkeys(RegisterHotkeys());
  ListenToCopies(DecryptCopied != 0);
  return true;
}

void InitSettingsPage(HWND page) {
  ShowSettingsTakenAtOk(page);
  // The list never changes while the program runs; filled once, it also
  // shows "(None)" while skins are off.
  FillSkinCombo(GetDlgItem(page, IDC_SKIN_COMBO));
  RingNoticeShown = false;
  RefreshSettingsPage(page);
}

// A file that cannot be read offers no choice.
void ShowKeyProtection(HWND page) {
  const KeyProtection protection = SecretKeyProtection(SecretKeyPath);
  EnableWindow(GetDlgItem(page, IDC_PASSWORD_PROTECT), protection != KeyProtection::kUnknown);
  CheckDlgButton(page, IDC_PASSWORD_PROTECT, protection == KeyProtection::kOn ? BST_CHECKED : BST_UNCHECKED);
}

// The box has already changed its check mark: it shows what the user asks
// for until the file says what came of it.
void OnKeyProtectionClicked(HWND page) {
  SetKeyProtection(GetParent(page), SecretKeyPath, IsDlgButtonChecked(page, IDC_PASSWORD_PROTECT) == BST_CHECKED);
  ShowKeyProtection(page);
}

// The automatic modes find a correspondent's key by the UIN in its user ID;
// a ring without any cannot work with them, which the user learns as the
// option is turned on.
void CheckRingForUins(HWND page) {
  if (RingNoticeShown) return;
  PublicKeyRing ring;
  if (!LoadRingInForce(ring, KeyFailure::kFatal) || RingHoldsUins(ring)) return;
  RingNoticeShown = true;
  ShowNotice(IDS_AUTO_ENCRYPT_RING, page);
}

void OnOptionClicked(HWND page, const OptionBox& box) {
  *box.flag = Toggled(*box.flag);
  RefreshSettingsPage(page);
  const bool automatic = box.id == IDC_AUTO_ENCRYPT || box.id == IDC_AUTO_DECRYPT;
  if (automatic && *box.flag == 1) CheckRingForUins(page);
}

void OnSkinChosen(HWND page) {
  const LRESULT selected = SendDlgItemMessageA(page, IDC_SKIN_COMBO, CB_GETCURSEL, 0, 0);
  if (selected >= 0) ApplySkin(static_cast<int>(selected));
}

void OnSettingsCommand(HWND page, int id, int code) {
  switch (id) {
    case IDC_LAUNCH_ON_STARTUP:
      if (code != BN_CLICKED) return;
      LaunchOnStartup = Toggled(LaunchOnStartup);
      RefreshSettingsPage(page);
      break;
    case IDC_ENABLE_SKINS:
      if (code != BN_CLICKED) return;
      Skins = Toggled(Skins);
      RefreshSettingsPage(page);
      break;
    case IDC_SKIN_COMBO:
      if (code == CBN_SELCHANGE) OnSkinChosen(page);
      break;
    case IDC_PASSWORD_PROTECT:
      if (code == BN_CLICKED) OnKeyProtectionClicked(page);
      break;
  }
  for (const OptionBox& box : kOptionBoxes)
    if (id == box.id && code == BN_CLICKED) OnOptionClicked(page, box);
}

INT_PTR OnNotify(HWND page, const NMHDR* notify) {
  switch (notify->code) {
    case PSN_SETACTIVE:
      RefreshSettingsPage(page);
      return FALSE;
    case PSN_APPLY:
      if (ApplySettings(page)) return FALSE;
      SetWindowLongPtrA(page, DWLP_MSGRESULT, PSNRET_INVALID_NOCHANGEPAGE);
      return TRUE;
  }
  return AnswerPageNotify(page, notify);
}

}  // namespace

void RefreshSettingsPage(HWND page) {
  if (LaunchOnStartup == 1) {
    CheckDlgButton(page, IDC_LAUNCH_ON_STARTUP, BST_CHECKED);
  } else {
    // ICQ starts the program for as long as this entry exists.
    RegDeleteKeyTree(HKEY_CURRENT_USER, kAddOnKey);
    CheckDlgButton(page, IDC_LAUNCH_ON_STARTUP, BST_UNCHECKED);
  }

  HWND combo = GetDlgItem(page, IDC_SKIN_COMBO);
  if (Skins == 1) {
    const int index = FindSkin(CurrentSkinName);
    EnableWindow(combo, TRUE);
    SendMessageA(combo, CB_SETCURSEL, index, 0);
    CheckDlgButton(page, IDC_ENABLE_SKINS, BST_CHECKED);
    ApplySkin(index);
  } else {
    EnableWindow(combo, FALSE);
    CheckDlgButton(page, IDC_ENABLE_SKINS, BST_UNCHECKED);
    ApplySkin(0);
    SendMessageA(combo, CB_SETCURSEL, 0, 0);
  }
  for (const OptionBox& box : kOptionBoxes) CheckDlgButton(page, box.id, *box.flag == 1 ? BST_CHECKED : BST_UNCHECKED);
  ShowKeyProtection(page);
}

INT_PTR CALLBACK SettingsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  static constexpr PageHandlers kHandlers = {InitSettingsPage, OnSettingsCommand, OnNotify};
  return PageMessage(kHandlers, page, message, wParam, lParam);
}
