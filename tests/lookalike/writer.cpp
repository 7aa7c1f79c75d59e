// The look-alike writing window (see writer_protocol.h).
#include <windows.h>

#include "tests/lookalike/lookalike_window.h"
#include "tests/lookalike/writer_protocol.h"

using namespace writer;

namespace {

HWND Edit, List;
// The control that gets the focus back when the window is activated again.
HWND Focused;

void MakeControls(HWND window) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  // Made with the W function: a Unicode control, as every program of our
  // time has, which holds any character.
  Edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"Edit", L"",
                         WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                             ES_WANTRETURN,
                         10, 10, 380, 150, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kWriterEdit)),
                         instance, nullptr);
  List = CreateWindowExA(WS_EX_CLIENTEDGE, "ListBox", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | LBS_NOTIFY, 10, 170,
                         380, 60, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kWriterList)), instance,
                         nullptr);
  SendMessageW(Edit, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(lookalike::kEditFont)), FALSE);
  SendMessageA(List, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Not a place to write"));
  Focused = Edit;
}

LRESULT CALLBACK WriterProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      MakeControls(window);
      return 0;
    case WM_SETFOCUS:
      SetFocus(Focused);
      return 0;
    case kFocusList:
      Focused = List;
      SetFocus(List);
      return 0;
  }
  return lookalike::DefaultProc(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  if (!lookalike::RegisterWindowClass(kWriterClass, WriterProc)) return 1;
  if (!lookalike::CreateMainWindow(kWriterClass, 200, 150, 410, 280)) return 1;
  return lookalike::RunMessageLoop();
}
