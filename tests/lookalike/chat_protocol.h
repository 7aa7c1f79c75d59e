// The look-alike modern chat window: a stand-in for the chat programs that
// draw their own controls, for the end-to-end tests of the hotkeys' keyboard
// route. One top-level window of class kChatClass, captioned with its whole
// command line (what follows the program's name), holding three children:
//
// - the history pane (kHistoryClass, id kHistoryId): read-only lines of the
//   conversation (names, times, messages), each an entry that may wrap or
//   hold line breaks. A click selects the entry under the mouse.
// - the message box (kMessageBoxClass, id kMessageBoxId): one entry, the
//   text being written. Typing inserts any UTF-16 unit (Enter a line break,
//   never "send"), Backspace takes the last character back, typing over a
//   selection replaces it. The caret stays at the end of the text.
// - a standard multi-line Edit box (id kEditId), made with the W function.
//
// Both panes answer no text message: WM_GETTEXT and WM_GETTEXTLENGTH give 0,
// WM_SETTEXT changes nothing, as in the programs they stand for. Their
// selection is a run of entries (in the message box: all of it or nothing,
// the caret at the end); in either, Ctrl+A selects everything and Ctrl+C puts
// the selected entries, joined by CR LF, on the clipboard as CF_UNICODETEXT
// (nothing selected, nothing copied); in the message box, Ctrl+V puts the
// clipboard's CF_UNICODETEXT in place of the selection, or at the end. Every
// OpenClipboard passes the pane's own window, so that GetOpenClipboardWindow
// names the pane (and so the chat's process) during the copy and the paste.
// Tab and Shift+Tab move the focus through history, message box and Edit
// box, in that order; a click moves it too. The message box has the focus
// when the chat starts, and the window gives the focus back to the part
// that had it when it is activated again.
//
// A test drives the chat from outside (tests/wine/chat.h does all of it):
// - kFocusPart, sent to the top-level window with a control id in wParam,
//   gives that part the focus on the chat's own thread; the answer is TRUE
//   when it has it.
// - WM_COPYDATA to a pane, dwData kSetEntries, lpData UTF-16 entries each
//   ended by a NUL, replaces the pane's entries (the history's lines; the
//   message box takes exactly one, its text) and clears the selection.
//   The answer is TRUE when the data was well formed.
// - kSelectEntries to a pane selects the entries wParam to lParam
//   (inclusive), as a user's drag would; the answer is TRUE when they exist.
// - kReportText to a pane, with the test's own window in wParam and
//   kWholeText or kSelectedText in lParam: before it answers TRUE, the pane
//   sends that window WM_COPYDATA, dwData kReportedText, lpData the text in
//   UTF-16 without a terminator. The test's thread, waiting in
//   SendMessage(Timeout), takes the WM_COPYDATA meanwhile.
#pragma once

#include <windows.h>

namespace chat {

constexpr char kChatClass[] = "VwgLookAlikeChat";
constexpr char kHistoryClass[] = "VwgChatHistory";
constexpr char kMessageBoxClass[] = "VwgChatMessageBox";

constexpr int kHistoryId = 100;
constexpr int kMessageBoxId = 101;
constexpr int kEditId = 102;

constexpr UINT kFocusPart = WM_APP + 1;
constexpr UINT kSelectEntries = WM_APP + 2;
constexpr UINT kReportText = WM_APP + 3;

enum ReportedPart : LPARAM { kWholeText = 0, kSelectedText = 1 };

constexpr ULONG_PTR kSetEntries = 0x43480001;
constexpr ULONG_PTR kReportedText = 0x43480002;

}  // namespace chat
