#include "tests/app/hotkey_fixture.h"

#include <cstdio>

#include "keys/formats/v3_message.h"
#include "tests/lookalike/lookalike_client.h"

namespace tray {

HotkeyProgram::HotkeyProgram() {
  MakeParty(me_, "Me");
  MakeParty(alice_, "Alice");
  MakeParty(bob_, "Bob");
  ring_ = RingOf({me_, alice_, bob_});
  SaveKeys({me_, alice_, bob_}, me_.secret);
}

std::string HotkeyProgram::OpenFor(const Party& party, const std::wstring& text) {
  std::string plain;
  V3Parties parties;
  const StrongStatus status = DecryptV3Message(icq::Utf8Of(text), party.secret, party.strong, ring_.strong.data(),
                                               ring_.count(), -1, plain, parties);
  EXPECT_EQ(status, StrongStatus::kOk) << icq::Utf8Of(text);
  EXPECT_EQ(parties.senderIndex, 0);
  return plain;
}

bool HotkeyProgram::Press(DWORD pid, std::initializer_list<WORD> keys) {
  beforePress_ = driver::CountsNow(pid);
  pressedAt_ = driver::NowMs();
  return driver::PressKeys(keys);
}

::testing::AssertionResult HotkeyProgram::BalloonOfPress(DWORD pid, const std::string& text) const {
  if (!driver::WaitForBalloonsAsked(pid, beforePress_)) {
    HWND box = driver::WaitForMessageBox(kErrorCaption, pid, 0);
    return ::testing::AssertionFailure() << "no balloon asked for since the press; the one shown says \""
                                         << driver::ShownBalloon().text << "\"; an error box says \""
                                         << (box ? driver::MessageBoxText(box) : "(no box)") << "\"";
  }
  if (driver::WaitForBalloon(text) == nullptr)
    return ::testing::AssertionFailure() << "the balloon shown says \"" << driver::ShownBalloon().text << "\"";
  return ::testing::AssertionSuccess();
}

void HotkeyProgram::PrintTimeSincePress(const std::string& what) const {
  std::printf("[ timing ] hotkey to %s: %llu ms\n", what.c_str(),
              static_cast<unsigned long long>(driver::NowMs() - pressedAt_));
}

}  // namespace tray
