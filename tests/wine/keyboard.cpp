#include "tests/wine/keyboard.h"

#include <vector>

namespace driver {
namespace {

// A key event of a virtual key, with the scan code a keyboard would send.
INPUT KeyEvent(WORD key, DWORD flags) {
  INPUT input = {};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = flags;
  return input;
}

INPUT CharacterEvent(wchar_t unit, DWORD flags) {
  INPUT input = {};
  input.type = INPUT_KEYBOARD;
  input.ki.wScan = unit;
  input.ki.dwFlags = KEYEVENTF_UNICODE | flags;
  return input;
}

bool Send(std::vector<INPUT>& events) {
  return SendInput(static_cast<UINT>(events.size()), events.data(), sizeof(INPUT)) == events.size();
}

}  // namespace

bool PressKeys(std::initializer_list<WORD> virtualKeys) {
  std::vector<INPUT> events;
  for (WORD key : virtualKeys) events.push_back(KeyEvent(key, 0));
  for (auto key = std::rbegin(virtualKeys); key != std::rend(virtualKeys); ++key)
    events.push_back(KeyEvent(*key, KEYEVENTF_KEYUP));
  return Send(events);
}

bool TypeText(const std::wstring& text) {
  std::vector<INPUT> events;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') continue;
    const bool lineBreak = text[i] == L'\r' || text[i] == L'\n';
    events.push_back(lineBreak ? KeyEvent(VK_RETURN, 0) : CharacterEvent(text[i], 0));
    events.push_back(lineBreak ? KeyEvent(VK_RETURN, KEYEVENTF_KEYUP) : CharacterEvent(text[i], KEYEVENTF_KEYUP));
  }
  return Send(events);
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

HWND KeyboardFocus(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  const DWORD thread = GetWindowThreadProcessId(window, nullptr);
  return thread != 0 && GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
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
