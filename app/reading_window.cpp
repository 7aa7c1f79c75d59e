#include "app/reading_window.h"

#include <algorithm>
#include <set>

#include "app/clipboard_commands.h"
#include "icq/dialog_messages.h"
#include "icq/message_options.h"
#include "icq/text_transform.h"
#include "keys/formats/v3_message.h"
#include "keys/key_files.h"
#include "keys/text_fill.h"
#include "resources/resource.h"
#include "resources/strings.h"
#include "win/callback_guard.h"
#include "win/foreground.h"
#include "win/program.h"
#include "win/report_error.h"
#include "win/unicode_text.h"

namespace {

// Pixels between the cursor and the window, so that the pointer does not
// hide its first line.
constexpr int kCursorGap = 16;

// The open reading window and its edit control's text, for Copy: written by
// ShowReadingWindow, cleared and wiped by CloseReadingWindow.
HWND ReadingWindow = nullptr;
std::wstring ShownText;

std::wstring WideOf(const std::string& ansi) {
  std::wstring wide;
  WideFromCodePage(CP_ACP, ansi, wide);
  return wide;
}

// Who wrote a message, and when, as the line beneath one message says it.
std::string SenderLine(const ShownMessage& message) {
  return message.proven ? FilledText(IDS_READING_SENDER, message.keyId, UtcTimeText(message.written))
                        : StringText(IDS_READING_OLDER);
}

// The same with the sender's name, above each message of several.
std::string HeaderLine(const ShownMessage& message) {
  return message.proven ? FilledText(IDS_READING_HEADER, message.sender, message.keyId, UtcTimeText(message.written))
                        : FilledText(IDS_READING_HEADER_OLDER, message.sender);
}

// "Message from alice", or "3 messages from alice, bob": each sender once,
// in the order of their first message.
std::string Caption(const std::vector<ShownMessage>& messages) {
  if (messages.size() == 1) return FilledText(IDS_READING_CAPTION, messages[0].sender);
  std::set<std::string> named;
  std::string senders;
  for (const ShownMessage& message : messages) {
    if (!named.insert(message.sender).second) continue;
    if (!senders.empty()) senders += ", ";
    senders += message.sender;
  }
  return FilledText(IDS_READING_CAPTION_MANY, std::to_string(messages.size()), senders);
}

// One message as it is, or several one after the other, each below its
// sender's line and apart by an empty line. Sized once, since it holds the
// plain texts (keys/wiped_text.h).
void ComposeText(const std::vector<ShownMessage>& messages, std::wstring& text) {
  WipeText(text);
  if (messages.size() == 1) {
    text = messages[0].text;
    return;
  }
  std::vector<std::wstring> headers;
  size_t size = 0;
  for (const ShownMessage& message : messages) {
    headers.push_back(WideOf(HeaderLine(message)));
    size += headers.back().size() + message.text.size() + 6;
  }
  text.reserve(size);
  for (size_t i = 0; i < messages.size(); ++i) {
    if (i > 0) text += L"\r\n\r\n";
    text += headers[i] + L"\r\n";
    text += messages[i].text;
  }
}

// The edit control keeps the text in memory of its own: a text of the same
// length written over it replaces it in place before the control goes.
void ScrubShownText(HWND dialog) {
  HWND edit = GetDlgItem(dialog, IDC_READING_TEXT);
  SetWindowTextW(edit, std::wstring(static_cast<size_t>(GetWindowTextLengthW(edit)), L' ').c_str());
  SetWindowTextW(edit, L"");
}

void CopyShownText() {
  ActionText copy;
  copy.utf8 = true;
  if (CodePageFromWide(CP_UTF8, ShownText, copy.bytes) && PlaceDecryptedText(copy))
    ShowBalloonNotice(IDS_CLIPBOARD_CLEARED_SOON);
}

// Beside the cursor, below and to the right of it where the screen's work
// area has room, otherwise above or to the left; always inside that area.
void PlaceNearCursor(HWND dialog) {
  POINT cursor;
  GetCursorPos(&cursor);
  RECT frame;
  GetWindowRect(dialog, &frame);
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoA(MonitorFromPoint(cursor, MONITOR_DEFAULTTONEAREST), &monitor);
  const RECT& area = monitor.rcWork;
  int x = cursor.x + kCursorGap, y = cursor.y + kCursorGap;
  if (x + width > area.right) x = cursor.x - kCursorGap - width;
  if (y + height > area.bottom) y = cursor.y - kCursorGap - height;
  x = std::max<int>(area.left, std::min<int>(x, area.right - width));
  y = std::max<int>(area.top, std::min<int>(y, area.bottom - height));
  SetWindowPos(dialog, HWND_TOPMOST, x, y, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
}

// A read-only edit control is drawn grey, as a disabled one: the message is
// drawn on the window colour, as text to read.
INT_PTR MessageColours(HWND dialog, HDC dc, HWND control) {
  if (control != GetDlgItem(dialog, IDC_READING_TEXT)) return FALSE;
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  SetBkColor(dc, GetSysColor(COLOR_WINDOW));
  return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_WINDOW));
}

INT_PTR OnReadingMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      return FALSE;  // the focus is given with the foreground
    case WM_CTLCOLORSTATIC:
      return MessageColours(dialog, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_READING_COPY:
          CopyShownText();
          return TRUE;
        case IDCANCEL:  // Close, Esc and the close box
          CloseReadingWindow();
          return TRUE;
      }
      break;
  }
  return FALSE;
}

INT_PTR CALLBACK ReadingWindowProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  return Guarded<INT_PTR>(FALSE, [&] { return OnReadingMessage(dialog, message, wParam, lParam); });
}

}  // namespace

void ShowReadingWindow(const std::vector<ShownMessage>& messages) {
  CloseReadingWindow();
  // A Unicode dialog, so that the edit control keeps every character.
  HWND dialog = CreateDialogParamW(AppInstance, MAKEINTRESOURCEW(IDD_READING), nullptr, ReadingWindowProc, 0);
  if (!dialog) return ReportError(nullptr, false);
  ReadingWindow = dialog;
  ComposeText(messages, ShownText);
  SetWindowTextA(dialog, Caption(messages).c_str());
  SetDlgItemTextW(dialog, IDC_READING_TEXT, ShownText.c_str());
  const std::string below =
      messages.size() == 1 ? SenderLine(messages[0]) : FilledText(IDS_READING_MANY, std::to_string(messages.size()));
  SetDlgItemTextA(dialog, IDC_READING_SENDER, below.c_str());
  PlaceNearCursor(dialog);
  // The attachment would let a hung foreground thread hold ours.
  HWND front = GetForegroundWindow();
  if (!front || DialogAnswers(front)) TakeForeground(dialog, GetDlgItem(dialog, IDCANCEL));
}

bool IsReadingWindowMessage(MSG& msg) { return ReadingWindow && IsDialogMessageW(ReadingWindow, &msg); }

void CloseReadingWindow() {
  if (!ReadingWindow) return;
  HWND dialog = ReadingWindow;
  ReadingWindow = nullptr;
  ScrubShownText(dialog);
  DestroyWindow(dialog);
  WipeText(ShownText);
}
