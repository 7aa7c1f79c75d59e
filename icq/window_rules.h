// Rules on the window that the Encrypt hotkey works in, on texts alone, kept
// apart from the window calls that gather the texts (app/encrypt_in_place.h)
// so that they build and are tested natively: which controls are read and
// written in place with messages, which are left out of the keyboard route,
// and which key a window's caption names.
#pragma once

#include <string_view>

#include "keys/key_files.h"

// True for the classes of the system's edit and rich-edit controls (Edit,
// RichEdit, RichEdit20A, RichEdit20W, RICHEDIT50W), letter case ignored:
// they answer WM_GETTEXT and WM_SETTEXT with their whole text and keep an
// undo buffer that EM_EMPTYUNDOBUFFER empties. A control of another class
// may draw a text that it does not give out.
bool IsStandardEditClass(std::string_view className);

// True for a console or terminal window: of the classes of the system's
// console and of Windows Terminal (its top-level window's or its focused
// control's), or of a console host process (conhost.exe, OpenConsole.exe),
// letter case ignored. There Ctrl+C stops the running program and Ctrl+A
// may be a prefix key, so the keyboard route must not type into it.
bool IsConsoleWindow(std::string_view windowClass, std::string_view focusClass, std::string_view program);

// The ring entry whose key a window's caption names, for Auto-Encrypt: the
// one entry other than entry 0 (the user's own key) whose user ID the
// caption holds as a whole word, letter case ignored ("Chat with bob" names
// "Bob", "Bobby" does not), or whose user ID holds a UIN the caption shows
// (icq/uin_rule.h). -1 when no entry or more than one is named: a guess
// could encrypt for the wrong person.
int CaptionCorrespondent(std::string_view caption, const PublicKeyRing& ring);
