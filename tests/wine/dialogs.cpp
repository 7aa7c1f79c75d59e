#include "tests/wine/dialogs.h"

#include "tests/wine/window.h"

namespace driver {
namespace {

constexpr char kDialogClass[] = "#32770";

// Explorer-style dialogs keep the name in an edit inside the combo box inside
// ComboBoxEx32 1148; the old style (a hook without OFN_EXPLORER) uses the
// plain edit 1152.
constexpr int kExplorerNameId = 1148;
constexpr int kOldStyleNameId = 1152;

bool IsFileDialog(HWND window) { return FileNameField(window) != nullptr; }

bool IsMessageBox(HWND window) {
  return !IsFileDialog(window) && FindControl(window, kMessageBoxTextId) != nullptr;
}

bool IsSplash(HWND window) {
  if (GetWindowTextLengthA(window) == 0) return true;
  for (int id : kSplashStaticIds) {
    if (FindControl(window, id) != nullptr) return true;
  }
  return false;
}

}  // namespace

HWND WaitForMessageBox(const char* caption, DWORD pid, uint32_t timeoutMs) {
  return WaitForWindow({kDialogClass, caption, false, pid, true, IsMessageBox}, timeoutMs);
}

std::string MessageBoxText(HWND box) {
  HWND text = FindControl(box, kMessageBoxTextId);
  return text != nullptr ? WindowText(text) : "";
}

std::string DescribeWindows(DWORD pid) {
  std::string list;
  for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
    if (WindowProcess(w) != pid || !IsWindowVisible(w)) continue;
    list += WindowClass(w) + " \"" + WindowText(w) + "\"";
    if (IsMessageBox(w)) list += ": " + MessageBoxText(w);
    list += "; ";
  }
  return list;
}

bool PressButton(HWND dialog, int id, uint32_t timeoutMs) {
  return PostCommand(dialog, id) && WaitWindowGone(dialog, timeoutMs);
}

bool AnswerMessageBox(const char* caption, int id, std::string* text, DWORD pid,
                      uint32_t timeoutMs) {
  HWND box = WaitForMessageBox(caption, pid, timeoutMs);
  if (box == nullptr) return false;
  if (text != nullptr) *text = MessageBoxText(box);
  return PressButton(box, id, timeoutMs);
}

HWND WaitForFileDialog(const char* title, DWORD pid, uint32_t timeoutMs) {
  return WaitForWindow({kDialogClass, title, false, pid, true, IsFileDialog}, timeoutMs);
}

HWND FileNameField(HWND dialog) {
  if (HWND ex = FindControl(dialog, kExplorerNameId)) {
    HWND combo = FindChildOfClass(ex, "ComboBox");
    HWND edit = FindChildOfClass(combo != nullptr ? combo : ex, "Edit");
    if (edit != nullptr) return edit;
  }
  HWND old = FindControl(dialog, kOldStyleNameId);
  return old != nullptr && WindowClass(old) == "Edit" ? old : nullptr;
}

bool ChooseFile(const char* title, const std::string& path, DWORD pid, uint32_t timeoutMs) {
  HWND dialog = WaitForFileDialog(title, pid, timeoutMs);
  if (dialog == nullptr) return false;
  // The dialog fills the field with the initial name while it starts, which
  // may still be under way when the dialog first shows: type until the
  // field keeps the path.
  HWND field = FileNameField(dialog);
  const bool typed = PollUntil(timeoutMs, [&] {
    return SetWindowTextRemote(field, path) && WindowText(field) == path;
  });
  if (!typed) return false;
  // Posted to the dialog: several of its children share the id IDOK.
  if (!PostMessageA(dialog, WM_COMMAND, IDOK, 0)) return false;
  const DWORD owner = WindowProcess(dialog);
  return PollUntil(timeoutMs, [&] {
    // An existing file brings up the question whether to replace it, a box
    // with the dialog's own title.
    if (HWND replace = WaitForMessageBox(title, owner, 0)) PostCommand(replace, IDYES);
    return !IsWindow(dialog) || !IsWindowVisible(dialog);
  });
}

bool CancelFileDialog(const char* title, DWORD pid, uint32_t timeoutMs) {
  HWND dialog = WaitForFileDialog(title, pid, timeoutMs);
  return dialog != nullptr && PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0) &&
         WaitWindowGone(dialog, timeoutMs);
}

bool EndSplash(DWORD pid, uint32_t timeoutMs) {
  HWND splash = WaitForWindow({kDialogClass, nullptr, false, pid, true, IsSplash}, timeoutMs);
  return splash != nullptr && PostMessageA(splash, WM_TIMER, kSplashTimerId, 0) &&
         WaitWindowGone(splash, timeoutMs);
}

}  // namespace driver
