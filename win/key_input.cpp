#include "win/key_input.h"

#include "win/wait_until.h"

namespace {

bool IsDown(int key) { return (GetAsyncKeyState(key) & 0x8000) != 0; }

INPUT KeyEvent(WORD key, bool up) {
  INPUT input = {};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return input;
}

}  // namespace

bool WaitForKeysUp(UINT key, DWORD timeoutMs) {
  constexpr int kModifiers[] = {VK_CONTROL, VK_SHIFT, VK_MENU, VK_LWIN, VK_RWIN};
  return WaitUntil(
      [key, &kModifiers] {
        if (key != 0 && IsDown(static_cast<int>(key))) return false;
        for (int modifier : kModifiers)
          if (IsDown(modifier)) return false;
        return true;
      },
      timeoutMs);
}

bool SendControlKey(WORD key) {
  INPUT chord[] = {KeyEvent(VK_CONTROL, false), KeyEvent(key, false), KeyEvent(key, true), KeyEvent(VK_CONTROL, true)};
  return SendInput(ARRAYSIZE(chord), chord, sizeof chord[0]) == ARRAYSIZE(chord);
}
