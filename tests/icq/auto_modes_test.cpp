// The Messages options in the look-alike messenger's dialogs, with the
// correspondent named by the UIN each dialog shows: Encrypt without a key
// menu for a known correspondent, messages decrypted as they arrive, once,
// with their sender named, a message from someone other than the dialog's
// correspondent left (and asked about on a press), the warnings as balloons
// at the tray icon, and none of it while an option is off.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "keys/key_files.h"
#include "keys/registry_names.h"
#include "tests/icq/auto_modes_fixture.h"
#include "tests/keys/test_keys.h"

using namespace icq;
using messenger::kOpenIncomingDialog;
using messenger::kOpenSendDialog;
using messenger::kOpenUnicodeIncomingDialog;
using tray::Party;
using tray::RingEntry;
using tray::WithoutStrongKey;

namespace {

constexpr char kNoKeyBalloon[] =
    "The recipient's public key could not be found and selected, so this message is being sent unencrypted.  "
    "Automatic encryption finds a key by the recipient's UIN: put the UIN into the key's User ID.";
constexpr char kUnencryptedFromAlice[] =
    "The message from Alice 7654321 came unencrypted: anyone on its way could have read or changed it.";

constexpr char kRingNotUsable[] =
    "A message has arrived but was not decrypted: your public key ring cannot be read, or does not belong to your "
    "secret key.  Press Decrypt to see what is wrong.";

constexpr char kCarolFromAliceDialog[] =
    "A message in the dialog of Alice 7654321 is from Carol 5550001, so it has been left encrypted.  Press Decrypt "
    "to read it.";
constexpr char kAskCarolNotAlice[] =
    "This message is from Carol 5550001, not from Alice 7654321.  Show it in this dialog anyway?";
constexpr char kAliceWritesStrong[] =
    "Alice 7654321's program writes strong messages. This older-format text was forged, or Alice 7654321 does not "
    "have your strong key yet: send Alice 7654321 your key file again";
constexpr char kFromCarolOlder[] = "From Carol 5550001, older format: not authenticated.";

const std::string& kMessage = kMeetingMessage;

TEST_F(AutoModes, WithEveryOptionOffPressesAndArrivalsAreAsWithoutThem) {
  // The two warning switches alone change nothing either.
  for (const MessageSettings& options : {MessageSettings{}, MessageSettings{0, 0, 1, 1}}) {
    RunAs(bob_, {bob_, alice_}, options);
    const std::string strong = Strong(kMessage, alice_, bob_);
    HWND strongEdit = Arrive(With(kFromAlice, strong));
    HWND plainEdit = Arrive(With(kFromAlice, "plain hello"));
    // Encrypt for Alice, whose UIN the dialog shows, still asks.
    HWND send = Open(kOpenSendDialog, "Send Online Message", With(kFromAlice, kMessage));
    HWND menu = PressForMenu(WaitForAddedButton(send));
    ASSERT_NE(menu, nullptr) << "no key menu without Auto-Encrypt";
    ASSERT_TRUE(ChooseKey(menu, VK_END));  // Alice
    EXPECT_EQ(StrongRecipient(WaitForTextChange(MessageEdit(send), kMessage), tray::RingOf({bob_, alice_})), 1);
    EXPECT_TRUE(Quiet(driver::kStartOfRun));
    EXPECT_EQ(driver::WindowText(strongEdit), strong) << "decrypted without Auto-Decrypt";
    EXPECT_EQ(driver::WindowText(plainEdit), "plain hello");
    ExitThroughMenu(program_);
  }
}

TEST_F(AutoModes, AutoEncryptTakesTheKnownCorrespondentsKeyWithoutAMenuInItsFormat) {
  // Carol's key has no strong key and is marked for the old format; her UIN
  // is in the caption only.
  ASSERT_TRUE(driver::WriteRegDword(kSettingsKey, KeyIdName(carol_.pub).c_str(), 1));
  RunAs(alice_, {alice_, bob_, WithoutStrongKey(carol_)}, {1, 0, 0, 0});

  HWND send = Open(kOpenSendDialog, "Send Online Message", With(kToBob, kMessage));
  HWND edit = MessageEdit(send);
  PostMessageA(WaitForAddedButton(send), WM_LBUTTONUP, 0, 0);
  const std::string cipher = WaitForTextChange(edit, kMessage);
  int sender = -1;
  EXPECT_EQ(OpenedByBob(cipher, sender), kMessage);
  EXPECT_EQ(sender, 1) << "from Alice";
  EXPECT_TRUE(BecomesReadOnly(edit));
  EXPECT_EQ(SendMessageA(edit, EM_CANUNDO, 0, 0), 0);

  HWND toCarol = Open(kOpenSendDialog, "Send Message to 5550001", With({"", "", ""}, kMessage));
  PostMessageA(WaitForAddedButton(toCarol), WM_LBUTTONUP, 0, 0);
  EXPECT_EQ(WaitForTextChange(MessageEdit(toCarol), kMessage), Old(kMessage, alice_, carol_));
  HWND balloon = driver::WaitForBalloon(
      "The key of Carol 5550001 has no strong key, so this message is not authenticated (and, in the old format, one "
      "guessed message opens it).  Exchanging key files again fixes it.");
  EXPECT_NE(balloon, nullptr) << driver::ShownBalloon().text;

  // Incoming dialogs are not touched without Auto-Decrypt.
  const driver::ScanCounts before = CountsNow();
  const std::string fromBob = Strong("Hi Alice", bob_, alice_);
  HWND incoming = Arrive(With(kToBob, fromBob));
  EXPECT_TRUE(Quiet(before));
  EXPECT_EQ(driver::WindowText(incoming), fromBob);
  ExitThroughMenu(program_);
}

TEST_F(AutoModes, AutoEncryptWithNoOrTwoMatchingKeysSaysWhyAndShowsTheMenu) {
  Party bobNew;
  MakeParty(bobNew, "Bob new 1234567");
  const std::vector<RingEntry> ring = {alice_, bob_, bobNew, carol_};
  RunAs(alice_, ring, {1, 0, 0, 0});
  // Nobody's key holds Dave's UIN; two keys hold Bob's.
  HWND balloon = nullptr;
  for (const Conversation& to : {kStranger, kToBob}) {
    HWND send = Open(kOpenSendDialog, "Send Online Message", With(to, kMessage));
    HWND menu = PressForMenu(WaitForAddedButton(send));
    ASSERT_NE(menu, nullptr) << to.name;
    balloon = WaitForNewBalloon(kNoKeyBalloon, balloon);
    EXPECT_NE(balloon, nullptr) << to.name << ": " << driver::ShownBalloon().text;
    KeepScreenshot("auto-encrypt-no-key.png");
    ASSERT_TRUE(ChooseKey(menu, VK_END));  // Carol
    EXPECT_EQ(StrongRecipient(WaitForTextChange(MessageEdit(send), kMessage), tray::RingOf(ring)), 3);
  }
  ExitThroughMenu(program_);

  // Without the warning the menu comes alone.
  RunAs(alice_, ring, {1, 0, 1, 0});
  HWND send = Open(kOpenSendDialog, "Send Online Message", With(kStranger, kMessage));
  HWND menu = PressForMenu(WaitForAddedButton(send));
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(driver::BalloonsAskedSince(program_.pid(), driver::kStartOfRun), 0u) << driver::ShownBalloon().text;
  ASSERT_TRUE(driver::CloseMenu(menu));
  EXPECT_EQ(driver::WindowText(MessageEdit(send)), kMessage);
  ExitThroughMenu(program_);
}

TEST_F(AutoModes, AutoDecryptOpensStrongAndOldMessagesAsTheyArriveOncePerDialogNamingTheSender) {
  RunAs(bob_, {bob_, alice_, WithoutStrongKey(carol_)}, {0, 1, 0, 0});

  // A strong message names its sender: a dialog whose UIN no key holds does
  // not matter.
  const std::string hello = kMessage + " \xd0\x9f\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82";  // Привет
  const std::string strong = Strong(hello, alice_, bob_);
  HWND dialog = Open(kOpenUnicodeIncomingDialog, "Incoming Message", With(kStranger, strong));
  HWND edit = MessageEdit(dialog);
  ASSERT_NE(WaitForAddedButton(dialog), nullptr);
  const uint64_t equipped = driver::NowMs();
  const std::wstring opened = WaitForTextChangeW(edit, WideFromAnsi(strong));
  const uint64_t elapsed = driver::NowMs() - equipped;
  std::printf("decrypted %llu ms after the button appeared\n", static_cast<unsigned long long>(elapsed));
  EXPECT_EQ(Utf8Of(opened), hello);
  EXPECT_LT(elapsed, 1500u) << "the next tick decrypts it; two are 600 ms";
  EXPECT_TRUE(BecomesReadOnly(edit));
  HWND fromAlice = driver::WaitForBalloon(FromLine(alice_, "Alice 7654321"));
  EXPECT_NE(fromAlice, nullptr) << driver::ShownBalloon().text;
  KeepScreenshot("auto-decrypted.png");
  // Put back by the user, the message stays as they left it.
  const driver::ScanCounts putBack = CountsNow();
  ASSERT_TRUE(driver::SetWindowTextRemote(edit, strong));

  // The old format needs its sender: Carol, whose key has no strong key, is
  // known by her UIN.
  const std::string old = Old(kMessage, carol_, bob_);
  HWND oldEdit = Arrive(With(kFromCarol, old));
  EXPECT_EQ(WaitForTextChange(oldEdit, old), kMessage + std::string(57, ' '));
  HWND fromCarol = driver::WaitForBalloon(kFromCarolOlder);
  EXPECT_NE(fromCarol, nullptr) << driver::ShownBalloon().text;
  EXPECT_TRUE(Quiet(putBack, 1)) << "Carol's balloon alone";
  EXPECT_EQ(driver::WindowText(edit), strong) << "decrypted a second time";
  ExitThroughMenu(program_);
}

TEST_F(AutoModes, AutoDecryptLeavesWhatItCannotOpenForTheDecryptButton) {
  Party dave;
  MakeParty(dave, "Dave");
  RunAs(bob_, {bob_, alice_, WithoutStrongKey(carol_)}, {0, 1, 0, 0});
  // Dave's key is not in Bob's ring; the old format from an unknown UIN
  // has no sender; a strong message changed on the way is refused; the
  // older formats in the name of Alice, whose key has a strong key, are
  // refused too.
  const std::string fromDave = Strong("Hi Bob, it's Dave", dave, bob_);
  const std::string old = Old(kMessage, carol_, bob_);
  std::string changed = Strong(kMessage, alice_, bob_);
  changed[60] = changed[60] == 'A' ? 'B' : 'A';
  const std::string v2FromAlice = V2(kMessage, alice_, bob_);
  const std::string oldFromAlice = Old(kMessage, alice_, bob_);
  HWND daveButton, oldButton, changedButton, v2Button, oldAliceButton;
  HWND daveEdit = Arrive(kOpenIncomingDialog, With(kFromAlice, fromDave), daveButton);
  HWND oldEdit = Arrive(kOpenIncomingDialog, With(kStranger, old), oldButton);
  HWND changedEdit = Arrive(kOpenIncomingDialog, With(kFromAlice, changed), changedButton);
  HWND v2Edit = Arrive(kOpenIncomingDialog, With(kFromAlice, v2FromAlice), v2Button);
  HWND oldAliceEdit = Arrive(kOpenIncomingDialog, With(kFromAlice, oldFromAlice), oldAliceButton);
  EXPECT_TRUE(Quiet(driver::kStartOfRun));
  EXPECT_EQ(driver::WindowText(daveEdit), fromDave);
  EXPECT_EQ(driver::WindowText(oldEdit), old);
  EXPECT_EQ(driver::WindowText(changedEdit), changed);
  EXPECT_EQ(driver::WindowText(v2Edit), v2FromAlice);
  EXPECT_EQ(driver::WindowText(oldAliceEdit), oldFromAlice);

  // The buttons still say why, or ask for the sender.
  PostMessageA(daveButton, WM_LBUTTONUP, 0, 0);
  EXPECT_EQ(AnswerNotice(), "This message comes from a key that is not in your public key ring (key ID " +
                                ShownKeyId(dave.pub, dave.strong) +
                                ").  Import the sender's public key, then decrypt the message again.");
  PostMessageA(changedButton, WM_LBUTTONUP, 0, 0);
  EXPECT_EQ(AnswerNotice(), "This message was changed on the way, or was not encrypted for you.");
  PostMessageA(v2Button, WM_LBUTTONUP, 0, 0);
  EXPECT_EQ(AnswerNotice(), kAliceWritesStrong);
  EXPECT_EQ(TransformWith(oldButton, oldEdit, VK_END), kMessage + std::string(57, ' '));  // Carol
  EXPECT_EQ(driver::WindowText(v2Edit), v2FromAlice);
  ExitThroughMenu(program_);
}

// Alice's dialog shows a message that Carol wrote: a key in the ring may
// write to us, but not as someone else. Auto-Decrypt leaves it with a
// balloon that names both; the Decrypt button asks first, and writes
// nothing on No.
TEST_F(AutoModes, MessageFromAnotherThanTheDialogsCorrespondentIsLeftOrAskedAbout) {
  RunAs(bob_, {bob_, alice_, carol_}, {0, 1, 0, 0});
  const std::string fromCarol = Strong(kMessage, carol_, bob_);
  HWND button;
  HWND edit = Arrive(kOpenIncomingDialog, With(kFromAlice, fromCarol), button);
  EXPECT_NE(driver::WaitForBalloon(kCarolFromAliceDialog), nullptr) << driver::ShownBalloon().text;
  KeepScreenshot("auto-decrypt-other-sender.png");
  EXPECT_EQ(driver::WindowText(edit), fromCarol);

  PostMessageA(button, WM_LBUTTONUP, 0, 0);
  std::string question;
  ASSERT_TRUE(driver::AnswerMessageBox(tray::kQuestionCaption, IDNO, &question, program_.pid()));
  EXPECT_EQ(question, kAskCarolNotAlice);
  // The press has ended once passes have run after it.
  EXPECT_TRUE(driver::WaitScanPasses(program_.pid(), 2));
  EXPECT_EQ(driver::WindowText(edit), fromCarol);

  PostMessageA(button, WM_LBUTTONUP, 0, 0);
  ASSERT_TRUE(driver::AnswerMessageBox(tray::kQuestionCaption, IDYES, nullptr, program_.pid()));
  EXPECT_EQ(WaitForTextChange(edit, fromCarol), kMessage);
  EXPECT_NE(driver::WaitForBalloon(FromLine(carol_, "Carol 5550001")), nullptr) << driver::ShownBalloon().text;

  // Carol's message in her own dialog opens as it arrives.
  HWND own = Arrive(With(kFromCarol, fromCarol));
  EXPECT_EQ(WaitForTextChange(own, fromCarol), kMessage);
  ExitThroughMenu(program_);
}

TEST_F(AutoModes, UnencryptedMessageFromAKnownCorrespondentWarnsOnceUnlessSwitchedOff) {
  RunAs(bob_, {bob_, alice_}, {0, 1, 0, 0});
  HWND edit = Arrive(With(kFromAlice, "Hello Bob, see you at noon."));
  HWND balloon = driver::WaitForBalloon(kUnencryptedFromAlice);
  ASSERT_NE(balloon, nullptr) << driver::ShownBalloon().text;
  KeepScreenshot("insecure-message-balloon.png");
  // From a UIN that no key holds, or empty: nobody to warn about; and the
  // warning is not raised again.
  HWND stranger = Arrive(With(kStranger, "Hi, it's Dave"));
  Arrive(kFromAlice);
  EXPECT_TRUE(Quiet(driver::kStartOfRun, 1)) << "the warning alone";
  EXPECT_EQ(driver::WindowText(edit), "Hello Bob, see you at noon.");
  EXPECT_EQ(driver::WindowText(stranger), "Hi, it's Dave");
  ExitThroughMenu(program_);

  RunAs(bob_, {bob_, alice_}, {0, 1, 0, 1});
  edit = Arrive(With(kFromAlice, "Hello again"));
  EXPECT_TRUE(Quiet(driver::kStartOfRun));
  EXPECT_EQ(driver::WindowText(edit), "Hello again");
  ExitThroughMenu(program_);
}

TEST_F(AutoModes, ABalloonRaisedInATickHoldsUpNoOtherDialog) {
  RunAs(bob_, {bob_, alice_}, {0, 1, 0, 0});
  Arrive(With(kFromAlice, "plain, with a warning"));
  ASSERT_NE(driver::WaitForBalloon(kUnencryptedFromAlice), nullptr);
  // While it shows, new dialogs get their buttons and a message its
  // decryption, tick after tick; the decryption's balloon follows.
  const std::string strong = Strong(kMessage, alice_, bob_);
  HWND send = Open(kOpenSendDialog, "Send Message", kToBob);
  HWND edit = Arrive(With(kFromAlice, strong));
  ASSERT_TRUE(driver::WaitScanPasses(program_.pid(), 2));
  EXPECT_NE(WaitForAddedButton(send, 0), nullptr) << "two passes went by without its button";
  EXPECT_EQ(WaitForTextChange(edit, strong), kMessage);
  EXPECT_NE(driver::WaitForBalloon(FromLine(alice_, "Alice 7654321")), nullptr) << driver::ShownBalloon().text;
  EXPECT_EQ(driver::WaitForMessageBox("Vaultwing for ICQ", program_.pid(), 0), nullptr);
  ExitThroughMenu(program_);
  EXPECT_TRUE(driver::PollUntil(driver::kDefaultTimeoutMs, [] { return driver::ShownBalloon().window == nullptr; }))
      << "the balloon goes with the tray icon";
}

// The key files replaced while the program runs (vwg keygen --force): the
// ring's first key is no longer the secret key's, or holds another strong
// key than the secret key's. A tick says so in a balloon and leaves the
// message; the Decrypt button names both files.
TEST_F(AutoModes, ARingOfAnotherPairFoundInATickIsABalloonNotABox) {
  const std::string strong = Strong(kMessage, alice_, bob_);
  for (const RingEntry& own : {RingEntry(alice_), RingEntry(bob_.pub, carol_.strong)}) {
    RunAs(bob_, {bob_, alice_}, {0, 1, 0, 0});
    SaveKeys({own, carol_}, alice_.secret);
    HWND button;
    HWND edit = Arrive(kOpenIncomingDialog, With(kFromAlice, strong), button);
    EXPECT_NE(driver::WaitForBalloon(kRingNotUsable), nullptr) << driver::ShownBalloon().text;
    // The tick went on: a dialog opened now gets its button.
    HWND send = Open(kOpenSendDialog, "Send Message", kToBob);
    ASSERT_TRUE(driver::WaitScanPasses(program_.pid(), 2));
    EXPECT_NE(WaitForAddedButton(send, 0), nullptr) << "two passes went by without its button";
    EXPECT_EQ(driver::WaitForMessageBox(tray::kErrorCaption, program_.pid(), 0), nullptr);
    EXPECT_EQ(driver::WindowText(edit), strong);

    PostMessageA(button, WM_LBUTTONUP, 0, 0);
    std::string text;
    ASSERT_TRUE(driver::AnswerMessageBox(tray::kErrorCaption, IDOK, &text, program_.pid()));
    EXPECT_EQ(text, KeyPairMismatchText(secretPath_.c_str(), publicPath_.c_str()));
    EXPECT_EQ(driver::WindowText(edit), strong);
    ExitThroughMenu(program_);
  }
}

}  // namespace
