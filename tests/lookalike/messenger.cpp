// A look-alike of the messenger's message dialogs (see messenger_protocol.h):
// top-level dialogs with the captions and controls the tray program relies
// on, opened on request from a test.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "tests/lookalike/lookalike_window.h"
#include "tests/lookalike/messenger_protocol.h"

using namespace messenger;

namespace {

HINSTANCE Instance;

// A dialog template without controls: the controls are made with
// CreateWindowEx in pixels, so that their places are exact.
struct EmptyTemplate {
  DLGTEMPLATE header;
  WORD menu = 0, windowClass = 0, title = 0;
};

INT_PTR CALLBACK MessageDialogProc(HWND, UINT, WPARAM, LPARAM);

HWND CreateEmptyDialog(HWND parent, DWORD style, DLGPROC proc) {
  alignas(4) EmptyTemplate t{};
  t.header.style = style;
  return CreateDialogIndirectParamA(Instance, &t.header, parent, proc, 0);
}

HWND AddControl(HWND parent, const char* cls, const char* text, DWORD style, int id, const Box& b) {
  const bool edit = std::strcmp(cls, "EDIT") == 0;
  HWND control = CreateWindowExA(edit ? WS_EX_CLIENTEDGE : 0, cls, text, WS_CHILD | WS_VISIBLE | style, b.x, b.y,
                                 b.width, b.height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 Instance, nullptr);
  const int font = edit ? lookalike::kEditFont : DEFAULT_GUI_FONT;
  SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(font)), FALSE);
  return control;
}

constexpr DWORD kEditStyle = WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;

// What a dialog shows: its caption, the correspondent, and the message it
// opens with (ANSI text).
struct Contents {
  const char* caption;
  const char* name;
  const char* uin;
  const char* message;
};

// The message edit, in a Unicode dialog made with the W function: the
// system then keeps its text in UTF-16 and hands it to A callers converted.
void AddMessageEdit(HWND parent, DWORD style, const Box& b, bool unicode, const char* message) {
  HWND edit = nullptr;
  if (unicode) {
    edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | style, b.x, b.y, b.width,
                           b.height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kMessageEdit)), Instance,
                           nullptr);
    SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(lookalike::kEditFont)), FALSE);
  } else {
    edit = AddControl(parent, "EDIT", "", style, kMessageEdit, b);
  }
  SetWindowTextA(edit, message);
}

// The correspondent's name and UIN in read-only fields, each after its label.
void AddCorrespondent(HWND parent, bool incoming, const Contents& c) {
  constexpr DWORD kFieldStyle = ES_READONLY | ES_AUTOHSCROLL;
  AddControl(parent, "STATIC", incoming ? "From:" : "To:", 0, -1, incoming ? kIncomingNameLabelBox : kSendNameLabelBox);
  AddControl(parent, "EDIT", c.name, kFieldStyle, kCorrespondentName, incoming ? kIncomingNameBox : kSendNameBox);
  AddControl(parent, "STATIC", "UIN:", 0, -1, incoming ? kIncomingUinLabelBox : kSendUinLabelBox);
  AddControl(parent, "EDIT", c.uin, kFieldStyle, kCorrespondentUin, incoming ? kIncomingUinBox : kSendUinBox);
}

// Sizes the dialog for its client area and cascades it from the last one.
void PlaceDialog(HWND dialog) {
  static int cascade = 0;
  RECT r{0, 0, kDialogWidth, kDialogHeight};
  AdjustWindowRectEx(&r, GetWindowLongA(dialog, GWL_STYLE), FALSE, GetWindowLongA(dialog, GWL_EXSTYLE));
  const int offset = 40 + 24 * (cascade++ % 12);
  SetWindowPos(dialog, nullptr, offset, offset, r.right - r.left, r.bottom - r.top, SWP_NOZORDER);
}

HWND OpenDialog(MessengerCommand kind, const Contents& c) {
  HWND dialog = CreateEmptyDialog(nullptr, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, MessageDialogProc);
  if (!dialog) return nullptr;
  const bool unicode = kind == kOpenUnicodeSendDialog || kind == kOpenUnicodeIncomingDialog;
  if (kind == kOpenSendDialog || kind == kOpenUnicodeSendDialog) {
    AddCorrespondent(dialog, false, c);
    AddMessageEdit(dialog, kEditStyle, kSendEditBox, unicode, c.message);
    AddControl(dialog, "BUTTON", "Cancel", WS_TABSTOP, IDCANCEL, kSendCancelBox);
    AddControl(dialog, "BUTTON", "&Send", WS_TABSTOP | BS_DEFPUSHBUTTON, kSendReference, kSendButtonBox);
  } else {
    HWND body = dialog;
    if (kind != kOpenIncomingWithoutInner) {
      body = CreateEmptyDialog(dialog, WS_CHILD | WS_VISIBLE | DS_CONTROL, MessageDialogProc);
      MoveWindow(body, kInnerDialogBox.x, kInnerDialogBox.y, kInnerDialogBox.width, kInnerDialogBox.height, FALSE);
    }
    AddControl(body, "STATIC", "Message:", 0, kIncomingWidth, kIncomingLabelBox);
    AddCorrespondent(body, true, c);
    AddMessageEdit(body, kEditStyle | ES_READONLY, kIncomingEditBox, unicode, c.message);
    AddControl(dialog, "BUTTON", "&Reply", WS_TABSTOP, kIncomingAnchor, kReplyBox);
    AddControl(dialog, "BUTTON", "Close", WS_TABSTOP, IDCANCEL, kCloseBox);
  }
  SetWindowTextA(dialog, c.caption);
  PlaceDialog(dialog);
  ShowWindow(dialog, SW_SHOWNOACTIVATE);
  return dialog;
}

// A dialog with the given caption and the default correspondent of its kind.
HWND OpenDialog(MessengerCommand kind, const char* caption) {
  const bool sending = kind == kOpenSendDialog || kind == kOpenUnicodeSendDialog;
  return OpenDialog(kind, {caption, sending ? "Bob" : "Alice", sending ? "1234567" : "7654321", ""});
}

// A request's texts (see messenger_protocol.h), or null when they do not
// end inside the data that came with the message.
HWND OpenRequested(const COPYDATASTRUCT& data) {
  const char* text = static_cast<const char*>(data.lpData);
  if (data.cbData == 0 || text[data.cbData - 1] != '\0') return nullptr;
  const auto kind = static_cast<MessengerCommand>(data.dwData);
  std::vector<const char*> texts;
  for (size_t at = 0; at < data.cbData; at += std::strlen(text + at) + 1) texts.push_back(text + at);
  if (texts.size() < 4) return OpenDialog(kind, texts[0]);
  return OpenDialog(kind, {texts[0], texts[1], texts[2], texts[3]});
}

// A control of the dialog or of its inner dialog.
HWND FindControl(HWND dialog, int id) {
  if (HWND c = GetDlgItem(dialog, id)) return c;
  HWND inner = FindWindowExA(dialog, nullptr, "#32770", nullptr);
  return inner ? GetDlgItem(inner, id) : nullptr;
}

void ChangeControl(HWND dialog, UINT message, WPARAM id, LPARAM delta) {
  HWND control = FindControl(dialog, static_cast<int>(id));
  HWND parent = GetParent(control);
  RECT r;
  if (!control || !GetWindowRect(control, &r)) return;
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  const int dx = static_cast<short>(LOWORD(delta)), dy = static_cast<short>(HIWORD(delta));
  if (message == kMoveControl)
    OffsetRect(&r, dx, dy);
  else
    r.right += dx, r.bottom += dy;
  MoveWindow(control, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
}

INT_PTR CALLBACK MessageDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      return FALSE;  // the focus stays where it is: tests type nothing
    case WM_COMMAND:
      if (LOWORD(wParam) == IDCANCEL) DestroyWindow(GetAncestor(dialog, GA_ROOT));
      return TRUE;
    case WM_CLOSE:
      DestroyWindow(dialog);
      return TRUE;
    case kMoveControl:
    case kResizeControl:
      ChangeControl(dialog, message, wParam, lParam);
      return TRUE;
  }
  return FALSE;
}

LRESULT CALLBACK ControlWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COPYDATA:
      return reinterpret_cast<LRESULT>(OpenRequested(*reinterpret_cast<const COPYDATASTRUCT*>(lParam)));
    case kHang:
      Sleep(static_cast<DWORD>(wParam));
      return 0;
  }
  return lookalike::DefaultProc(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  Instance = instance;
  if (!lookalike::RegisterWindowClass(kMessengerClass, ControlWindowProc)) return 1;
  // Hidden: it only takes the test's requests.
  if (!CreateWindowExA(0, kMessengerClass, "Messenger", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                       instance, nullptr))
    return 1;

  for (int i = 1; i + 1 < __argc; i += 2) {
    if (std::strcmp(__argv[i], "--send") == 0) OpenDialog(kOpenSendDialog, __argv[i + 1]);
    if (std::strcmp(__argv[i], "--incoming") == 0) OpenDialog(kOpenIncomingDialog, __argv[i + 1]);
  }

  return lookalike::RunMessageLoop();
}
