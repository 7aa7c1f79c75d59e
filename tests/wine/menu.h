// Popup menus and the tray icon's callback. Menus are driven with posted
// keys: under Wine a third process cannot read another process's menu (its
// items live in the owner's memory), and the pointer is not ours to move.
#pragma once

#include <windows.h>

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>

#include "tests/wine/process.h"
#include "tests/wine/wait.h"

namespace driver {

// The hidden main window of the tray program and its private callback.
constexpr char kMainWindowClass[] = "VWG for ICQ";
constexpr UINT kTrayMessage = 50000;  // WM_TRAYICON
constexpr WPARAM kTrayIconId = 101;

// An open popup menu (a visible #32768) of process pid (0: any) whose
// thread reads its keys (its modal loop has begun and, in the tray program,
// has once found its queue empty), or null: keys posted to it from then on
// are read once each. In the tray program only menus of its main window
// count: the program says when those are ready (kMenuWaitingProperty).
HWND WaitForMenu(DWORD pid = 0, uint32_t timeoutMs = kDefaultTimeoutMs);

// How many popup menus of pid are open: a submenu adds one.
int OpenMenuCount(DWORD pid);

// Posts key down and key up for vk to the menu window, with the pauses a
// menu's own loop needs to see them as separate presses.
void PostMenuKey(HWND menu, UINT vk);

// Posts keys to the menu (e.g. VK_DOWN, VK_END), then Return, and waits until
// every menu of the menu's process has closed. A menu opens with no item
// highlighted: the first Down or Home highlights its first item, End its
// last. True once the menus are closed.
bool ChooseMenuItem(HWND menu, std::initializer_list<UINT> keys,
                    uint32_t timeoutMs = kDefaultTimeoutMs);

// Escape for each open menu of the menu's process (a submenu is one more);
// true once they have closed.
bool CloseMenu(HWND menu, uint32_t timeoutMs = kDefaultTimeoutMs);

// The main window of process pid (hidden, class className), or null.
HWND WaitForMainWindow(DWORD pid, const char* className = kMainWindowClass,
                       uint32_t timeoutMs = kDefaultTimeoutMs);

// Posts the tray icon's callback (kTrayMessage, kTrayIconId, mouseMessage) to
// the main window of pid, as the shell does for WM_RBUTTONDOWN or
// WM_LBUTTONDBLCLK on the icon. Posted, not sent: the program opens its
// menu or dialog from the handler and would not answer until it closed.
bool PostTrayCallback(DWORD pid, UINT mouseMessage, const char* className = kMainWindowClass,
                      uint32_t timeoutMs = kDefaultTimeoutMs);

// Chooses Exit, the last item of the tray menu of program, and waits for the
// program's exit code; nothing if it did not end.
std::optional<uint32_t> ExitThroughTrayMenu(Program& program);

// How many icons the notification area shows, whoever added them. Wine's
// explorer shows them, when there is no system tray on the X display, as
// windows of their own inside a standalone tray window, so a test can count
// them; it cannot tell whose they are.
int TrayIconCount();

// Polls until TrayIconCount() is count; false if it is not after timeoutMs.
bool WaitTrayIconCount(int count, uint32_t timeoutMs = kDefaultTimeoutMs);

// A tray icon's balloon (NIF_INFO) as the user sees it. Wine's explorer,
// with its standalone tray, shows the balloon as a visible tooltip window
// of its own in the balloon style (TTS_BALLOON), under the tray window,
// whose WM_GETTEXT answers the balloon's text (without its title). It shows
// one balloon at a time; a new balloon replaces the shown one in a new
// window, and the balloon goes when its icon is deleted.
struct Balloon {
  HWND window = nullptr;  // null when no balloon shows
  std::string text;
};
Balloon ShownBalloon();

// Polls until a balloon with exactly text shows; its window, or null after
// timeoutMs.
HWND WaitForBalloon(const std::string& text, uint32_t timeoutMs = kDefaultTimeoutMs);

}  // namespace driver
