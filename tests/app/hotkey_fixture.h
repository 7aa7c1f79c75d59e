// What the hotkey suites share: the tray program run with my key, Alice's
// and Bob's, all with strong keys, and a written message opened with the
// recipient's secret key, as the recipient's program would open it.
#pragma once

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

  // The press's balloon: pid has asked for one since before (its counts
  // just before the press), and the balloon shown says text.
  static ::testing::AssertionResult BalloonOfPress(DWORD pid, const driver::ScanCounts& before,
                                                   const std::string& text);

  Party me_, alice_, bob_;
};

}  // namespace tray
