#include "tests/lookalike/lookalike_window.h"

#include <string>

namespace lookalike {

namespace {

std::wstring WideOfAscii(const char* text) { return std::wstring(text, text + lstrlenA(text)); }

// The command line after the program's name, which the system quotes when
// it holds a space.
const wchar_t* CommandLineTail() {
  const wchar_t* at = GetCommandLineW();
  const wchar_t end = *at == L'"' ? L'"' : L' ';
  if (*at == L'"') ++at;
  while (*at && *at != end) ++at;
  if (*at == L'"') ++at;
  while (*at == L' ' || *at == L'\t') ++at;
  return at;
}

}  // namespace

bool RegisterWindowClass(const char* name, WNDPROC proc, int backgroundColor) {
  const std::wstring wideName = WideOfAscii(name);
  WNDCLASSW wc{};
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(backgroundColor + 1));
  wc.lpszClassName = wideName.c_str();
  return RegisterClassW(&wc) != 0;
}

HWND CreateMainWindow(const char* className, int x, int y, int width, int height) {
  return CreateWindowExW(0, WideOfAscii(className).c_str(), CommandLineTail(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, y,
                         width, height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

LRESULT DefaultProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

int RunMessageLoop(bool (*filter)(const MSG&)) {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (filter && filter(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

}  // namespace lookalike
