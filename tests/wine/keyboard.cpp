#include "tests/wine/keyboard.h"

#include <vector>

namespace driver {

bool PressKeys(std::initializer_list<WORD> virtualKeys) {
  std::vector<INPUT> events;
  const auto add = [&](WORD key, DWORD flags) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = flags;
    events.push_back(input);
  };
  for (WORD key : virtualKeys) add(key, 0);
  for (auto key = std::rbegin(virtualKeys); key != std::rend(virtualKeys); ++key) add(*key, KEYEVENTF_KEYUP);
  return SendInput(static_cast<UINT>(events.size()), events.data(), sizeof(INPUT)) == events.size();
}

bool BringToFront(HWND window) {
  // A test process has no input of its own to give it the right to set the
  // foreground; attaching to the foreground thread lends it that right.
  const DWORD own = GetCurrentThreadId();
  const DWORD front = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
  const bool attached = front != 0 && front != own && AttachThreadInput(own, front, TRUE);
  SetForegroundWindow(window);
  if (attached) AttachThreadInput(own, front, FALSE);
  return GetForegroundWindow() == window;
}

bool HotkeyHeld(UINT modifiers, UINT virtualKey) {
  constexpr int kProbeId = 0xBFFF;
  if (RegisterHotKey(nullptr, kProbeId, modifiers, virtualKey)) {
    UnregisterHotKey(nullptr, kProbeId);
    return false;
  }
  return GetLastError() == ERROR_HOTKEY_ALREADY_REGISTERED;
}

}  // namespace driver
