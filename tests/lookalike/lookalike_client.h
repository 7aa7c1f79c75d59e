// Driving the look-alike messenger and the buttons the tray program adds to
// its dialogs, from another process: shared by the end-to-end tests and the
// demo.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/lookalike/messenger_protocol.h"
#include "tests/wine/driver.h"

namespace icq {

// Control ids of the added buttons: base plus the count of listed dialogs.
constexpr int kEncryptBase = 8000;
constexpr int kDecryptBase = 3000;

// What a dialog shows besides its caption: the correspondent's name and UIN,
// and the message it opens with (ANSI), as a received message arrives.
struct Conversation {
  std::string name, uin, message;
};

// Asks the messenger's control window to open a dialog, with the default
// correspondent of its kind or the given conversation; null on failure.
HWND OpenDialog(HWND control, messenger::MessengerCommand kind, const char* caption,
                const Conversation* conversation = nullptr);

// A window's rectangle in the client coordinates of dialog.
messenger::Box ClientBox(HWND window, HWND dialog);

// The added buttons of dialog: its direct children of class "BUTTON" whose
// ids lie in 3000..3099 or 8000..8099.
std::vector<HWND> AddedButtons(HWND dialog);

// The one added button of dialog, polled for; null if there is none by then.
HWND WaitForAddedButton(HWND dialog, uint32_t timeoutMs = driver::kDefaultTimeoutMs);

// The message edit of a look-alike dialog (of its inner dialog if it has one).
HWND MessageEdit(HWND dialog);

bool IsReadOnly(HWND edit);
// True once the edit is read-only, polled for: the program makes it so just
// after it has written the text, which a test may see first.
bool BecomesReadOnly(HWND edit);

// The edit's text once it differs from old, or old after timeoutMs.
std::string WaitForTextChange(HWND edit, const std::string& old, uint32_t timeoutMs = driver::kDefaultTimeoutMs);
// The same through the wide messages, for a Unicode edit's every character.
std::wstring WaitForTextChangeW(HWND edit, const std::wstring& old, uint32_t timeoutMs = driver::kDefaultTimeoutMs);

// text as UTF-8, and ANSI text in the system's code page as UTF-16.
std::string Utf8Of(const std::wstring& text);
std::wstring WideFromAnsi(const std::string& text);

// Presses an added button as the mouse does, and waits for the key menu of
// the program pid.
HWND PressForMenu(DWORD pid, HWND button);

// In the open key menu of program pid: opens the key list under its one
// item. True once the list shows.
bool OpenKeyList(DWORD pid, HWND menu);

// In the open key menu of program pid: opens the key list, moves to its
// first (VK_HOME) or last (VK_END) item and chooses it. True once the menus
// have closed.
bool ChooseKey(DWORD pid, HWND menu, UINT key);

}  // namespace icq
