// Decrypt on an incoming dialog of the look-alike messenger never replaces a
// message by garbage: a plain message is left alone, line breaks added on
// the way are skipped, and a cut message gives back its whole blocks. The
// old format comes from the one correspondent whose key has no strong key.
#include "keys/formats/cipher.h"
#include "tests/icq/icq_fixture.h"
#include "tests/keys/test_keys.h"

using namespace icq;
using messenger::kOpenIncomingDialog;

namespace {

constexpr char kAppCaption[] = "Vaultwing for ICQ";

// 145 bytes: three blocks, the last one padded with 29 spaces.
const std::string kMessage =
    "The meeting moves to Thursday, nine o'clock, in the small room upstairs. "
    "Bring the printed figures for the third quarter and the signed contract!";

class DecryptReceived : public IcqIntegration {
 protected:
  void SetUp() override { StartBoth(2, tray::FriendKeys::kWithoutStrongKeys); }

  // The old format's key is the same both ways: what the correspondent
  // sends us is what we would send it.
  std::string Cipher(const std::string& plain) {
    CurvePoint peer;
    RecordPoint(ring_.keys[1], peer);
    std::string cipher;
    EXPECT_TRUE(EncryptText(plain, secret_, peer, cipher));
    return cipher;
  }

  // An incoming dialog showing text, and its Decrypt button.
  HWND Receive(const std::string& text, HWND& button) {
    HWND dialog = Open(kOpenIncomingDialog, "Incoming Message from Alice");
    HWND edit = MessageEdit(dialog);
    EXPECT_TRUE(driver::SetWindowTextRemote(edit, text));
    button = WaitForAddedButton(dialog);
    return edit;
  }
};

TEST_F(DecryptReceived, PlainMessageIsLeftExactlyAsItWasWithANotice) {
  for (const std::string& plain : {std::string("Hello Bob,\r\nsee you at noon.\r\n"), std::string(300, 'x')}) {
    HWND button;
    HWND edit = Receive(plain, button);
    PostMessageA(button, WM_LBUTTONUP, 0, 0);
    std::string notice;
    ASSERT_TRUE(driver::AnswerMessageBox(kAppCaption, IDOK, &notice, program_.pid()));
    EXPECT_EQ(notice, "This message is not encrypted.");
    EXPECT_EQ(driver::OpenMenuCount(program_.pid()), 0) << "no key to choose for a plain message";
    EXPECT_EQ(driver::WindowText(edit), plain);
  }
  if (const char* dir = std::getenv("VWG_SCREENSHOT_DIR")) {
    HWND button;
    Receive("Hello Bob, this is plain.", button);
    PostMessageA(button, WM_LBUTTONUP, 0, 0);
    ASSERT_TRUE(driver::WaitForMessageBox(kAppCaption, program_.pid()));
    driver::TakeScreenshot(std::string(dir) + "\\decrypt-not-encrypted.png");
    ASSERT_TRUE(driver::AnswerMessageBox(kAppCaption, IDOK, nullptr, program_.pid()));
  }
  ExitThroughMenu(program_);
}

TEST_F(DecryptReceived, WrappedOrLineEndedMessageDecryptsAndACutOneGivesItsWholeBlocks) {
  ASSERT_EQ(kMessage.size(), 145u);
  const std::string cipher = Cipher(kMessage);
  const std::string padded = kMessage + std::string(29, ' ');

  std::string wrapped;  // 60 characters a line, as a narrow window shows it
  for (size_t i = 0; i < cipher.size(); i += 60) wrapped += cipher.substr(i, 60) + "\r\n";
  for (const std::string& received : {wrapped, cipher + "\r\n", " " + cipher + " \t"}) {
    HWND button;
    HWND edit = Receive(received, button);
    EXPECT_EQ(TransformWith(button, edit, VK_END), padded);
  }

  // Cut 36 characters into the third block: the two whole blocks come back,
  // and nothing of the third.
  HWND button;
  HWND edit = Receive(cipher.substr(0, 180), button);
  EXPECT_EQ(TransformWith(button, edit, VK_END), kMessage.substr(0, 116));
  ExitThroughMenu(program_);
}

}  // namespace
