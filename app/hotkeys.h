// The two system-wide hotkeys, registered on the main window: Encrypt, which
// encrypts the text being written in whatever window has the keyboard, and
// Decrypt, which reads what is selected there into a window of ours.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

constexpr int kEncryptHotkeyId = 1;
constexpr int kDecryptHotkeyId = 2;

// Registers both hotkeys on the main window as the settings have them (at
// start-up, and again as the Settings page applies them), dropping what was
// registered before; a hotkey of 0 is left unregistered. Returns the names
// of the combinations that other programs hold ("Ctrl+Shift+E"); the other
// hotkey and the rest of the program work on.
std::vector<std::string> RegisterHotkeys();

// A balloon that names the combinations other programs hold and says where
// to choose others; nothing when there are none.
void ReportTakenHotkeys(const std::vector<std::string>& taken);

// Answers WM_HOTKEY. A hotkey pressed while the last one is still being
// handled (its key menu is open, say, whose modal loop dispatches the press)
// is ignored.
void OnHotkey(WPARAM id, LPARAM keys);
