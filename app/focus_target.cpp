#include "app/focus_target.h"

#include "win/handles.h"

namespace {

// The file name of the executable of a process. The limited right
// is enough and is granted even for a program that runs elevated.
std::string ProgramOf(DWORD processId) {
  const KernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
  char path[MAX_PATH];
  DWORD size = MAX_PATH;
  if (!process || !QueryFullProcessImageNameA(process.get(), 0, path, &size)) return {};
  const std::string full(path, size);
  const size_t slash = full.find_last_of("\\/");
  return slash == std::string::npos ? full : full.substr(slash + 1);
}

std::string ClassOf(HWND window) {
  char name[256];
  const int length = GetClassNameA(window, name, sizeof name);
  return std::string(name, length > 0 ? static_cast<size_t>(length) : 0);
}

}  // namespace

bool FindFocusTarget(FocusTarget& target) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  // Thread 0: the foreground thread, whatever program it belongs to.
  if (!GetGUIThreadInfo(0, &info) || !info.hwndFocus) return false;
  target.focus = info.hwndFocus;
  target.window = info.hwndActive ? info.hwndActive : GetAncestor(info.hwndFocus, GA_ROOT);
  GetWindowThreadProcessId(target.window, &target.processId);
  target.ours = target.processId == GetCurrentProcessId();
  target.program = ProgramOf(target.processId);
  target.className = ClassOf(target.focus);
  target.windowClass = ClassOf(target.window);
  // The caret's rectangle is in its window's client coordinates; the menu
  // opens below it, so that it does not hide the line being written.
  target.menuAt = {info.rcCaret.left, info.rcCaret.bottom};
  if (!info.hwndCaret || !ClientToScreen(info.hwndCaret, &target.menuAt)) GetCursorPos(&target.menuAt);
  return true;
}
