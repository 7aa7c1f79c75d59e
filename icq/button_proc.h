// The window procedure of the buttons added to ICQ's dialogs. The buttons are
// created by this program, so their messages come to our thread even though
// their parents are ICQ's: a press runs the encrypt or decrypt action here,
// and ICQ's dialog never hears of it.
#pragma once

#include <windows.h>

LRESULT CALLBACK ButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam);

// Installs ButtonProc on a freshly created button and keeps the class
// procedure in SavedButtonProc (icq/process_state.h); one slot serves every
// added button, all of that class.
void SubclassButton(HWND button);

// Paints what is waiting to be painted on button, and, first, what was left
// out of date while its dialog did not answer: the class asks the dialog
// for the button's colours as it paints, and ButtonProc lets it only while
// the dialog answers (icq/dialog_messages.h).
void RepaintButton(HWND button);
