#include "win/wait_until.h"

#include <algorithm>

namespace {

// What is waited on (a key released, the clipboard's sequence number) sends
// no message of its own: it is looked at again this often.
constexpr DWORD kLookAgainMs = 5;

}  // namespace

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  const ULONGLONG until = GetTickCount64() + timeoutMs;
  for (;;) {
    if (done()) return true;
    const ULONGLONG now = GetTickCount64();
    if (now >= until) return false;
    const DWORD slice = static_cast<DWORD>(std::min<ULONGLONG>(until - now, kLookAgainMs));
    MsgWaitForMultipleObjectsEx(0, nullptr, slice, QS_SENDMESSAGE | QS_HOTKEY, 0);
    MSG msg;
    // Answers the messages sent to us; takes only hotkeys off the queue.
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    while (PeekMessageA(&msg, nullptr, WM_HOTKEY, WM_HOTKEY, PM_REMOVE)) {
    }
  }
}
