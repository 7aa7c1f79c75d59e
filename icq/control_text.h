// The text of an edit control of another program, read and written with
// window messages in one conversation (icq/dialog_messages.h): what the
// dialog buttons and the Encrypt hotkey share. Nothing passes through the
// clipboard.
#pragma once

#include <windows.h>

#include <string>

#include "icq/dialog_messages.h"
#include "icq/text_transform.h"

// The control's text through the ANSI messages into text, or the wide ones
// into a wstring, which keeps every character of a Unicode control; empty
// when the control is gone. False when the control did not answer.
bool ReadControlText(DialogMessages& messages, HWND edit, std::string& text);
bool ReadControlText(DialogMessages& messages, HWND edit, std::wstring& text);

// Sets text as the control's whole text: a UTF-8 result through the wide
// message, so that a Unicode control gets every character (an ANSI one gets
// what its code page holds); the old format's ANSI bytes as they are. False
// when nothing was sent: the text could not be converted, or the control
// did not answer (messages.answered()).
bool WriteControlText(DialogMessages& messages, HWND edit, const ActionText& text);
