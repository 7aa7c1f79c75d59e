#include "tests/wine/menu.h"

#include <commctrl.h>

#include "app/main_window.h"
#include "tests/wine/window.h"

namespace driver {
namespace {

constexpr char kMenuClass[] = "#32768";
constexpr char kStandaloneTrayClass[] = "__winex11_standalone_tray";
constexpr char kTrayIconClass[] = "__winex11_tray_icon";
constexpr char kTooltipClass[] = "tooltips_class32";

// Posted keys queue in order; the pause lets the menu's loop take each press
// and redraw before the next, as at a person's pace. Under Wine, 30 ms was as
// reliable as 150 ms here, also with both cores fully loaded; 50 ms leaves a
// margin.
constexpr uint32_t kKeyPauseMs = 50;

struct MenuCount {
  DWORD pid;
  int count;
};

BOOL CALLBACK FindBalloon(HWND window, LPARAM param) {
  if (!IsWindowVisible(window) || (GetWindowLongA(window, GWL_STYLE) & TTS_BALLOON) == 0 ||
      WindowClass(window) != kTooltipClass)
    return TRUE;
  *reinterpret_cast<HWND*>(param) = window;
  return FALSE;
}

BOOL CALLBACK CountMenu(HWND window, LPARAM param) {
  auto* c = reinterpret_cast<MenuCount*>(param);
  if (IsWindowVisible(window) && WindowClass(window) == kMenuClass &&
      (c->pid == 0 || WindowProcess(window) == c->pid)) {
    ++c->count;
  }
  return TRUE;
}

// True once the thread of menu runs the menu's modal loop, as the system
// tells: it sets the menu mode (GUI_INMENUMODE) when the loop takes over the
// thread's input, after the menu window shows. A key posted from then on is
// read by the menu; one posted before may go to the loop that opened it. The
// tray program also says when the loop has once found its queue empty
// (kMenuWaitingProperty): until then a key can be read before the opening's
// own messages, and its highlight lost to them. Seen with its property sheet
// open, where the menu's first key was lost in every run.
bool TakesMenuKeys(HWND menu) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(menu, nullptr), &info) || (info.flags & GUI_INMENUMODE) == 0)
    return false;
  HWND main = WaitForMainWindow(WindowProcess(menu), kMainWindowClass, 0);
  return main == nullptr || GetPropA(main, kMenuWaitingProperty) != nullptr;
}

// Posts vk once and waits until no menu of pid is open. The menu's loop
// reads the key messages of its whole thread, whichever of its windows they
// were posted to, and a scan tick that runs inside the loop leaves them in
// the queue for it.
bool PressAndWaitClosed(DWORD pid, HWND menu, UINT vk, uint32_t timeoutMs) {
  PostMenuKey(menu, vk);
  return PollUntil(timeoutMs, [&] { return OpenMenuCount(pid) == 0; });
}

}  // namespace

HWND WaitForMenu(DWORD pid, uint32_t timeoutMs) {
  return WaitForWindow({kMenuClass, nullptr, false, pid, true, TakesMenuKeys}, timeoutMs);
}

int OpenMenuCount(DWORD pid) {
  MenuCount c{pid, 0};
  EnumWindows(CountMenu, reinterpret_cast<LPARAM>(&c));
  return c.count;
}

void PostMenuKey(HWND menu, UINT vk) {
  const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC)) << 16;
  PostMessageA(menu, WM_KEYDOWN, vk, 1 | scan);
  Sleep(kKeyPauseMs);
  // Repeat count 1, previous state down, transition to up.
  PostMessageA(menu, WM_KEYUP, vk, 1 | scan | 0xC0000000);
  Sleep(kKeyPauseMs);
}

bool ChooseMenuItem(HWND menu, std::initializer_list<UINT> keys, uint32_t timeoutMs) {
  if (menu == nullptr) return false;
  const DWORD pid = WindowProcess(menu);
  for (UINT vk : keys) PostMenuKey(menu, vk);
  return PressAndWaitClosed(pid, menu, VK_RETURN, timeoutMs);
}

bool CloseMenu(HWND menu, uint32_t timeoutMs) {
  if (menu == nullptr) return false;
  // Escape closes one level: a submenu first, then the menu.
  const DWORD pid = WindowProcess(menu);
  for (int open = OpenMenuCount(pid); open > 1; --open) PostMenuKey(menu, VK_ESCAPE);
  return PressAndWaitClosed(pid, menu, VK_ESCAPE, timeoutMs);
}

HWND WaitForMainWindow(DWORD pid, const char* className, uint32_t timeoutMs) {
  return WaitForWindow({className, nullptr, false, pid, false, nullptr}, timeoutMs);
}

bool PostTrayCallback(DWORD pid, UINT mouseMessage, const char* className, uint32_t timeoutMs) {
  HWND main = WaitForMainWindow(pid, className, timeoutMs);
  return main != nullptr && PostMessageA(main, kTrayMessage, kTrayIconId, mouseMessage) != 0;
}

std::optional<uint32_t> ExitThroughTrayMenu(Program& program) {
  if (!PostTrayCallback(program.pid(), WM_RBUTTONDOWN)) return std::nullopt;
  if (!ChooseMenuItem(WaitForMenu(program.pid()), {VK_END})) return std::nullopt;
  return program.WaitExit();
}

int TrayIconCount() {
  HWND tray = FindWindowA(kStandaloneTrayClass, nullptr);
  int count = 0;
  for (HWND icon = FindWindowExA(tray, nullptr, kTrayIconClass, nullptr);
       tray != nullptr && icon != nullptr;
       icon = FindWindowExA(tray, icon, kTrayIconClass, nullptr)) {
    if (IsWindowVisible(icon)) ++count;
  }
  return count;
}

bool WaitTrayIconCount(int count, uint32_t timeoutMs) {
  return PollUntil(timeoutMs, [&] { return TrayIconCount() == count; });
}

Balloon ShownBalloon() {
  Balloon balloon;
  EnumWindows(FindBalloon, reinterpret_cast<LPARAM>(&balloon.window));
  if (balloon.window) balloon.text = WindowText(balloon.window);
  return balloon;
}

HWND WaitForBalloon(const std::string& text, uint32_t timeoutMs) {
  return PollUntil(timeoutMs, [&]() -> HWND {
    const Balloon shown = ShownBalloon();
    return shown.text == text ? shown.window : nullptr;
  });
}

}  // namespace driver
