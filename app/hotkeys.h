// The two system-wide hotkeys, registered on the main window: Encrypt, which
// encrypts the text being written in whatever window has the keyboard, and
// Decrypt, which reads what is selected there into a window of ours.
#pragma once

#include <windows.h>

constexpr int kEncryptHotkeyId = 1;
constexpr int kDecryptHotkeyId = 2;

// Registers both hotkeys on the main window.
void RegisterHotkeys();

// Answers WM_HOTKEY. A hotkey pressed while the last one is still being
// handled (its key menu is open, say, whose modal loop dispatches the press)
// is ignored.
void OnHotkey(WPARAM id);
