// The Encrypt hotkey: the text being written in the focused control of the
// foreground window, whatever program it belongs to, encrypted in place for
// a key the user picks.
#pragma once

#include <windows.h>

// Encrypts the focused control's text where it stands; says in a balloon why
// when nothing could be changed. heldKey is the hotkey's key, which the
// keyboard route lets go of before it types.
void EncryptInPlace(UINT heldKey);
