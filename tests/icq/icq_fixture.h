// The tray program beside the look-alike messenger: dialogs opened on
// request, the buttons the program adds found by class and id, pressed with
// posted messages, and the key menu answered with posted keys.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "tests/app/tray_fixture.h"
#include "tests/lookalike/messenger_protocol.h"

namespace messenger {

inline bool operator==(const Box& a, const Box& b) {
  return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

inline std::ostream& operator<<(std::ostream& os, const Box& b) {
  return os << "(" << b.x << ", " << b.y << ", " << b.width << " x " << b.height << ")";
}

}  // namespace messenger

namespace icq {

// Control ids of the added buttons: base plus the count of listed dialogs.
constexpr int kEncryptBase = 8000;
constexpr int kDecryptBase = 3000;

// A window's rectangle in the client coordinates of dialog.
messenger::Box ClientBox(HWND window, HWND dialog);

// The added buttons of dialog: its direct children of class "BUTTON" whose
// ids lie in 3000..3099 or 8000..8099.
std::vector<HWND> AddedButtons(HWND dialog);

// The one added button of dialog, polled for; null if there is none by then.
HWND WaitForAddedButton(HWND dialog, uint32_t timeoutMs = driver::kDefaultTimeoutMs);

// The message edit of a look-alike dialog (of its inner dialog if it has one).
HWND MessageEdit(HWND dialog);

bool IsReadOnly(HWND edit);

// The edit's text once it differs from old, or old after timeoutMs.
std::string WaitForTextChange(HWND edit, const std::string& old, uint32_t timeoutMs = driver::kDefaultTimeoutMs);

class IcqIntegration : public tray::TrayProgram {
 protected:
  // Keys (a ring of ringCount), the messenger, then the tray program.
  void StartBoth(int ringCount = 1);
  void StartMessenger();
  // A run of the tray program; another one after SaveKeys changed the keys.
  void StartProgram();

  HWND Open(messenger::MessengerCommand kind, const char* caption);
  // Posts a change to a messenger dialog (kMoveControl, kResizeControl).
  void Change(HWND dialog, UINT message, int id, int dx, int dy);

  // Presses an added button as the mouse does, and waits for the key menu.
  HWND PressForMenu(HWND button);
  // In the open key menu: opens the key list, moves to its first (VK_HOME)
  // or last (VK_END) item and chooses it. True once the menus have closed.
  bool ChooseKey(HWND menu, UINT key);

  // The text after a press of button and a choice of key (VK_HOME, VK_END),
  // waited for to change from what edit holds.
  std::string TransformWith(HWND button, HWND edit, UINT key);

  driver::Program messenger_;
  driver::Program program_;
  HWND control_ = nullptr;  // the messenger's control window
};

}  // namespace icq
