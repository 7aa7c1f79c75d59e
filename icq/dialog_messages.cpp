#include "icq/dialog_messages.h"

#include <algorithm>
#include <vector>

namespace {

// The dialogs (top-level windows) that did not answer in the last
// kDialogQuietMs, and when. A handful at most: expired ones are dropped at
// every look.
struct Unanswered {
  HWND dialog;
  ULONGLONG since;
};
std::vector<Unanswered> Quiet;

bool IsQuiet(HWND dialog, ULONGLONG now) {
  Quiet.erase(std::remove_if(Quiet.begin(), Quiet.end(),
                             [now](const Unanswered& u) { return now - u.since >= kDialogQuietMs; }),
              Quiet.end());
  return std::any_of(Quiet.begin(), Quiet.end(), [dialog](const Unanswered& u) { return u.dialog == dialog; });
}

}  // namespace

template <typename Function>
bool DialogMessages::SendWith(Function send, HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                              LRESULT* result) {
  const HWND dialog = GetAncestor(window, GA_ROOT);
  const ULONGLONG now = GetTickCount64();
  DWORD_PTR answer = 0;
  // While the call waits, messages sent to our thread are still handled;
  // posted ones (the tray icon's clicks, the next tick) wait for its end.
  const bool sent = answered_ && !IsQuiet(dialog, now) &&
                    send(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kDialogAnswerMs, &answer) != 0;
  if (!sent && IsWindow(window)) {
    if (answered_ && !IsQuiet(dialog, now)) Quiet.push_back({dialog, now});
    answered_ = false;
  }
  if (result) *result = sent ? static_cast<LRESULT>(answer) : 0;
  return sent;
}

bool DialogMessages::SendA(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  return SendWith(SendMessageTimeoutA, window, message, wParam, lParam, result);
}

bool DialogMessages::SendW(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  return SendWith(SendMessageTimeoutW, window, message, wParam, lParam, result);
}

bool DialogAnswers(HWND window) {
  DialogMessages messages;
  messages.SendA(window, WM_NULL, 0, 0);
  return messages.answered();
}
