// The Decrypt hotkey: the messages in what is selected in the foreground
// window (or on the clipboard), shown in a reading window of ours, never
// written into the other program.
#pragma once

#include <windows.h>

// Decrypts every message in the selection and shows them; says in a balloon
// why when there is nothing to show. heldKey is the hotkey's key, which a
// copy by the keyboard lets go of first.
void ReadSelectedMessages(UINT heldKey);
