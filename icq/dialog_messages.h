// Messages to ICQ's dialogs and their controls, which belong to another
// program: one that has stopped answering must not stop ours with it (a
// scan tick that waited on it would hold up every other dialog, the tray
// menu and the buttons). Each message is sent with SendMessageTimeout,
// SMTO_ABORTIFHUNG and kDialogAnswerMs. Once a message goes unanswered, the
// rest of its conversation is not sent, and nothing is sent to its dialog
// for kDialogQuietMs, so that a hung dialog costs one wait in that time
// rather than one per message, tick or repaint; the system stops waiting
// on a thread by itself once it has been hung for 5 s (SMTO_ABORTIFHUNG).
// Our own buttons in those dialogs run on our thread and are sent to
// directly.
#pragma once

#include <windows.h>

constexpr UINT kDialogAnswerMs = 500;
constexpr DWORD kDialogQuietMs = 2000;

// One conversation with a dialog: what an action or a tick sends it, in
// order, from its first message to its last.
class DialogMessages {
 public:
  // Sends message to window through the ANSI or the wide functions. True
  // with the answer in *result (when result is not null); false, with
  // *result 0, when window is gone, or did not answer in time, or an
  // earlier message of the conversation or to the same dialog lately did
  // not.
  bool SendA(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result = nullptr);
  bool SendW(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result = nullptr);

  // False once a window that still exists has not answered: the dialog is
  // to be left for later, and nothing after that message has been sent. A
  // window that is gone is no failure to answer: its dialog has closed.
  bool answered() const { return answered_; }

 private:
  template <typename Function>
  bool SendWith(Function send, HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
  bool answered_ = true;
};

// True when window's dialog answers a message now (WM_NULL), or is gone.
bool DialogAnswers(HWND window);
