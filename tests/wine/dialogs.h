// The standard dialogs the program shows, answered from outside: message
// boxes, the common open and save dialogs, and the splash, which a test ends
// at once instead of waiting out its display time.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "tests/wine/wait.h"

namespace driver {

// Control ids of a message box: the text, and the buttons a test presses.
constexpr int kMessageBoxTextId = 65535;

// A visible message box (a #32770 with that caption that is not a file
// dialog) of process pid (0: any), or null after timeoutMs.
HWND WaitForMessageBox(const char* caption, DWORD pid = 0,
                       uint32_t timeoutMs = kDefaultTimeoutMs);

// The message of a box, "" when it has none.
std::string MessageBoxText(HWND box);

// The visible top-level windows of process pid, by class and caption, and
// what a message box among them says: for a failure's message.
std::string DescribeWindows(DWORD pid);

// Presses button id (IDOK, IDYES, IDNO, ...) of a dialog and waits until the
// dialog has closed. False when it is still open after timeoutMs.
bool PressButton(HWND dialog, int id, uint32_t timeoutMs = kDefaultTimeoutMs);

// Waits for the box with caption, keeps its message in *text when text is not
// null, presses button id and waits until the box has gone. False when any
// step fails.
bool AnswerMessageBox(const char* caption, int id, std::string* text = nullptr,
                      DWORD pid = 0, uint32_t timeoutMs = kDefaultTimeoutMs);

// A visible open or save dialog with that title, or null after timeoutMs.
HWND WaitForFileDialog(const char* title, DWORD pid = 0,
                       uint32_t timeoutMs = kDefaultTimeoutMs);

// The edit field that holds the file name of a file dialog, or null.
HWND FileNameField(HWND dialog);

// Waits for the file dialog titled title, types path (a full path) into its
// file-name field and confirms it; answers Yes when the dialog asks whether
// to replace an existing file. True once the dialog has closed.
bool ChooseFile(const char* title, const std::string& path, DWORD pid = 0,
                uint32_t timeoutMs = kDefaultTimeoutMs);

// Waits for the file dialog titled title and cancels it. True once closed.
bool CancelFileDialog(const char* title, DWORD pid = 0,
                      uint32_t timeoutMs = kDefaultTimeoutMs);

// Splash dialog 700 of the program and the timer that ends it.
constexpr int kSplashStaticIds[] = {701, 702, 705};
constexpr UINT_PTR kSplashTimerId = 601;

// Waits for the splash of process pid (a visible #32770 without a caption, or
// one that holds a control 701, 702 or 705), posts it WM_TIMER with the splash
// timer's id, as the timer itself would at the end of the display time, and
// waits until it has gone. True once the splash has closed.
bool EndSplash(DWORD pid, uint32_t timeoutMs = kDefaultTimeoutMs);

}  // namespace driver
