// What the hotkey suites share: the tray program run with my key, Alice's
// and Bob's, all with strong keys, and a written message opened with the
// recipient's secret key, as the recipient's program would open it.
#pragma once

#include <initializer_list>
#include <string>

#include "tests/app/tray_fixture.h"

namespace tray {

constexpr char kNothingToEncrypt[] =
    "There is no text to encrypt here.  Click into the box where you write, type the message, then press the Encrypt "
    "hotkey.";

class HotkeyProgram : public TrayProgram {
 protected:
  // Me, Alice and Bob; the ring in that order, saved with my secret key.
  HotkeyProgram();

  // The ?VW3: message's text for the party, from me; "" when it does not
  // open.
  std::string OpenFor(const Party& party, const std::wstring& text);

  // Presses keys as the user does, after noting the time and pid's counts.
  // The counts are taken once a pass has ended, so that the balloon of the
  // press before is counted already.
  bool Press(DWORD pid, std::initializer_list<WORD> keys);
  // The last press's balloon: pid has asked for one since the press, and
  // the balloon shown says text.
  ::testing::AssertionResult BalloonOfPress(DWORD pid, const std::string& text) const;
  // "[ timing ] hotkey to what: N ms", N the time since the last press.
  void PrintTimeSincePress(const std::string& what) const;

  Party me_, alice_, bob_;

 private:
  driver::ScanCounts beforePress_;
  uint64_t pressedAt_ = 0;
};

}  // namespace tray
