// The program's module and hidden main window, which start-up sets, and what
// they serve for every part of the program: texts from the string table and
// the message boxes that the main window owns.
#pragma once

#include <windows.h>

constexpr int kTextChars = 485;  // every text loaded from the string table

// The tray program's process state that the Win32 base reads too; the rest is
// declared in app/process_state.h.
// Set by WinMain first thing at start-up; nothing else writes it.
extern HINSTANCE AppInstance;
// Created by CreateMainWindow at start-up, before the scan, the hotkeys and
// the tray icon, and never replaced; null until then, when message boxes
// have no owner.
extern HWND MainWindow;

// A string-table text in a kTextChars buffer ("" when it cannot be loaded).
void LoadText(UINT id, char* buf);

// The program's questions: text with Yes and No and a warning icon, captioned
// "VWG". True for Yes.
bool AskQuestion(HWND owner, const char* text);

// A string-table text in a message box captioned with the program's name,
// owned by the main window, or by owner when one is given (a dialog whose
// input is refused stays disabled under its notice).
void ShowNotice(UINT textId, HWND owner = nullptr);
// The same for a text made from one (a key ID filled in, for instance).
void ShowNoticeText(const char* text, HWND owner = nullptr);
