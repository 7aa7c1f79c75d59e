// Finding and handling windows of other processes. Messages that expect an
// answer go through SendMessageTimeout, so a program that stopped answering
// costs a test at most kSendTimeoutMs per call instead of hanging it; messages
// that may start a modal loop (button presses, commands) are posted.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "tests/wine/wait.h"

namespace driver {

constexpr uint32_t kSendTimeoutMs = 2000;

// What a top-level window must match; unset fields match anything.
struct WindowQuery {
  const char* className = nullptr;  // exact, e.g. "#32770"
  const char* caption = nullptr;    // exact, or a prefix with captionPrefix
  bool captionPrefix = false;
  DWORD pid = 0;                    // owning process, 0 for any
  bool visibleOnly = true;          // false also finds hidden windows
  bool (*accept)(HWND) = nullptr;   // a further test of the window's own
};

// The first top-level window that matches, or null.
HWND FindTopWindow(const WindowQuery& query);

// FindTopWindow, polled until it finds one or timeoutMs have passed.
HWND WaitForWindow(const WindowQuery& query, uint32_t timeoutMs = kDefaultTimeoutMs);

// True once window no longer exists or is hidden, false if it still shows
// after timeoutMs.
bool WaitWindowGone(HWND window, uint32_t timeoutMs = kDefaultTimeoutMs);

// Text through WM_GETTEXT; "" on failure. GetWindowTextA does not do for
// controls of another process: it reads the window's internal title, which an
// edit control never sets, and so returns "".
std::string WindowText(HWND window);

// WindowText that tells a text from no answer: false, with text "", when
// the window did not answer within kSendTimeoutMs, is gone, or changed its
// text's length during each of three reads.
bool ReadWindowText(HWND window, std::string& text);

// Sets the text with WM_SETTEXT. True when the window accepted it.
bool SetWindowTextRemote(HWND window, const std::string& text);

// The same through the wide messages, for text beyond the ANSI code page.
std::wstring WindowTextW(HWND window);
bool ReadWindowTextW(HWND window, std::wstring& text);
bool SetWindowTextRemoteW(HWND window, const std::wstring& text);

std::string WindowClass(HWND window);
DWORD WindowProcess(HWND window);

// The descendant of parent with control id, searched at every depth (file
// dialogs nest their controls); null when there is none.
HWND FindControl(HWND parent, int id);

// The first direct child of parent of class className, or null.
HWND FindChildOfClass(HWND parent, const char* className);

// Posts WM_COMMAND (id, BN_CLICKED) to dialog, as a button press does. Posting
// to the dialog rather than clicking the control keeps working where several
// controls share the id (file dialogs) and never waits for the modal loop the
// command may open.
bool PostCommand(HWND dialog, int id);

// Sends the same WM_COMMAND and returns once the dialog has handled it: for
// a check that a command changes nothing, which no later state could show.
// False when it did not return within the driver's time limit (a modal
// loop of its own, or a program that stopped answering).
bool SendCommand(HWND dialog, int id);

// True once the thread of window has answered a sent message: what it was
// running when called (a handler going on after a dialog of its own closed)
// has returned, or waits in a modal loop. Messages posted to it before may
// still wait: a sent message goes first.
bool Answers(HWND window);

// Posts BM_CLICK to the button id of dialog: the button itself then sends the
// notification, as on a mouse click.
bool ClickButton(HWND dialog, int id);

// Text of control id of dialog; nothing when the control does not exist.
std::optional<std::string> ControlText(HWND dialog, int id);
bool SetControlText(HWND dialog, int id, const std::string& text);

// BST_CHECKED, BST_UNCHECKED or BST_INDETERMINATE of the check box id.
std::optional<uint32_t> CheckState(HWND dialog, int id);

}  // namespace driver
