// Strong messages through the look-alike messenger's dialogs: written by one
// run of the tray program with Alice's keys and read by another with Bob's,
// every character kept through Unicode controls, the sender named in a
// balloon; refused messages left as they were, with a notice. The format
// follows the recipient's key: ?VW3: to a strong key, whatever its mark;
// ?VW2:, or the old format where marked, to a key without one, with a
// balloon the first time; and the older formats are read only from a key
// without a strong key.
#include <windows.h>

#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "keys/formats/cipher.h"
#include "keys/formats/strong_message.h"
#include "keys/formats/v3_message.h"
#include "keys/registry_names.h"
#include "tests/icq/icq_fixture.h"
#include "tests/keys/test_keys.h"

using namespace icq;
using messenger::kOpenIncomingDialog;
using messenger::kOpenSendDialog;
using messenger::kOpenUnicodeIncomingDialog;
using messenger::kOpenUnicodeSendDialog;
using tray::Party;
using tray::RingEntry;
using tray::WithoutStrongKey;

namespace {

const std::string kAsciiMessage = "Meet me at the station at noon and bring the documents. OK!";
constexpr char kChanged[] = "This message was changed on the way, or was not encrypted for you.";
constexpr char kBobHasNoStrongKey[] =
    "The key of Bob has no strong key, so this message is not authenticated (and, in the old format, one guessed "
    "message opens it).  Exchanging key files again fixes it.";
constexpr char kAliceWritesStrong[] =
    "Alice's program writes strong messages. This older-format text was forged, or Alice does not have your strong "
    "key yet: send Alice your key file again";
constexpr char kFromAliceOlder[] = "From Alice, older format: not authenticated.";

uint64_t Now() { return static_cast<uint64_t>(std::time(nullptr)); }

class StrongDialogs : public IcqIntegration {
 protected:
  void SetUp() override {
    MakeParty(alice_, "Alice");
    MakeParty(bob_, "Bob");
    MakeParty(carol_, "Carol");
    StartMessenger();
  }

  // A run of the tray program with owner's secret key and ring.
  void RunAs(const Party& owner, const std::vector<RingEntry>& ring) {
    SaveKeys(ring, owner.secret);
    StartProgram();
  }

  // An incoming dialog showing text, and its Decrypt button.
  HWND Receive(messenger::MessengerCommand kind, const std::string& text, HWND& button) {
    HWND dialog = Open(kind, "Incoming Message from Alice");
    HWND edit = MessageEdit(dialog);
    EXPECT_TRUE(driver::SetWindowTextRemote(edit, text));
    button = WaitForAddedButton(dialog);
    return edit;
  }

  // A send dialog holding message, and the text its Encrypt button makes
  // with the key the menu's key (VK_HOME, VK_END) chooses.
  std::string EncryptInDialog(const std::string& message, UINT key) {
    HWND send = Open(kOpenSendDialog, "Send Message");
    HWND edit = MessageEdit(send);
    EXPECT_TRUE(driver::SetWindowTextRemote(edit, message));
    return TransformWith(WaitForAddedButton(send), edit, key);
  }

  // The notice a press of button ends with; the dialog's text must stay.
  std::string RefusedPress(HWND button, HWND edit) {
    const std::string before = driver::WindowText(edit);
    PostMessageA(button, WM_LBUTTONUP, 0, 0);
    const std::string notice = AnswerNotice();
    EXPECT_EQ(driver::WindowText(edit), before);
    return notice;
  }

  // Messages made here: ?VW3: at a given time of writing, ?VW2:, old format.
  static std::string V3(const std::string& message, const Party& sender, const Party& recipient,
                        uint64_t written = Now()) {
    std::string text;
    EXPECT_EQ(EncryptV3Message(message, written, sender.secret, sender.strong, recipient.strong, text),
              StrongStatus::kOk);
    return text;
  }
  static std::string V2(const std::string& message, const Party& sender, const Party& recipient) {
    std::string text;
    EXPECT_EQ(EncryptStrongMessage(message, sender.secret, sender.pub, recipient.pub, text), StrongStatus::kOk);
    return text;
  }
  static std::string Old(const std::string& message, const Party& sender, const Party& recipient) {
    std::string text;
    EXPECT_TRUE(EncryptText(message, sender.secret, recipient.point, text));
    return text;
  }

  static std::string FromLine(const Party& sender) {
    return "From " + DisplayName(sender) + " (" + ShownKeyId(sender.pub, sender.strong) + ").";
  }
  static std::string DisplayName(const Party& party) {
    char id[kUserIdBytes + 1];
    GetUserId(party.pub, id);
    return id;
  }

  Party alice_, bob_, carol_;
};

TEST_F(StrongDialogs, CorrespondentsProgramReadsEveryCharacterWithoutAKeyMenuAndNamesTheSender) {
  RunAs(alice_, {alice_, bob_});
  HWND send = Open(kOpenUnicodeSendDialog, "Send Online Message (Bob)");
  HWND edit = MessageEdit(send);
  ASSERT_TRUE(driver::SetWindowTextRemoteW(edit, kWorldMessage));
  ASSERT_EQ(driver::WindowTextW(edit), kWorldMessage) << "the look-alike's control is not a Unicode one";
  // Bob is the last key of Alice's ring.
  const std::string cipher = TransformWith(WaitForAddedButton(send), edit, VK_END);
  EXPECT_EQ(cipher.rfind(kV3Prefix, 0), 0u) << cipher;
  EXPECT_EQ(StrongRecipient(cipher, tray::RingOf({alice_, bob_})), 1) << cipher;
  EXPECT_TRUE(BecomesReadOnly(edit));
  EXPECT_EQ(SendMessageA(edit, EM_CANUNDO, 0, 0), 0);
  // What Bob's keys open: the message as UTF-8, from Alice, written now.
  const PublicKeyRing bobsRing = tray::RingOf({bob_, alice_});
  std::string plain;
  V3Parties parties;
  ASSERT_EQ(DecryptV3Message(cipher, bob_.secret, bob_.strong, bobsRing.strong.data(), 2, -1, plain, parties),
            StrongStatus::kOk);
  EXPECT_EQ(plain, Utf8Of(kWorldMessage));
  EXPECT_EQ(parties.senderIndex, 1);
  EXPECT_LE(Now() - parties.written, 60u);
  KeepScreenshot("strong-encrypted.png");
  EXPECT_EQ(driver::BalloonsAskedSince(program_.pid(), driver::kStartOfRun), 0u)
      << "a strong key needs no warning: " << driver::ShownBalloon().text;
  ExitThroughMenu(program_);

  RunAs(bob_, {bob_, alice_});
  HWND button;
  HWND received = Receive(kOpenUnicodeIncomingDialog, cipher, button);
  // Wrapped on its way, as a narrow window or a mail program does.
  const std::string wrapped = cipher.substr(0, 40) + "\r\n" + cipher.substr(40, 40) + "\r\n" + cipher.substr(80);
  ASSERT_TRUE(driver::SetWindowTextRemote(received, wrapped));
  EXPECT_EQ(PressAndRead(button, received), kWorldMessage);
  EXPECT_EQ(driver::OpenMenuCount(program_.pid()), 0);
  EXPECT_NE(driver::WaitForBalloon(FromLine(alice_)), nullptr) << driver::ShownBalloon().text;
  KeepScreenshot("strong-decrypted.png");
  ExitThroughMenu(program_);
}

// An ANSI control's text is taken in the system's code page, whatever its
// bytes above 127 mean there, and comes back as the same characters.
TEST_F(StrongDialogs, AnsiControlsTextIsTakenInTheSystemCodePage) {
  RunAs(alice_, {alice_, bob_});
  const std::string ansi = "Caf\xe9 \x80 5, na\xefve \xb0 ok";
  const std::string cipher = EncryptInDialog(ansi, VK_HOME);
  std::string plain;
  V3Parties parties;
  ASSERT_EQ(DecryptV3Message(cipher, alice_.secret, alice_.strong, &alice_.strong, 1, -1, plain, parties),
            StrongStatus::kOk);
  EXPECT_EQ(plain, Utf8Of(WideFromAnsi(ansi)));

  HWND button;
  HWND received = Receive(kOpenIncomingDialog, cipher, button);
  EXPECT_EQ(PressAndRead(button, received), WideFromAnsi(ansi));
  EXPECT_EQ(driver::WindowText(received), ansi);
  ExitThroughMenu(program_);
}

TEST_F(StrongDialogs, RefusedMessagesGetANoticeAndStayAsTheyWere) {
  RunAs(bob_, {bob_, alice_});
  const std::string fromAlice = V3("Hi Bob", alice_, bob_);
  std::string changed = fromAlice;
  changed[60] = changed[60] == 'A' ? 'B' : 'A';
  const std::string forCarol = V3("Hi Carol", alice_, carol_);
  const std::string fromCarol = V3("Hi Bob, it's Carol", carol_, bob_);

  // Unknown sender: named by the strong key ID its key is known by, with
  // what to do.
  HWND button;
  HWND edit = Receive(kOpenUnicodeIncomingDialog, fromCarol, button);
  PostMessageA(button, WM_LBUTTONUP, 0, 0);
  ASSERT_TRUE(driver::WaitForMessageBox("Vaultwing for ICQ", program_.pid()));
  KeepScreenshot("decrypt-unknown-sender.png");
  EXPECT_EQ(AnswerNotice(), "This message comes from a key that is not in your public key ring (key ID " +
                                ShownKeyId(carol_.pub, carol_.strong) +
                                ").  Import the sender's public key, then decrypt the message again.");
  EXPECT_EQ(driver::WindowText(edit), fromCarol);

  // One character changed, a message for another key, and one whose Base64
  // is broken all get the same notice.
  for (const std::string& text : {changed, forCarol, std::string("?VW3:AtAWrNev*PagfQvxrUGDNLk.")}) {
    edit = Receive(kOpenIncomingDialog, text, button);
    EXPECT_EQ(RefusedPress(button, edit), kChanged) << text;
    EXPECT_EQ(driver::OpenMenuCount(program_.pid()), 0) << "no key to choose for a refused message";
  }

  // The genuine message still opens.
  edit = Receive(kOpenIncomingDialog, fromAlice, button);
  EXPECT_EQ(PressAndRead(button, edit), L"Hi Bob");
  ExitThroughMenu(program_);
}

// A message written two days ago, or an hour ahead of the reader's clock,
// is read, and the balloon says when it was written.
TEST_F(StrongDialogs, MessageOutOfTimeIsReadAndSaysWhenItWasWritten) {
  RunAs(bob_, {bob_, alice_});
  const uint64_t twoDaysAgo = Now() - 2 * 86400;
  const uint64_t anHourAhead = Now() + 3600;
  for (const uint64_t written : {twoDaysAgo, anHourAhead}) {
    HWND button;
    HWND edit = Receive(kOpenIncomingDialog, V3(kAsciiMessage, alice_, bob_, written), button);
    EXPECT_EQ(PressAndRead(button, edit), std::wstring(kAsciiMessage.begin(), kAsciiMessage.end()));
    const std::string line = "From Alice (" + ShownKeyId(alice_.pub, alice_.strong) + "), written " +
                             UtcTimeText(written) + " UTC.";
    EXPECT_NE(driver::WaitForBalloon(line), nullptr) << driver::ShownBalloon().text;
  }
  ExitThroughMenu(program_);
}

// A key without a strong key, its owner's program not moved on yet, gets
// ?VW2: and, once per key and run, a balloon; a strong key gets ?VW3:.
TEST_F(StrongDialogs, KeyWithoutAStrongKeyGetsTheOlderFormatWithABalloonOnce) {
  RunAs(alice_, {alice_, WithoutStrongKey(bob_)});
  const std::string first = EncryptInDialog(kAsciiMessage, VK_END);  // Bob
  EXPECT_EQ(first.rfind(kStrongPrefix, 0), 0u) << first;
  std::string plain;
  StrongParties parties;
  const PublicKeyRecord bobsRing[] = {bob_.pub, alice_.pub};
  ASSERT_EQ(DecryptStrongMessage(first, bob_.secret, bob_.pub, bobsRing, 2, -1, plain, parties), StrongStatus::kOk);
  EXPECT_EQ(plain, kAsciiMessage);
  HWND balloon = driver::WaitForBalloon(kBobHasNoStrongKey);
  EXPECT_NE(balloon, nullptr) << driver::ShownBalloon().text;
  KeepScreenshot("sent-without-strong-key.png");

  // The second message to Bob raises no new balloon; the owner's own
  // strong key gets ?VW3:.
  const driver::ScanCounts before = driver::CountsNow(program_.pid());
  EXPECT_EQ(EncryptInDialog(kAsciiMessage, VK_END).rfind(kStrongPrefix, 0), 0u);
  EXPECT_EQ(EncryptInDialog(kAsciiMessage, VK_HOME).rfind(kV3Prefix, 0), 0u);
  EXPECT_EQ(driver::BalloonsAskedSince(program_.pid(), before), 0u) << driver::ShownBalloon().text;
  ExitThroughMenu(program_);
}

// The old-format mark counts only for a key without a strong key: a strong
// key's mark is ignored.
TEST_F(StrongDialogs, OldFormatMarkCountsOnlyForAKeyWithoutAStrongKey) {
  ASSERT_TRUE(driver::WriteRegDword(kSettingsKey, KeyIdName(bob_.pub).c_str(), 1));
  RunAs(alice_, {alice_, WithoutStrongKey(bob_)});
  const std::string cipher = EncryptInDialog(kAsciiMessage, VK_END);  // Bob
  EXPECT_EQ(cipher, Old(kAsciiMessage, alice_, bob_));
  EXPECT_NE(driver::WaitForBalloon(kBobHasNoStrongKey), nullptr) << driver::ShownBalloon().text;
  ExitThroughMenu(program_);

  RunAs(alice_, {alice_, bob_});
  const std::string strong = EncryptInDialog(kAsciiMessage, VK_END);
  EXPECT_EQ(strong.rfind(kV3Prefix, 0), 0u) << strong;
  EXPECT_EQ(StrongRecipient(strong, tray::RingOf({alice_, bob_})), 1);
  ExitThroughMenu(program_);

  // Bob's program, with Alice's key as it was before she had a strong key:
  // Alice is chosen from the menu, and the old format's padding comes back,
  // named as not authenticated.
  RunAs(bob_, {bob_, WithoutStrongKey(alice_)});
  HWND button;
  HWND received = Receive(kOpenIncomingDialog, cipher, button);
  EXPECT_EQ(TransformWith(button, received, VK_END), kAsciiMessage + std::string(57, ' '));
  EXPECT_NE(driver::WaitForBalloon(kFromAliceOlder), nullptr) << driver::ShownBalloon().text;
  ExitThroughMenu(program_);
}

// Once Bob's ring has Alice's strong key, ?VW2: and the old format in her
// name are refused, with what to do: forged, or written by a program that
// lacks Bob's strong key. From a key without one they are read, named as
// not authenticated.
TEST_F(StrongDialogs, OlderFormatsFromAKeyWithAStrongKeyAreRefused) {
  const std::string v2 = V2(kAsciiMessage, alice_, bob_);
  const std::string old = Old(kAsciiMessage, alice_, bob_);
  RunAs(bob_, {bob_, alice_});
  HWND button;
  HWND edit = Receive(kOpenIncomingDialog, v2, button);
  EXPECT_EQ(RefusedPress(button, edit), kAliceWritesStrong);
  edit = Receive(kOpenIncomingDialog, old, button);
  ASSERT_TRUE(ChooseKey(PressForMenu(button), VK_END));  // Alice
  EXPECT_EQ(AnswerNotice(), kAliceWritesStrong);
  EXPECT_EQ(driver::WindowText(edit), old);
  // Nor is the owner's own key, which always has its strong key, read so.
  edit = Receive(kOpenIncomingDialog, Old(kAsciiMessage, bob_, bob_), button);
  ASSERT_TRUE(ChooseKey(PressForMenu(button), VK_HOME));
  EXPECT_EQ(AnswerNotice(), "Bob's program writes strong messages. This older-format text was forged, or Bob does "
                            "not have your strong key yet: send Bob your key file again");
  ExitThroughMenu(program_);

  // A stale second entry of Alice's point without the strong key lets
  // nothing in either.
  RunAs(bob_, {bob_, alice_, WithoutStrongKey(alice_)});
  edit = Receive(kOpenIncomingDialog, old, button);
  ASSERT_TRUE(ChooseKey(PressForMenu(button), VK_END));
  EXPECT_EQ(AnswerNotice(), kAliceWritesStrong);
  EXPECT_EQ(driver::WindowText(edit), old);
  ExitThroughMenu(program_);

  RunAs(bob_, {bob_, WithoutStrongKey(alice_)});
  edit = Receive(kOpenIncomingDialog, v2, button);
  EXPECT_EQ(PressAndRead(button, edit), std::wstring(kAsciiMessage.begin(), kAsciiMessage.end()));
  EXPECT_NE(driver::WaitForBalloon(kFromAliceOlder), nullptr) << driver::ShownBalloon().text;
  ExitThroughMenu(program_);
}

}  // namespace
