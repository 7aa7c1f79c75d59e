#include "tests/wine/menu.h"

#include <commctrl.h>

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

// Posts vk until no menu of pid is open, pausing between presses.
bool PressUntilClosed(DWORD pid, HWND menu, UINT vk, uint32_t timeoutMs) {
  return PollUntil(timeoutMs, [&] {
    if (OpenMenuCount(pid) == 0) return true;
    // The menu's loop reads the key messages of its whole thread, whichever
    // of its windows they were posted to, so any open menu window will do.
    PostMenuKey(IsWindow(menu) ? menu : WaitForMenu(pid, 0), vk);
    return OpenMenuCount(pid) == 0;
  });
}

}  // namespace

HWND WaitForMenu(DWORD pid, uint32_t timeoutMs) {
  return WaitForWindow({kMenuClass, nullptr, false, pid, true, nullptr}, timeoutMs);
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
  return PressUntilClosed(pid, menu, VK_RETURN, timeoutMs);
}

bool CloseMenu(HWND menu, uint32_t timeoutMs) {
  if (menu == nullptr) return false;
  return PressUntilClosed(WindowProcess(menu), menu, VK_ESCAPE, timeoutMs);
}

HWND WaitForMainWindow(DWORD pid, const char* className, uint32_t timeoutMs) {
  return WaitForWindow({className, nullptr, false, pid, false, nullptr}, timeoutMs);
}

bool PostTrayCallback(DWORD pid, UINT mouseMessage, const char* className, uint32_t timeoutMs) {
  HWND main = WaitForMainWindow(pid, className, timeoutMs);
  return main != nullptr && PostMessageA(main, kTrayMessage, kTrayIconId, mouseMessage) != 0;
}

std::optional<uint32_t> ExitThroughTrayMenu(Program& program) {
  // A scan tick dispatching the program's queue can swallow the End key, and
  // Return then closes the menu without a choice: such a miss is retried.
  std::optional<uint32_t> exitCode;
  for (int attempt = 0; attempt < 3 && !exitCode; ++attempt) {
    if (!PostTrayCallback(program.pid(), WM_RBUTTONDOWN)) break;
    HWND menu = WaitForMenu(program.pid());
    if (menu == nullptr || !ChooseMenuItem(menu, {VK_END})) break;
    exitCode = program.WaitExit(3000);
  }
  return exitCode;
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
