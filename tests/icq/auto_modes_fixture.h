// The tray program with the Messages options set as a test needs them,
// beside the look-alike messenger, whose dialogs show their correspondent's
// name and UIN; Alice, Bob and Carol, whose keys have strong keys; and the
// messages they write to each other in each format. docs/testing.md says
// how a balloon is seen under Wine.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/icq/icq_fixture.h"

namespace icq {

const std::string kMeetingMessage = "Meet me at the station at noon and bring the documents. OK!";

// Who a dialog shows: the correspondents of the rings the tests use, and one
// whose UIN no key holds.
const Conversation kFromAlice{"Alice", "7654321", ""};
const Conversation kToBob{"Bob", "1234567", ""};
const Conversation kStranger{"Dave", "9999999", ""};
const Conversation kFromCarol{"Carol", "5550001", ""};

// conversation with message in its dialog.
Conversation With(Conversation conversation, const std::string& message);

// The Messages options as the program finds them at start-up.
struct MessageSettings {
  uint32_t autoEncrypt = 0, autoDecrypt = 0, noEncryptWarning = 0, noInsecureWarning = 0;
};

class AutoModes : public IcqIntegration {
 protected:
  // The three parties' keys, and the messenger.
  void SetUp() override;

  // A run of the tray program with owner's keys and settings.
  void RunAs(const tray::Party& owner, const std::vector<tray::RingEntry>& ring, const MessageSettings& settings);

  // An incoming dialog as it arrives: its message edit, and its button.
  HWND Arrive(messenger::MessengerCommand kind, const Conversation& conversation, HWND& button);
  HWND Arrive(const Conversation& conversation);

  // Once two more scan passes have finished (so that what the test did has
  // been seen by a whole pass): no menu or box of the program is open, and
  // exactly balloons balloons have been asked for since before was taken.
  // The count is read from the program: Wine shows a balloon only 2 s after
  // it is asked for.
  ::testing::AssertionResult Quiet(const driver::ScanCounts& before, unsigned balloons = 0);
  // The program's counts now (driver::CountsNow), for a later Quiet.
  driver::ScanCounts CountsNow();

  // A balloon with text in another window than before: raised anew.
  static HWND WaitForNewBalloon(const std::string& text, HWND before);

  // Messages made here: ?VW3:, ?VW2: and the old format.
  static std::string Strong(const std::string& message, const tray::Party& sender, const tray::Party& recipient);
  static std::string V2(const std::string& message, const tray::Party& sender, const tray::Party& recipient);
  static std::string Old(const std::string& message, const tray::Party& sender, const tray::Party& recipient);

  // What Bob's keys make of a ?VW3: message: its text, and its sender's
  // index in Bob's ring {Bob, Alice}.
  std::string OpenedByBob(const std::string& cipher, int& sender);

  // The balloon that names party as a ?VW3: message's sender.
  static std::string FromLine(const tray::Party& party, const char* name);

  tray::Party alice_, bob_, carol_;
};

}  // namespace icq
