// The program's names in the registry, all under HKEY_CURRENT_USER: where
// the key files in force are recorded (the tray program writes them, vwg
// reads them), the tray program's settings, and what it registers with the
// system and with ICQ. Plain names, no registry calls, so that every program
// can share them.
#pragma once

constexpr char kKeysKey[] = "Software\\Corvandel\\Keys";
constexpr char kPublicKeyValue[] = "Public Key";
constexpr char kSecretKeyValue[] = "Secret Key";

constexpr char kSettingsKey[] = "Software\\Corvandel\\VWG for ICQ\\Settings";
constexpr char kLaunchOnStartupValue[] = "LaunchOnStartup";
constexpr char kSkinsValue[] = "Skins";
constexpr char kSkinValue[] = "Skin";
// The Messages options of the Settings page.
constexpr char kAutoEncryptValue[] = "AutoEncrypt";
constexpr char kAutoDecryptValue[] = "AutoDecrypt";
constexpr char kNoEncryptWarningValue[] = "NoEncryptWarning";
constexpr char kNoInsecureWarningValue[] = "NoInsecureWarning";
// DWORD 1 once the tray program has seen the ring hold strong keys.
constexpr char kRingHasStrongKeysValue[] = "RingHasStrongKeys";
// The system-wide hotkeys, as DWORDs in a hotkey control's form; 0 is none.
constexpr char kHotkeyEncryptValue[] = "HotkeyEncrypt";
constexpr char kHotkeyDecryptValue[] = "HotkeyDecrypt";
// Decrypt what I copy: the clipboard's texts read as they are copied.
constexpr char kDecryptCopiedValue[] = "DecryptCopied";
// The key last chosen with the Encrypt hotkey in each program: a string
// value named after the program's executable file ("notepad.exe"), holding
// the key's fingerprint.
constexpr char kLastKeyKey[] = "Software\\Corvandel\\VWG for ICQ\\Settings\\LastKey";

// ICQ's list of add-on programs; ICQ starts the program while it is there.
constexpr char kAddOnKey[] = "Software\\Mirabilis\\ICQ\\Agent\\Apps\\Vaultwing for ICQ";
// The programs Windows starts at the user's logon; the program's value there,
// while it exists, is the Start with Windows setting.
constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kRunValue[] = "Vaultwing";
// The per-user half of HKEY_CLASSES_ROOT: writable without administrator
// rights, and the shell merges it into HKEY_CLASSES_ROOT.
constexpr char kClassesKey[] = "Software\\Classes";
