#include "app/selected_text.h"

#include <windows.h>

#include <algorithm>

#include "app/clipboard_commands.h"
#include "icq/control_text.h"
#include "icq/dialog_messages.h"
#include "icq/text_transform.h"
#include "icq/window_rules.h"
#include "keys/wiped_text.h"

namespace {

constexpr int kClassChars = 64;

// Rich edit controls from version 2 on count a paragraph break as one
// character (CR) in their positions, where WM_GETTEXT gives CR LF; Edit and
// RichEdit (1.0) hold CR LF themselves and count both.
bool CountsBreakAsOne(const char* className) {
  return lstrcmpiA(className, "Edit") != 0 && lstrcmpiA(className, "RichEdit") != 0;
}

// The place in text of a control's position, each CR LF one position when
// breakAsOne.
size_t TextPlace(const std::wstring& text, DWORD position, bool breakAsOne) {
  if (!breakAsOne) return std::min<size_t>(position, text.size());
  size_t at = 0;
  for (DWORD p = 0; p < position && at < text.size(); ++p)
    at += text.compare(at, 2, L"\r\n") == 0 ? 2 : 1;
  return at;
}

// The focus window of the foreground thread when it is a standard edit
// control of another program; null otherwise (our own reading window, for
// one, whose text is decrypted already).
HWND FocusedEditControl(char (&className)[kClassChars]) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(0, &info) || !info.hwndFocus) return nullptr;
  DWORD process = 0;
  GetWindowThreadProcessId(info.hwndFocus, &process);
  if (process == GetCurrentProcessId()) return nullptr;
  if (!GetClassNameA(info.hwndFocus, className, kClassChars) || !IsStandardEditClass(className)) return nullptr;
  return info.hwndFocus;
}

// The focused control's selection into text: empty when nothing is
// selected, or the control is gone or no standard one.
bool ReadSelection(std::wstring& text) {
  char className[kClassChars];
  HWND control = FocusedEditControl(className);
  if (!control) return true;
  DialogMessages messages;
  std::wstring whole;
  WipeOnExit wipe(whole);
  LRESULT selection = 0;
  if (!messages.SendW(control, EM_GETSEL, 0, 0, &selection) || !ReadControlText(messages, control, whole))
    return messages.answered();
  DWORD start = LOWORD(selection), end = HIWORD(selection);
  // The result holds 16 bits per position, and is -1 beyond them; the
  // pointers, which the system carries across processes, hold all of it.
  if (selection == -1 &&
      !messages.SendW(control, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end)))
    return messages.answered();
  const bool breakAsOne = CountsBreakAsOne(className);
  const size_t from = TextPlace(whole, std::min(start, end), breakAsOne);
  const size_t to = TextPlace(whole, std::max(start, end), breakAsOne);
  text.assign(whole, from, to - from);
  return true;
}

}  // namespace

SelectedRead ReadSelectedText(std::wstring& text, TextSource& source) {
  source = TextSource::kSelection;
  if (!ReadSelection(text)) return SelectedRead::kNotAnswering;
  if (!text.empty()) return SelectedRead::kRead;
  source = TextSource::kClipboard;
  PlainText clipboard;
  if (!ReadClipboardText(clipboard)) return SelectedRead::kFailed;
  text.swap(clipboard.wide);
  return SelectedRead::kRead;
}
