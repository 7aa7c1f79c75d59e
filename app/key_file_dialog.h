// The common open and save dialogs with the key files' fixed settings.
#pragma once

#include <windows.h>

constexpr int kFileNameChars = 256;

// Shows the dialog titled by the string-table entry titleId on name (256
// characters: the initial file name on entry, the chosen full path on
// return). Returns true when the user chose a file, false on Cancel.
bool ChooseKeyFile(bool save, UINT titleId, char* name);
