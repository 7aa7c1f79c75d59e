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

// Reads every flag, writing the defaults (LaunchOnStartup 1, the others 0)
// where they are missing; builds the skin list and, with skins on, applies
// the stored skin.
void LoadSettings();
// Stores every flag.
void SaveSettings();

// The key-file association and the entry in ICQ's list of add-on programs
// (the latter only while LaunchOnStartup is on).
void WriteRegistrations(const char* exePath, const char* currentDir);
