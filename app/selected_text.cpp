#include "app/selected_text.h"

#include <windows.h>

#include <algorithm>

#include "app/clipboard_commands.h"
#include "app/focus_target.h"
#include "app/keyboard_route.h"
#include "icq/control_text.h"
#include "icq/dialog_messages.h"
#include "icq/text_transform.h"
#include "icq/window_rules.h"
#include "keys/wiped_text.h"

namespace {

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

// A standard control's selection into text: empty when nothing is selected
// or the control is gone.
bool ReadSelection(const FocusTarget& target, std::wstring& text) {
  const HWND control = target.focus;
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
  const bool breakAsOne = CountsBreakAsOne(target.className.c_str());
  const size_t from = TextPlace(whole, std::min(start, end), breakAsOne);
  const size_t to = TextPlace(whole, std::max(start, end), breakAsOne);
  text.assign(whole, from, to - from);
  return true;
}

// The selection of any other control, copied by the keyboard: empty when
// the control copied nothing.
SelectedRead CopySelection(const FocusTarget& target, UINT heldKey, std::wstring& text) {
  PlainText copy;
  switch (CopyByKeyboard(target, heldKey, false, copy)) {
    case KeyboardCopy::kCopied:
      text.swap(copy.wide);
      return SelectedRead::kRead;
    case KeyboardCopy::kNothingCopied:
      return SelectedRead::kRead;
    case KeyboardCopy::kRefused:
      break;
  }
  return SelectedRead::kFailed;
}

// Our own windows hold no message to read (the reading window's text is
// decrypted already), and a console's Ctrl+C would stop its program: there
// the clipboard is read.
SelectedRead ReadSelectionOf(UINT heldKey, std::wstring& text) {
  FocusTarget target;
  if (!FindFocusTarget(target) || target.ours) return SelectedRead::kRead;
  if (IsStandardEditClass(target.className))
    return ReadSelection(target, text) ? SelectedRead::kRead : SelectedRead::kNotAnswering;
  if (IsConsoleWindow(target.windowClass, target.className, target.program)) return SelectedRead::kRead;
  return CopySelection(target, heldKey, text);
}

}  // namespace

SelectedRead ReadSelectedText(UINT heldKey, std::wstring& text, TextSource& source) {
  source = TextSource::kSelection;
  const SelectedRead selected = ReadSelectionOf(heldKey, text);
  if (selected != SelectedRead::kRead || !text.empty()) return selected;
  source = TextSource::kClipboard;
  PlainText clipboard;
  if (!ReadClipboardText(clipboard)) return SelectedRead::kFailed;
  text.swap(clipboard.wide);
  return SelectedRead::kRead;
}
