// A text offered on the clipboard by delayed rendering: its bytes are handed
// out only when a program asks for them, so that the one who offers it
// learns when the program it pastes into has taken it. Until then the
// clipboard that the paste replaced must not be put back, or the paste could
// take that instead.
#pragma once

#include <windows.h>

#include <string>

class OfferedText {
 public:
  // A text for the windows of the process taker.
  OfferedText(const std::wstring& text, DWORD taker);
  OfferedText(const OfferedText&) = delete;
  OfferedText& operator=(const OfferedText&) = delete;
  ~OfferedText();

  // Empties the clipboard and offers the text as CF_UNICODETEXT (the system
  // makes the other text formats from it). False when the clipboard could
  // not be opened.
  bool Offer();
  // True once the text has been rendered for a window of the taker's
  // process and that window has closed the clipboard since.
  bool Taken() const;
  // Puts the text itself on the clipboard, where it stays, unless another
  // program has replaced the offer meanwhile.
  void Leave();

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // Hands the text to the clipboard, which the asker holds open.
  void Render();

  std::wstring text_;
  DWORD taker_;
  HWND window_ = nullptr;
  bool rendered_ = false;
};
