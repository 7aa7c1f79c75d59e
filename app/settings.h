// The program's settings and the registrations it writes at every start.
#pragma once

#include <windows.h>

// Flags: any nonzero value read at start-up counts as on.
extern DWORD LaunchOnStartup;
extern DWORD Skins;
// The Messages options, off by default; the ICQ integration reads them
// (icq/message_options.h).
extern DWORD AutoEncrypt;
extern DWORD AutoDecrypt;
extern DWORD NoEncryptWarning;
extern DWORD NoInsecureWarning;
// The hotkeys, in a hotkey control's form (app/hotkey_form.h); 0 is none.
extern DWORD HotkeyEncrypt;
extern DWORD HotkeyDecrypt;
// Decrypt what I copy (app/decrypt_copied.h), off by default.
extern DWORD DecryptCopied;

// Reads every flag and hotkey, writing the defaults (LaunchOnStartup 1, the
// hotkeys Ctrl+Shift+E and Ctrl+Shift+D, the others 0) where they are missing; builds the skin list and, with skins on, applies
// the stored skin.
void LoadSettings();
// Stores every flag and hotkey.
void SaveSettings();

// Start with Windows: the program's value in the user's Run key, which
// Windows starts at logon; the value's existence is the setting.
bool StartsWithWindows();
// Writes the value, exePath in quotes, or removes it.
void SetStartWithWindows(bool on, const char* exePath);

// The key-file association, the entry in ICQ's list of add-on programs
// (only while LaunchOnStartup is on) and the Run value (only while it
// exists, re-pointed at this copy of the program, as the association is).
void WriteRegistrations(const char* exePath, const char* currentDir);
