// The tray program equips the look-alike messenger's dialogs and encrypts and
// decrypts their messages, driven from outside under Wine.
#include <cstdlib>
#include <set>

#include "keys/formats/v3_message.h"
#include "resources/resource.h"
#include "tests/app/sheet_driver.h"
#include "tests/app/skin_folders.h"
#include "tests/icq/icq_fixture.h"
#include "tests/keys/test_keys.h"

using namespace icq;
using messenger::Box;
using messenger::kOpenIncomingDialog;
using messenger::kOpenIncomingWithoutInner;
using messenger::kOpenSendDialog;

namespace {

// Where the buttons belong in the look-alike's layout, worked out by hand:
// send, halfway between the left edges of Cancel (10) and Send (276), Send's
// line and size; incoming, Reply ends at 90 and Close starts at 280, the
// label is 74 wide: 90 + (190 - 74) / 2, on Close's line and of its height.
constexpr Box kEncryptBox{143, 200, 84, 24};
constexpr Box kDecryptBox{148, 200, 74, 24};

// A change posted to the messenger may reach its dialog while a pass runs:
// the pass after that one is the first sure to see it.
constexpr unsigned kPassesAfterAChange = 3;

bool WaitForBox(HWND button, HWND dialog, const Box& box) {
  return driver::PollUntil(driver::kDefaultTimeoutMs, [&] { return ClientBox(button, dialog) == box; });
}

HBITMAP WaitForImage(HWND button) {
  return driver::PollUntil(driver::kDefaultTimeoutMs, [&] {
    return reinterpret_cast<HBITMAP>(SendMessageA(button, BM_GETIMAGE, IMAGE_BITMAP, 0));
  });
}

// 59 bytes: more than one block of the old format, two of the strong one.
const std::string kMessage = "Meet me at the station at noon and bring the documents. OK!";

}  // namespace

TEST_F(IcqIntegration, MessageDialogsGetOneButtonEachAtItsPlaceWithItsImage) {
  StartBoth();
  // Captions that only contain a dialog's text, or differ in case; "Event
  // Details" is not treated as a message dialog.
  const std::vector<HWND> strangers = {
      Open(kOpenSendDialog, "send message to Bob"), Open(kOpenSendDialog, "Re: Send Message"),
      Open(kOpenIncomingDialog, "Event Details"), Open(kOpenIncomingDialog, "INCOMING MESSAGE from Alice")};
  const std::vector<HWND> sends = {
      Open(kOpenSendDialog, "Send Online Message (Bob)"), Open(kOpenSendDialog, "Send Offline Message (Bob)"),
      Open(kOpenSendDialog, "Send Message"), Open(kOpenSendDialog, "Send Multiple Recipients")};
  HWND incoming = Open(kOpenIncomingDialog, "Incoming Message from Alice");

  std::set<int> ids;
  HBITMAP encryptImage = nullptr;
  for (HWND dialog : sends) {
    HWND button = WaitForAddedButton(dialog);
    ASSERT_NE(button, nullptr);
    ids.insert(GetDlgCtrlID(button));
    EXPECT_TRUE(WaitForBox(button, dialog, kEncryptBox)) << ClientBox(button, dialog);
    HBITMAP image = WaitForImage(button);
    EXPECT_NE(image, nullptr);
    if (encryptImage) {
      EXPECT_EQ(image, encryptImage) << "one Encrypt picture serves every button";
    }
    encryptImage = image;
  }
  // Numbered in the order the scan met the dialogs.
  EXPECT_EQ(ids, (std::set<int>{8000, 8001, 8002, 8003}));

  HWND decrypt = WaitForAddedButton(incoming);
  ASSERT_NE(decrypt, nullptr);
  EXPECT_EQ(GetDlgCtrlID(decrypt), 3000);
  EXPECT_TRUE(WaitForBox(decrypt, incoming, kDecryptBox)) << ClientBox(decrypt, incoming);
  HBITMAP decryptImage = WaitForImage(decrypt);
  EXPECT_NE(decryptImage, nullptr);
  EXPECT_NE(decryptImage, encryptImage);

  KeepScreenshot("icq-dialogs.png");
  // However many ticks pass, a listed dialog keeps its one button.
  EXPECT_TRUE(driver::WaitScanPasses(program_.pid(), 3));
  for (HWND dialog : sends) EXPECT_EQ(AddedButtons(dialog).size(), 1u);
  EXPECT_EQ(AddedButtons(incoming).size(), 1u);
  for (HWND dialog : strangers) EXPECT_TRUE(AddedButtons(dialog).empty()) << driver::WindowText(dialog);
  ExitThroughMenu(program_);
}

TEST_F(IcqIntegration, ButtonIdsCountTheListedDialogsAndComeBackAfterAClose) {
  StartBoth();
  HWND first = Open(kOpenSendDialog, "Send Online Message");
  ASSERT_EQ(GetDlgCtrlID(WaitForAddedButton(first)), 8000);
  HWND second = Open(kOpenSendDialog, "Send Online Message");
  ASSERT_EQ(GetDlgCtrlID(WaitForAddedButton(second)), 8001);

  PostMessageA(first, WM_CLOSE, 0, 0);
  ASSERT_TRUE(driver::WaitWindowGone(first));
  // The closed dialog is dropped, so the list counts one again.
  HWND third = Open(kOpenSendDialog, "Send Online Message");
  EXPECT_EQ(GetDlgCtrlID(WaitForAddedButton(third)), 8001);
  EXPECT_EQ(GetDlgCtrlID(AddedButtons(second).front()), 8001);

  HWND incoming = Open(kOpenIncomingDialog, "Incoming Message");
  EXPECT_EQ(GetDlgCtrlID(WaitForAddedButton(incoming)), 3000);
  // Without an inner dialog there is no width reference: the button is made
  // empty at the corner and stays so.
  HWND bare = Open(kOpenIncomingWithoutInner, "Incoming Message");
  HWND bareButton = WaitForAddedButton(bare);
  ASSERT_NE(bareButton, nullptr);
  EXPECT_EQ(GetDlgCtrlID(bareButton), 3001);
  EXPECT_TRUE(driver::WaitScanPasses(program_.pid(), 2));
  EXPECT_EQ(ClientBox(bareButton, bare), (Box{0, 0, 0, 0}));
  ExitThroughMenu(program_);
}

TEST_F(IcqIntegration, ButtonsFollowTheirReferenceControlsButNotTheirSizes) {
  StartBoth();
  HWND send = Open(kOpenSendDialog, "Send Message");
  HWND encrypt = WaitForAddedButton(send);
  ASSERT_TRUE(WaitForBox(encrypt, send, kEncryptBox));

  // Send to 256, 206: 80 + (256 + 10 - 160) / 2 = 133 on Send's new line.
  Change(send, messenger::kMoveControl, messenger::kSendReference, -20, 6);
  EXPECT_TRUE(WaitForBox(encrypt, send, {133, 206, 84, 24})) << ClientBox(encrypt, send);
  // Cancel to 13..83: 83 + (256 + 13 - 166) / 2 = 83 + 51 = 134.
  Change(send, messenger::kMoveControl, IDCANCEL, 3, 0);
  EXPECT_TRUE(WaitForBox(encrypt, send, {134, 206, 84, 24})) << ClientBox(encrypt, send);
  // A larger Send alone does not resize the button.
  Change(send, messenger::kResizeControl, messenger::kSendReference, 10, 4);
  EXPECT_TRUE(driver::WaitScanPasses(program_.pid(), kPassesAfterAChange));
  EXPECT_EQ(ClientBox(encrypt, send), (Box{134, 206, 84, 24}));
  EXPECT_NE(SendMessageA(encrypt, BM_GETIMAGE, IMAGE_BITMAP, 0), 0);

  HWND incoming = Open(kOpenIncomingDialog, "Incoming Message");
  HWND decrypt = WaitForAddedButton(incoming);
  ASSERT_TRUE(WaitForBox(decrypt, incoming, kDecryptBox));
  // Reply ending at 110: 110 + (280 - 110 - 74) / 2 = 158; Close 4 higher.
  Change(incoming, messenger::kMoveControl, messenger::kIncomingAnchor, 20, 0);
  Change(incoming, messenger::kMoveControl, IDCANCEL, 0, -4);
  EXPECT_TRUE(WaitForBox(decrypt, incoming, {158, 196, 74, 24})) << ClientBox(decrypt, incoming);
  ExitThroughMenu(program_);
}

TEST_F(IcqIntegration, OwnKeyEncryptsAStrongMessageThatDecryptsWithoutAKeyMenu) {
  StartBoth(2);
  HWND send = Open(kOpenSendDialog, "Send Online Message");
  HWND edit = MessageEdit(send);
  ASSERT_TRUE(driver::SetWindowTextRemote(edit, kMessage));
  const std::string cipher = TransformWith(WaitForAddedButton(send), edit, VK_HOME);

  // One line of ASCII for the owner's own strong key, which opens it.
  EXPECT_EQ(cipher.rfind(kV3Prefix, 0), 0u) << cipher;
  EXPECT_EQ(StrongRecipient(cipher, ring_), 0);
  std::string plain;
  V3Parties parties;
  EXPECT_EQ(DecryptV3Message(cipher, secret_, ring_.strong[0], ring_.strong.data(), 2, -1, plain, parties),
            StrongStatus::kOk);
  EXPECT_EQ(plain, kMessage);
  // Read-only, and Undo cannot bring the plain text back.
  EXPECT_TRUE(BecomesReadOnly(edit));
  EXPECT_EQ(SendMessageA(edit, EM_CANUNDO, 0, 0), 0);

  // The message names its sender: no key to choose, and it comes back
  // exactly, without padding.
  HWND incoming = Open(kOpenIncomingDialog, "Incoming Message");
  HWND received = MessageEdit(incoming);
  ASSERT_TRUE(driver::SetWindowTextRemote(received, cipher));
  HWND decrypt = WaitForAddedButton(incoming);
  EXPECT_EQ(PressAndRead(decrypt, received), std::wstring(kMessage.begin(), kMessage.end()));
  EXPECT_EQ(driver::OpenMenuCount(program_.pid()), 0);
  EXPECT_TRUE(BecomesReadOnly(received));
  EXPECT_NE(driver::WaitForBalloon("From Me (" + ShownKeyId(ring_.keys[0], ring_.strong[0]) + ")."), nullptr)
      << driver::ShownBalloon().text;
  ExitThroughMenu(program_);
}

TEST_F(IcqIntegration, DismissedMenuLeavesTheMessageAloneAndKeysPressTheButton) {
  StartBoth();
  HWND send = Open(kOpenSendDialog, "Send Message");
  HWND edit = MessageEdit(send);
  HWND button = WaitForAddedButton(send);
  ASSERT_TRUE(driver::SetWindowTextRemote(edit, "draft"));

  // Space on the button acts as a press; Escape dismisses the key menu. Key
  // messages posted to the button are lost under Wine (the menu's keys are
  // not: its loop peeks for them), so they are sent, without waiting.
  SendNotifyMessageA(button, WM_KEYDOWN, VK_SPACE, 1);
  ASSERT_TRUE(driver::CloseMenu(driver::WaitForMenu(program_.pid())));
  EXPECT_TRUE(driver::WaitScanPasses(program_.pid(), 2));
  EXPECT_EQ(driver::WindowText(edit), "draft");
  EXPECT_FALSE(IsReadOnly(edit));

  // Return presses it too: five bytes make a message of the shortest size,
  // 181 bytes, 244 in Base64 between the prefix and the dot.
  SendNotifyMessageA(button, WM_KEYDOWN, VK_RETURN, 1);
  ASSERT_TRUE(ChooseKey(driver::WaitForMenu(program_.pid()), VK_HOME));
  const std::string cipher = WaitForTextChange(edit, "draft");
  EXPECT_EQ(cipher.size(), 5u + 244 + 1) << cipher;

  // An empty message is a message too, of the same size, and the control
  // is closed as for any other.
  HWND empty = Open(kOpenSendDialog, "Send Message");
  HWND emptyEdit = MessageEdit(empty);
  ASSERT_TRUE(ChooseKey(PressForMenu(WaitForAddedButton(empty)), VK_HOME));
  EXPECT_TRUE(driver::PollUntil(driver::kDefaultTimeoutMs, [&] { return IsReadOnly(emptyEdit); }));
  const std::string emptyCipher = driver::WindowText(emptyEdit);
  EXPECT_EQ(emptyCipher.size(), 5u + 244 + 1) << emptyCipher;
  EXPECT_NE(emptyCipher, cipher);
  ExitThroughMenu(program_);
}

// A point of small order as a correspondent's key, or as the strong key of
// a good one: both pass the cheap check of the ring's load.
TEST_F(IcqIntegration, KeyOutsideTheBasePointGroupIsRefusedAndTheMessageKept) {
  KeyPair good;
  MakeKeyPair(good, "Stranger");
  StartMessenger();
  for (const tray::RingEntry& stranger : {tray::RingEntry(MakeRecord("Stranger", SmallOrderPoint())),
                                          tray::RingEntry(good.pub, StrongKeyAt(SmallOrderPoint()))}) {
    MakeKeys();
    AddRingEntry(ring_, stranger.key, stranger.strong);
    SaveKeys(ring_, secret_);
    StartProgram();
    HWND send = Open(kOpenSendDialog, "Send Message");
    HWND edit = MessageEdit(send);
    ASSERT_TRUE(driver::SetWindowTextRemote(edit, kMessage));

    ASSERT_TRUE(ChooseKey(PressForMenu(WaitForAddedButton(send)), VK_END));
    std::string text;
    ASSERT_TRUE(driver::AnswerMessageBox(tray::kErrorCaption, IDOK, &text, program_.pid()));
    EXPECT_EQ(text, "This public key is not valid and cannot be used.  Ask its owner to export it again.");
    EXPECT_EQ(driver::WindowText(edit), kMessage);
    EXPECT_FALSE(IsReadOnly(edit));
    EXPECT_TRUE(program_.Running());
    ExitThroughMenu(program_);
  }
}

// The ring spoilt while the program runs, found at a press: the press comes
// through the button, yet the program ends after the box, as when start-up
// or the Public Key Manager finds it so.
TEST_F(IcqIntegration, RingUnreadableAtAPressEndsTheProgramAfterTheBox) {
  StartBoth();
  HWND button = WaitForAddedButton(Open(kOpenSendDialog, "Send Message"));
  ASSERT_NE(button, nullptr);
  ASSERT_TRUE(driver::WriteWholeFile(publicPath_, "VWG. not a ring"));
  PostMessageA(button, WM_LBUTTONUP, 0, 0);
  std::string text;
  ASSERT_TRUE(driver::AnswerMessageBox(tray::kErrorCaption, IDOK, &text, program_.pid()));
  EXPECT_EQ(text, tray::kBadPublicFile);
  EXPECT_EQ(program_.WaitExit(), std::optional<uint32_t>(1));
}

TEST_F(IcqIntegration, ApplyingASkinRepicturesTheOpenDialogsButtonsAtOnce) {
  const std::string blue = skins::MakeSkinFolder(folder_.path(), "blue");
  ASSERT_TRUE(skins::WriteBitmapFile(blue + "\\encrypt.bmp", 60, 16, RGB(0, 0, 200)));
  ASSERT_TRUE(skins::WriteBitmapFile(blue + "\\decrypt.bmp", 60, 16, RGB(0, 120, 255)));
  StartBoth();
  HWND encrypt = WaitForAddedButton(Open(kOpenSendDialog, "Send Message"));
  HWND decrypt = WaitForAddedButton(Open(kOpenIncomingDialog, "Incoming Message from Alice"));
  ASSERT_NE(encrypt, nullptr);
  ASSERT_NE(decrypt, nullptr);
  const HBITMAP builtInEncrypt = WaitForImage(encrypt), builtInDecrypt = WaitForImage(decrypt);
  ASSERT_NE(builtInEncrypt, nullptr);
  ASSERT_NE(builtInDecrypt, nullptr);
  auto image = [](HWND button) { return reinterpret_cast<HBITMAP>(SendMessageA(button, BM_GETIMAGE, IMAGE_BITMAP, 0)); };

  // A scan pass sets a button's picture once, on its first visit: a picture
  // that changes afterwards was set by the skin's apply itself.
  ASSERT_TRUE(driver::PostTrayCallback(program_.pid(), WM_LBUTTONDBLCLK));
  HWND settings = sheet::WaitForSheet(program_.pid());
  ASSERT_NE(settings, nullptr);
  HWND page = sheet::Page(settings, "Settings");
  ASSERT_TRUE(driver::ClickButton(page, IDC_ENABLE_SKINS));
  ASSERT_TRUE(driver::PollUntil(driver::kDefaultTimeoutMs,
                                [&] { return IsWindowEnabled(GetDlgItem(page, IDC_SKIN_COMBO)) != 0; }));

  sheet::Select(page, IDC_SKIN_COMBO, 1, true);  // blue
  ASSERT_TRUE(driver::PollUntil(driver::kDefaultTimeoutMs, [&] {
    return image(encrypt) != builtInEncrypt && image(decrypt) != builtInDecrypt;
  })) << "the skin's pictures did not reach the buttons";
  const HBITMAP skinEncrypt = image(encrypt);
  EXPECT_NE(skinEncrypt, image(decrypt));

  sheet::Select(page, IDC_SKIN_COMBO, 0, true);  // (None): the built-in pictures, loaded anew
  EXPECT_TRUE(driver::PollUntil(driver::kDefaultTimeoutMs, [&] { return image(encrypt) != skinEncrypt; }));
  EXPECT_NE(image(encrypt), nullptr);
  EXPECT_TRUE(driver::PressButton(settings, IDCANCEL));
}
