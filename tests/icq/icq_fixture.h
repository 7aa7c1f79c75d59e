// The tray program beside the look-alike messenger: dialogs opened on
// request, the buttons the program adds found by class and id, pressed with
// posted messages, and the key menu answered with posted keys.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "tests/app/tray_fixture.h"
#include "tests/lookalike/lookalike_client.h"

namespace messenger {

inline bool operator==(const Box& a, const Box& b) {
  return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

inline std::ostream& operator<<(std::ostream& os, const Box& b) {
  return os << "(" << b.x << ", " << b.y << ", " << b.width << " x " << b.height << ")";
}

}  // namespace messenger

namespace icq {

// Greek, Cyrillic, a dash, an emoji (a surrogate pair) and a line break:
// nothing of it but the ASCII survives an ANSI code page.
extern const wchar_t kWorldMessage[];

class IcqIntegration : public tray::TrayProgram {
 protected:
  // Keys (a ring of ringCount, MakeKeys), the messenger, then the tray
  // program.
  void StartBoth(int ringCount = 1, tray::FriendKeys friends = tray::FriendKeys::kStrong);
  void StartMessenger();
  // One more messenger, beside the first, and its control window.
  driver::Program StartAnotherMessenger(HWND& control);
  // A run of the tray program; another one after SaveKeys changed the keys.
  void StartProgram();

  HWND Open(messenger::MessengerCommand kind, const char* caption);
  // A dialog showing the given correspondent, with its message already in
  // place, as one arrives.
  HWND Open(messenger::MessengerCommand kind, const char* caption, const Conversation& conversation);
  // Posts a change to a messenger dialog (kMoveControl, kResizeControl).
  void Change(HWND dialog, UINT message, int id, int dx, int dy);

  // PressForMenu and ChooseKey for the program under test.
  HWND PressForMenu(HWND button);
  bool ChooseKey(HWND menu, UINT key);

  // The text after a press of button and a choice of key (VK_HOME, VK_END),
  // waited for to change from what edit holds.
  std::string TransformWith(HWND button, HWND edit, UINT key);

  // A press that needs no key menu (Decrypt on a strong message): the
  // control's wide text once it has changed.
  std::wstring PressAndRead(HWND button, HWND edit);

  // The notice (captioned with the program's name) that a press or command
  // ends with, answered; "" when none came.
  std::string AnswerNotice();

  // The entry of ring that a ?VW3: message names as its recipient by its
  // strong key, or a ?VW2: message by its public point; -1 for none, or for
  // a text that is neither.
  static int StrongRecipient(const std::string& text, const PublicKeyRing& ring);

  driver::Program messenger_;
  driver::Program program_;
  HWND control_ = nullptr;  // the messenger's control window
};

}  // namespace icq
