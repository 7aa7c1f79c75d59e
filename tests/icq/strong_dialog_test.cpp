// Strong messages through the look-alike messenger's dialogs: written by one
// run of the tray program with Alice's keys and read by another with Bob's,
// every character kept through Unicode controls; refused messages left as
// they were, with a notice; the old format for a key marked so.
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "keys/cipher.h"
#include "keys/registry_names.h"
#include "keys/strong_message.h"
#include "tests/icq/icq_fixture.h"
#include "tests/keys/test_keys.h"

using namespace icq;
using messenger::kOpenIncomingDialog;
using messenger::kOpenSendDialog;
using messenger::kOpenUnicodeIncomingDialog;
using messenger::kOpenUnicodeSendDialog;

namespace {

const std::string kAsciiMessage = "Meet me at the station at noon and bring the documents. OK!";
constexpr char kChanged[] = "This message was changed on the way, or was not encrypted for you.";

class StrongDialogs : public IcqIntegration {
 protected:
  void SetUp() override {
    MakeKeyPair(alice_, "Alice");
    MakeKeyPair(bob_, "Bob");
    MakeKeyPair(carol_, "Carol");
    StartMessenger();
  }

  // A run of the tray program with owner's secret key and ring.
  void RunAs(const KeyPair& owner, const std::vector<PublicKeyRecord>& ring) {
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

  // A strong message from sender to recipient, made here.
  static std::string Strong(const std::string& message, const KeyPair& sender, const KeyPair& recipient) {
    std::string text;
    EXPECT_EQ(EncryptStrongMessage(message, sender.secret, sender.pub, recipient.pub, text), StrongStatus::kOk);
    return text;
  }

  KeyPair alice_, bob_, carol_;
};

TEST_F(StrongDialogs, CorrespondentsProgramReadsEveryCharacterWithoutAKeyMenu) {
  RunAs(alice_, {alice_.pub, bob_.pub});
  HWND send = Open(kOpenUnicodeSendDialog, "Send Online Message (Bob)");
  HWND edit = MessageEdit(send);
  ASSERT_TRUE(driver::SetWindowTextRemoteW(edit, kWorldMessage));
  ASSERT_EQ(driver::WindowTextW(edit), kWorldMessage) << "the look-alike's control is not a Unicode one";
  // Bob is the last key of Alice's ring.
  const std::string cipher = TransformWith(WaitForAddedButton(send), edit, VK_END);
  EXPECT_EQ(StrongRecipient(cipher, {alice_.pub, bob_.pub}), 1) << cipher;
  EXPECT_TRUE(IsReadOnly(edit));
  EXPECT_EQ(SendMessageA(edit, EM_CANUNDO, 0, 0), 0);
  // What Bob's keys open: the message as UTF-8.
  const PublicKeyRecord bobsRing[] = {bob_.pub, alice_.pub};
  std::string plain;
  StrongParties parties;
  ASSERT_EQ(DecryptStrongMessage(cipher, bob_.secret, bob_.pub, bobsRing, 2, -1, plain, parties), StrongStatus::kOk);
  EXPECT_EQ(plain, Utf8Of(kWorldMessage));
  KeepScreenshot("strong-encrypted.png");
  ExitThroughMenu(program_);

  RunAs(bob_, {bob_.pub, alice_.pub});
  HWND button;
  HWND received = Receive(kOpenUnicodeIncomingDialog, cipher, button);
  // Wrapped on its way, as a narrow window or a mail program does.
  const std::string wrapped = cipher.substr(0, 40) + "\r\n" + cipher.substr(40, 40) + "\r\n" + cipher.substr(80);
  ASSERT_TRUE(driver::SetWindowTextRemote(received, wrapped));
  EXPECT_EQ(PressAndRead(button, received), kWorldMessage);
  EXPECT_EQ(driver::OpenMenuCount(program_.pid()), 0);
  KeepScreenshot("strong-decrypted.png");
  ExitThroughMenu(program_);
}

// An ANSI control's text is taken in the system's code page, whatever its
// bytes above 127 mean there, and comes back as the same characters.
TEST_F(StrongDialogs, AnsiControlsTextIsTakenInTheSystemCodePage) {
  RunAs(alice_, {alice_.pub, bob_.pub});
  const std::string ansi = "Caf\xe9 \x80 5, na\xefve \xb0 ok";
  HWND send = Open(kOpenSendDialog, "Send Message");
  HWND edit = MessageEdit(send);
  ASSERT_TRUE(driver::SetWindowTextRemote(edit, ansi));
  const std::string cipher = TransformWith(WaitForAddedButton(send), edit, VK_HOME);
  std::string plain;
  StrongParties parties;
  const PublicKeyRecord ring[] = {alice_.pub, bob_.pub};
  ASSERT_EQ(DecryptStrongMessage(cipher, alice_.secret, alice_.pub, ring, 2, -1, plain, parties), StrongStatus::kOk);
  EXPECT_EQ(plain, Utf8Of(WideFromAnsi(ansi)));

  HWND button;
  HWND received = Receive(kOpenIncomingDialog, cipher, button);
  EXPECT_EQ(PressAndRead(button, received), WideFromAnsi(ansi));
  EXPECT_EQ(driver::WindowText(received), ansi);
  ExitThroughMenu(program_);
}

TEST_F(StrongDialogs, RefusedMessagesGetANoticeAndStayAsTheyWere) {
  RunAs(bob_, {bob_.pub, alice_.pub});
  const std::string fromAlice = Strong("Hi Bob", alice_, bob_);
  std::string changed = fromAlice;
  changed[60] = changed[60] == 'A' ? 'B' : 'A';
  const std::string forCarol = Strong("Hi Carol", alice_, carol_);
  const std::string fromCarol = Strong("Hi Bob, it's Carol", carol_, bob_);

  // Unknown sender: named by its key ID, with what to do.
  HWND button;
  HWND edit = Receive(kOpenUnicodeIncomingDialog, fromCarol, button);
  PostMessageA(button, WM_LBUTTONUP, 0, 0);
  ASSERT_TRUE(driver::WaitForMessageBox("Vaultwing for ICQ", program_.pid()));
  KeepScreenshot("decrypt-unknown-sender.png");
  EXPECT_EQ(AnswerNotice(), "This message comes from a key that is not in your public key ring (key ID " +
                                KeyIdName(carol_.pub) +
                                ").  Import the sender's public key, then decrypt the message again.");
  EXPECT_EQ(driver::WindowText(edit), fromCarol);

  // One character changed, a message for another key, and one whose Base64
  // is broken all get the same notice.
  for (const std::string& text : {changed, forCarol, std::string("?VW2:AtAWrNev*PagfQvxrUGDNLk.")}) {
    edit = Receive(kOpenIncomingDialog, text, button);
    PostMessageA(button, WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(AnswerNotice(), kChanged) << text;
    EXPECT_EQ(driver::OpenMenuCount(program_.pid()), 0) << "no key to choose for a refused message";
    EXPECT_EQ(driver::WindowText(edit), text);
  }

  // The genuine message still opens.
  edit = Receive(kOpenIncomingDialog, fromAlice, button);
  EXPECT_EQ(PressAndRead(button, edit), L"Hi Bob");
  ExitThroughMenu(program_);
}

TEST_F(StrongDialogs, KeyMarkedForTheOldFormatGetsItAndItsReaderUsesTheKeyMenu) {
  ASSERT_TRUE(driver::WriteRegDword(kSettingsKey, KeyIdName(bob_.pub).c_str(), 1));
  RunAs(alice_, {alice_.pub, bob_.pub});
  HWND send = Open(kOpenSendDialog, "Send Message");
  HWND edit = MessageEdit(send);
  ASSERT_TRUE(driver::SetWindowTextRemote(edit, kAsciiMessage));
  const std::string cipher = TransformWith(WaitForAddedButton(send), edit, VK_END);  // Bob
  std::string expected;
  ASSERT_TRUE(EncryptText(kAsciiMessage, alice_.secret, bob_.point, expected));
  EXPECT_EQ(cipher, expected);
  // The mark is Bob's key's alone.
  HWND toSelf = Open(kOpenSendDialog, "Send Message");
  HWND selfEdit = MessageEdit(toSelf);
  ASSERT_TRUE(driver::SetWindowTextRemote(selfEdit, kAsciiMessage));
  EXPECT_EQ(StrongRecipient(TransformWith(WaitForAddedButton(toSelf), selfEdit, VK_HOME), {alice_.pub, bob_.pub}),
            0);
  ExitThroughMenu(program_);

  // Bob's program knows no strong header here: Alice is chosen from the
  // menu, and the old format's padding comes back.
  RunAs(bob_, {bob_.pub, alice_.pub});
  HWND button;
  HWND received = Receive(kOpenIncomingDialog, cipher, button);
  EXPECT_EQ(TransformWith(button, received, VK_END), kAsciiMessage + std::string(57, ' '));
  ExitThroughMenu(program_);
}

}  // namespace
