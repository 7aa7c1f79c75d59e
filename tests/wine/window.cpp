#include "tests/wine/window.h"

#include <algorithm>
#include <vector>

namespace driver {
namespace {

bool Matches(HWND window, const WindowQuery& q) {
  if (q.visibleOnly && !IsWindowVisible(window)) return false;
  if (q.pid != 0 && WindowProcess(window) != q.pid) return false;
  if (q.className != nullptr && WindowClass(window) != q.className) return false;
  if (q.caption != nullptr) {
    // Top-level captions live in the window manager's records, so the plain
    // call works across processes and never waits for the owner.
    char text[512];
    const int n = GetWindowTextA(window, text, sizeof text);
    const std::string caption(text, n > 0 ? n : 0);
    if (q.captionPrefix ? caption.rfind(q.caption, 0) != 0 : caption != q.caption) return false;
  }
  return q.accept == nullptr || q.accept(window);
}

struct Search {
  const WindowQuery* query;
  HWND found;
};

BOOL CALLBACK VisitTop(HWND window, LPARAM param) {
  auto* s = reinterpret_cast<Search*>(param);
  if (!Matches(window, *s->query)) return TRUE;
  s->found = window;
  return FALSE;
}

struct ControlSearch {
  int id;
  HWND found;
};

BOOL CALLBACK VisitChild(HWND window, LPARAM param) {
  auto* s = reinterpret_cast<ControlSearch*>(param);
  if (GetDlgCtrlID(window) != s->id) return TRUE;
  s->found = window;
  return FALSE;
}

// A message through the ANSI (SendMessageTimeoutA) or the wide
// (SendMessageTimeoutW) function, within the driver's time limit.
template <typename SendTimeout>
LRESULT SendVia(SendTimeout send, HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool* ok) {
  DWORD_PTR result = 0;
  *ok = send(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result) != 0;
  return static_cast<LRESULT>(result);
}

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool* ok) {
  return SendVia(SendMessageTimeoutA, window, message, wParam, lParam, ok);
}

// The text is asked for in two messages, between which the program under
// test may replace it: a text of another length than the one the buffer was
// sized for is read again, so that a test never sees a longer text cut to
// the length of the one before.
// False, with text "", when the window did not answer in time or is gone.
template <typename Text, typename SendTimeout>
bool ReadText(SendTimeout send, HWND window, Text& text) {
  text = Text();
  for (int attempt = 0; attempt < 3; ++attempt) {
    bool ok = false;
    const LRESULT length = SendVia(send, window, WM_GETTEXTLENGTH, 0, 0, &ok);
    if (!ok) return false;
    if (length <= 0) return true;
    std::vector<typename Text::value_type> buf(static_cast<size_t>(length) + 1);
    const LRESULT n = SendVia(send, window, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()), &ok);
    if (!ok) return false;
    if (n <= 0) return true;
    if (SendVia(send, window, WM_GETTEXTLENGTH, 0, 0, &ok) != length && ok) continue;
    text.assign(buf.data(), std::min<size_t>(static_cast<size_t>(n), static_cast<size_t>(length)));
    return true;
  }
  return false;
}

template <typename Text, typename SendTimeout>
bool WriteText(SendTimeout send, HWND window, const Text& text) {
  bool ok = false;
  const LRESULT accepted = SendVia(send, window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), &ok);
  return ok && accepted != 0;
}

}  // namespace

HWND FindTopWindow(const WindowQuery& query) {
  Search s{&query, nullptr};
  EnumWindows(VisitTop, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

HWND WaitForWindow(const WindowQuery& query, uint32_t timeoutMs) {
  return PollUntil(timeoutMs, [&] { return FindTopWindow(query); });
}

bool WaitWindowGone(HWND window, uint32_t timeoutMs) {
  return PollUntil(timeoutMs, [&] { return !IsWindow(window) || !IsWindowVisible(window); });
}

bool ReadWindowText(HWND window, std::string& text) { return ReadText(SendMessageTimeoutA, window, text); }

std::string WindowText(HWND window) {
  std::string text;
  ReadWindowText(window, text);
  return text;
}

bool SetWindowTextRemote(HWND window, const std::string& text) { return WriteText(SendMessageTimeoutA, window, text); }

bool ReadWindowTextW(HWND window, std::wstring& text) { return ReadText(SendMessageTimeoutW, window, text); }

std::wstring WindowTextW(HWND window) {
  std::wstring text;
  ReadWindowTextW(window, text);
  return text;
}

bool SetWindowTextRemoteW(HWND window, const std::wstring& text) {
  return WriteText(SendMessageTimeoutW, window, text);
}

std::string WindowClass(HWND window) {
  char name[256];
  const int n = GetClassNameA(window, name, sizeof name);
  return std::string(name, n > 0 ? n : 0);
}

DWORD WindowProcess(HWND window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  return pid;
}

HWND FindControl(HWND parent, int id) {
  if (parent == nullptr) return nullptr;
  if (HWND direct = GetDlgItem(parent, id)) return direct;
  ControlSearch s{id, nullptr};
  EnumChildWindows(parent, VisitChild, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

HWND FindChildOfClass(HWND parent, const char* className) {
  return FindWindowExA(parent, nullptr, className, nullptr);
}

bool PostCommand(HWND dialog, int id) {
  HWND control = FindControl(dialog, id);
  return PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                      reinterpret_cast<LPARAM>(control)) != 0;
}

bool SendCommand(HWND dialog, int id) {
  bool ok = false;
  Send(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(FindControl(dialog, id)), &ok);
  return ok;
}

bool Answers(HWND window) {
  bool ok = false;
  Send(window, WM_NULL, 0, 0, &ok);
  return ok;
}

bool ClickButton(HWND dialog, int id) {
  HWND button = FindControl(dialog, id);
  return button != nullptr && PostMessageA(button, BM_CLICK, 0, 0) != 0;
}

std::optional<std::string> ControlText(HWND dialog, int id) {
  HWND control = FindControl(dialog, id);
  if (control == nullptr) return std::nullopt;
  return WindowText(control);
}

bool SetControlText(HWND dialog, int id, const std::string& text) {
  HWND control = FindControl(dialog, id);
  return control != nullptr && SetWindowTextRemote(control, text);
}

std::optional<uint32_t> CheckState(HWND dialog, int id) {
  HWND box = FindControl(dialog, id);
  if (box == nullptr) return std::nullopt;
  bool ok = false;
  const LRESULT state = Send(box, BM_GETCHECK, 0, 0, &ok);
  if (!ok) return std::nullopt;
  return static_cast<uint32_t>(state);
}

}  // namespace driver
