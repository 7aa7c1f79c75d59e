// The two system-wide hotkeys, registered on the main window: Encrypt, which
// encrypts the text being written in whatever window has the keyboard, and
// Decrypt, which reads what is selected there into a window of ours.
#pragma once

#include <windows.h>

constexpr int kEncryptHotkeyId = 1;
constexpr int kDecryptHotkeyId = 2;

// Registers both hotkeys on the main window as the settings have them (at
// start-up, and again as the Settings page applies them), dropping what was
// registered before; a hotkey of 0 is left unregistered. A combination that
// another program holds gets a balloon that names it and says where to
// choose another; the other hotkey and the rest of the program work on.
void RegisterHotkeys();

// Answers WM_HOTKEY. A hotkey pressed while the last one is still being
// handled (its key menu is open, say, whose modal loop dispatches the press)
// is ignored.
void OnHotkey(WPARAM id);
