// The program's settings (their variables in app/process_state.h) and the
// registrations it writes at every start.
#pragma once

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
