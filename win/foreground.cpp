#include "win/foreground.h"

namespace {

// Read once: the seam holds for the whole run.
bool RefusedForTests() {
  static const bool refused = [] {
    char value[4];
    const DWORD length = GetEnvironmentVariableA(kForegroundRefusedVariable, value, sizeof value);
    return length == 1 && value[0] == '1';
  }();
  return refused;
}

// Attaches the calling thread's input to thread's for the holder's life;
// nothing for the calling thread itself or a thread already attached.
class InputAttachment {
 public:
  InputAttachment(DWORD thread, DWORD other = 0)
      : own_(GetCurrentThreadId()),
        thread_(thread),
        attached_(thread != 0 && thread != own_ && thread != other && AttachThreadInput(own_, thread, TRUE)) {}
  ~InputAttachment() {
    if (attached_) AttachThreadInput(own_, thread_, FALSE);
  }
  InputAttachment(const InputAttachment&) = delete;
  InputAttachment& operator=(const InputAttachment&) = delete;

 private:
  DWORD own_, thread_;
  bool attached_;
};

}  // namespace

bool TakeForeground(HWND window, HWND focus) {
  const DWORD front = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
  const DWORD target = GetWindowThreadProcessId(window, nullptr);
  {
    const InputAttachment toFront(front);
    const InputAttachment toTarget(target, front);
    SetForegroundWindow(window);
    if (focus) SetFocus(focus);
  }
  // Detaching gives our thread an input queue of its own again; where that
  // leaves no foreground window at all (Wine does so for a window of ours),
  // the window is set once more, on our own input.
  if (GetForegroundWindow() != window) SetForegroundWindow(window);
  return !RefusedForTests() && GetForegroundWindow() == window;
}
