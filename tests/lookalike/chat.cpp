// The look-alike modern chat window (see chat_protocol.h): two panes of its
// own classes that keep their text to themselves and copy and paste through
// the clipboard, and a standard Edit box.
#include <windows.h>

#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "tests/lookalike/chat_protocol.h"
#include "tests/lookalike/lookalike_window.h"

using namespace chat;

namespace {

// What a pane holds: its entries (the history's lines; the message box has
// one, its text) and the selected run of them.
struct Pane {
  bool editable = false;
  std::vector<std::wstring> entries;
  size_t first = 0, count = 0;
};

Pane HistoryPane{false, {}}, MessagePane{true, {L""}};
HWND HistoryPart, MessagePart, EditPart;
// The part that gets the focus back when the window is activated again.
HWND Focused;
HFONT Font;

constexpr int kMargin = 4;

Pane& PaneOf(HWND pane) { return *reinterpret_cast<Pane*>(GetWindowLongPtrW(pane, GWLP_USERDATA)); }

std::wstring Joined(const Pane& pane, size_t first, size_t count) {
  std::wstring text;
  for (size_t i = first; i < first + count && i < pane.entries.size(); ++i)
    text += (i == first ? L"" : L"\r\n") + pane.entries[i];
  return text;
}

std::wstring SelectedText(const Pane& pane) { return Joined(pane, pane.first, pane.count); }

// The clipboard, opened with the pane's own window.

// Another program may hold the clipboard open for a moment, as the one under
// test does while it reads the copy: try again a little later, as editors do.
bool OpenClipboardFor(HWND pane) {
  for (int tries = 0; tries < 50; ++tries) {
    if (OpenClipboard(pane)) return true;
    Sleep(10);
  }
  return false;
}

void Copy(HWND pane, const std::wstring& text) {
  if (text.empty() || !OpenClipboardFor(pane)) return;
  EmptyClipboard();
  const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
    std::memcpy(GlobalLock(memory), text.c_str(), bytes);
    GlobalUnlock(memory);
    if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);
  }
  CloseClipboard();
}

// The clipboard's Unicode text, which the owner may render only now.
std::wstring Pasted(HWND pane) {
  std::wstring text;
  if (!OpenClipboardFor(pane)) return text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
      text.assign(chars, wcsnlen(chars, GlobalSize(data) / sizeof(wchar_t)));
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

// Layout: entries broken into rows that fit the pane.

struct Row {
  size_t entry;
  std::wstring text;
};

struct View {
  std::vector<Row> rows;
  int lineHeight = 0;
  size_t top = 0;     // the first row shown: the last rows when they overflow, as chats scroll
  int lastWidth = 0;  // of the last row, where the caret stands
};

// The part of text that fits width: up to the last space that fits, else the
// characters that fit (at least one, never half a surrogate pair).
size_t RowLength(HDC dc, const wchar_t* text, size_t length, int width) {
  int fit = 0;
  SIZE size;
  GetTextExtentExPointW(dc, text, static_cast<int>(length), width, &fit, nullptr, &size);
  size_t cut = static_cast<size_t>(fit);
  if (cut >= length) return length;
  if (cut > 0 && IS_HIGH_SURROGATE(text[cut - 1])) --cut;
  for (size_t space = cut; space > 0; --space)
    if (text[space - 1] == L' ') return space;
  if (cut == 0) cut = IS_HIGH_SURROGATE(text[0]) && length > 1 ? 2 : 1;
  return cut;
}

void AddRows(HDC dc, size_t entry, const std::wstring& text, int width, std::vector<Row>& rows) {
  size_t start = 0;
  for (;;) {
    size_t end = text.find(L'\n', start);
    if (end == std::wstring::npos) end = text.size();
    const size_t lineEnd = end > start && text[end - 1] == L'\r' ? end - 1 : end;
    size_t at = start;
    do {
      const size_t length = lineEnd == at ? 0 : RowLength(dc, text.c_str() + at, lineEnd - at, width);
      rows.push_back({entry, text.substr(at, length)});
      at += length;
    } while (at < lineEnd);
    if (end == text.size()) return;
    start = end + 1;
  }
}

// The view of the pane, with its font selected into dc.
View ViewOf(HWND pane, HDC dc) {
  View view;
  RECT client;
  GetClientRect(pane, &client);
  TEXTMETRICW metrics;
  GetTextMetricsW(dc, &metrics);
  view.lineHeight = metrics.tmHeight;
  const Pane& p = PaneOf(pane);
  for (size_t i = 0; i < p.entries.size(); ++i) AddRows(dc, i, p.entries[i], client.right - 2 * kMargin, view.rows);
  const size_t shown = static_cast<size_t>((client.bottom - 2 * kMargin) / view.lineHeight);
  view.top = view.rows.size() > shown ? view.rows.size() - shown : 0;
  if (!view.rows.empty()) {
    const std::wstring& last = view.rows.back().text;
    SIZE size{};
    GetTextExtentPoint32W(dc, last.c_str(), static_cast<int>(last.size()), &size);
    view.lastWidth = size.cx;
  }
  return view;
}

// The view through a DC of the pane's own, for a caret or a click.
View MeasuredView(HWND pane) {
  HDC dc = GetDC(pane);
  HGDIOBJ old = SelectObject(dc, Font);
  View view = ViewOf(pane, dc);
  SelectObject(dc, old);
  ReleaseDC(pane, dc);
  return view;
}

void PlaceCaret(HWND pane) {
  if (GetFocus() != pane || !PaneOf(pane).editable) return;
  const View view = MeasuredView(pane);
  const int row = static_cast<int>(view.rows.size() - 1 - view.top);
  SetCaretPos(kMargin + view.lastWidth, kMargin + row * view.lineHeight);
}

void Paint(HWND pane) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(pane, &ps);
  RECT client;
  GetClientRect(pane, &client);
  FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
  HGDIOBJ old = SelectObject(dc, Font);
  const View view = ViewOf(pane, dc);
  const Pane& p = PaneOf(pane);
  for (size_t i = view.top; i < view.rows.size(); ++i) {
    const Row& row = view.rows[i];
    const bool selected = row.entry >= p.first && row.entry < p.first + p.count;
    SetBkColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    const int y = kMargin + static_cast<int>(i - view.top) * view.lineHeight;
    RECT line{kMargin, y, client.right - kMargin, y + view.lineHeight};
    ExtTextOutW(dc, kMargin, y, ETO_OPAQUE | ETO_CLIPPED, &line, row.text.c_str(), static_cast<UINT>(row.text.size()),
                nullptr);
  }
  SelectObject(dc, old);
  // A thicker, coloured frame around the part that has the focus.
  const bool focused = GetFocus() == pane;
  for (int width = focused ? 2 : 1; width > 0; --width) {
    FrameRect(dc, &client, GetSysColorBrush(focused ? COLOR_HIGHLIGHT : COLOR_BTNSHADOW));
    InflateRect(&client, -1, -1);
  }
  EndPaint(pane, &ps);
}

// What the keyboard and the mouse do to a pane.

void Changed(HWND pane) {
  InvalidateRect(pane, nullptr, TRUE);
  PlaceCaret(pane);
}

void SelectAll(HWND pane) {
  Pane& p = PaneOf(pane);
  p.first = 0;
  p.count = p.entries.size();
  Changed(pane);
}

// Puts added in place of the message box's selection, or at its end.
void Insert(HWND pane, const std::wstring& added) {
  Pane& p = PaneOf(pane);
  if (p.count > 0) p.entries[0].clear();
  p.count = 0;
  p.entries[0] += added;
  Changed(pane);
}

// Takes the selection away, or the last character: a line break or a
// surrogate pair as one.
void Backspace(HWND pane) {
  std::wstring& text = PaneOf(pane).entries[0];
  if (PaneOf(pane).count > 0 || text.empty()) {
    Insert(pane, L"");
    return;
  }
  const bool pair =
      text.size() >= 2 && (text.compare(text.size() - 2, 2, L"\r\n") == 0 || IS_LOW_SURROGATE(text.back()));
  text.erase(text.size() - (pair ? 2 : 1));
  Changed(pane);
}

void Paste(HWND pane) {
  const std::wstring pasted = Pasted(pane);
  if (!pasted.empty()) Insert(pane, pasted);
}

void OnKeyDown(HWND pane, WPARAM key) {
  if (GetKeyState(VK_CONTROL) >= 0) return;
  if (key == 'A') SelectAll(pane);
  if (key == 'C') Copy(pane, SelectedText(PaneOf(pane)));
  if (key == 'V' && PaneOf(pane).editable) Paste(pane);
}

// Ctrl+letter arrives as a control character too: only Backspace and Enter
// among them write anything.
void OnChar(HWND pane, wchar_t ch) {
  if (!PaneOf(pane).editable) return;
  if (ch == L'\b')
    Backspace(pane);
  else if (ch == L'\r')
    Insert(pane, L"\r\n");
  else if (ch >= L' ' && ch != 0x7F)
    Insert(pane, std::wstring(1, ch));
}

void OnClick(HWND pane, int y) {
  SetFocus(pane);
  Pane& p = PaneOf(pane);
  if (p.editable) return;
  const View view = MeasuredView(pane);
  const size_t row = view.top + static_cast<size_t>((y - kMargin) / view.lineHeight);
  if (y < kMargin || row >= view.rows.size()) return;
  p.first = view.rows[row].entry;
  p.count = 1;
  Changed(pane);
}

BOOL SetEntries(HWND pane, const COPYDATASTRUCT& data) {
  const auto* chars = static_cast<const wchar_t*>(data.lpData);
  const size_t length = data.cbData / sizeof(wchar_t);
  if (data.dwData != kSetEntries || data.cbData % sizeof(wchar_t) != 0 || length == 0 || chars[length - 1] != L'\0')
    return FALSE;
  std::vector<std::wstring> entries;
  for (size_t at = 0; at < length; at += entries.back().size() + 1) entries.emplace_back(chars + at);
  Pane& p = PaneOf(pane);
  if (p.editable && entries.size() != 1) return FALSE;
  p.entries = std::move(entries);
  p.count = 0;
  Changed(pane);
  return TRUE;
}

BOOL SelectEntries(HWND pane, WPARAM first, LPARAM last) {
  Pane& p = PaneOf(pane);
  if (first > static_cast<WPARAM>(last) || static_cast<size_t>(last) >= p.entries.size()) return FALSE;
  p.first = first;
  p.count = static_cast<size_t>(last) - first + 1;
  Changed(pane);
  return TRUE;
}

BOOL ReportText(HWND pane, HWND to, LPARAM part) {
  const Pane& p = PaneOf(pane);
  const std::wstring text = part == kSelectedText ? SelectedText(p) : Joined(p, 0, p.entries.size());
  COPYDATASTRUCT data{kReportedText, static_cast<DWORD>(text.size() * sizeof(wchar_t)),
                      const_cast<wchar_t*>(text.data())};
  SendMessageW(to, WM_COPYDATA, reinterpret_cast<WPARAM>(pane), reinterpret_cast<LPARAM>(&data));
  return TRUE;
}

void OnFocus(HWND pane, bool gained) {
  if (gained) Focused = pane;
  if (PaneOf(pane).editable) {
    if (gained) {
      CreateCaret(pane, nullptr, 2, MeasuredView(pane).lineHeight);
      PlaceCaret(pane);
      ShowCaret(pane);
    } else {
      DestroyCaret();
    }
  }
  InvalidateRect(pane, nullptr, TRUE);
}

LRESULT CALLBACK PaneProc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCCREATE:
      SetWindowLongPtrW(pane, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
      break;
    // The text stays inside, as in the programs the pane stands for.
    case WM_GETTEXT:
      if (wParam > 0) reinterpret_cast<wchar_t*>(lParam)[0] = L'\0';
      return 0;
    case WM_GETTEXTLENGTH:
    case WM_SETTEXT:
      return 0;
    case WM_PAINT:
      Paint(pane);
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      OnFocus(pane, message == WM_SETFOCUS);
      return 0;
    case WM_KEYDOWN:
      OnKeyDown(pane, wParam);
      return 0;
    case WM_CHAR:
      OnChar(pane, static_cast<wchar_t>(wParam));
      return 0;
    case WM_LBUTTONDOWN:
      OnClick(pane, static_cast<short>(HIWORD(lParam)));
      return 0;
    case WM_SIZE:
      Changed(pane);
      return 0;
    case WM_COPYDATA:
      return SetEntries(pane, *reinterpret_cast<const COPYDATASTRUCT*>(lParam));
    case kSelectEntries:
      return SelectEntries(pane, wParam, lParam);
    case kReportText:
      return ReportText(pane, reinterpret_cast<HWND>(wParam), lParam);
  }
  return DefWindowProcW(pane, message, wParam, lParam);
}

// The window.

// A pane: a window of a Unicode class, whichever function makes it.
HWND MakePane(HWND window, const char* cls, int id, Pane* pane) {
  return CreateWindowExA(0, cls, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 0, 0, 0, window,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), pane);
}

void MakeParts(HWND window) {
  Font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  HistoryPart = MakePane(window, kHistoryClass, kHistoryId, &HistoryPane);
  MessagePart = MakePane(window, kMessageBoxClass, kMessageBoxId, &MessagePane);
  EditPart = CreateWindowExW(
      WS_EX_CLIENTEDGE, L"Edit", L"",
      WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN, 0, 0, 0, 0,
      window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditId)), GetModuleHandleW(nullptr), nullptr);
  SendMessageW(EditPart, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(lookalike::kEditFont)), FALSE);
  Focused = MessagePart;
}

// The history above, the message box beneath it, the Edit box at the foot.
void PlaceParts(int width, int height) {
  const int inner = width - 2 * 10;
  const int editHeight = 60, messageHeight = 80;
  const int historyHeight = height - editHeight - messageHeight - 4 * 10;
  MoveWindow(HistoryPart, 10, 10, inner, historyHeight, TRUE);
  MoveWindow(MessagePart, 10, 20 + historyHeight, inner, messageHeight, TRUE);
  MoveWindow(EditPart, 10, 30 + historyHeight + messageHeight, inner, editHeight, TRUE);
}

LRESULT FocusPart(HWND window, WPARAM id) {
  HWND part = GetDlgItem(window, static_cast<int>(id));
  if (!part) return FALSE;
  Focused = part;
  SetFocus(part);
  return GetFocus() == part;
}

LRESULT CALLBACK ChatProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      MakeParts(window);
      return 0;
    case WM_SIZE:
      PlaceParts(LOWORD(lParam), HIWORD(lParam));
      return 0;
    case WM_SETFOCUS:
      SetFocus(Focused);
      return 0;
    case WM_COMMAND:
      if (HIWORD(wParam) == EN_SETFOCUS) Focused = EditPart;
      return 0;
    case kFocusPart:
      return FocusPart(window, wParam);
  }
  return lookalike::DefaultProc(window, message, wParam, lParam);
}

// Tab and Shift+Tab, in every part: the Edit box would take Tab as a
// character.
bool MoveFocusOnTab(const MSG& msg) {
  if (msg.message != WM_KEYDOWN || msg.wParam != VK_TAB) return false;
  const HWND order[] = {HistoryPart, MessagePart, EditPart};
  for (int i = 0; i < 3; ++i) {
    if (order[i] != msg.hwnd) continue;
    SetFocus(order[(i + (GetKeyState(VK_SHIFT) < 0 ? 2 : 1)) % 3]);
    return true;
  }
  return false;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  if (!lookalike::RegisterWindowClass(kHistoryClass, PaneProc, COLOR_WINDOW) ||
      !lookalike::RegisterWindowClass(kMessageBoxClass, PaneProc, COLOR_WINDOW) ||
      !lookalike::RegisterWindowClass(kChatClass, ChatProc))
    return 1;
  if (!lookalike::CreateMainWindow(kChatClass, 120, 60, 520, 480)) return 1;
  return lookalike::RunMessageLoop(MoveFocusOnTab);
}
