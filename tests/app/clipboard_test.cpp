// The tray menu's clipboard commands of the real vaultwing.exe under Wine,
// with texts copied from and pasted into the look-alike messenger's dialogs:
// the format that follows the recipient's key, the sender named in the
// notice, and the refusals.
#include <windows.h>

#include <cstdio>
#include <optional>
#include <string>

#include "keys/formats/cipher.h"
#include "keys/formats/strong_message.h"
#include "keys/formats/v3_message.h"
#include "keys/key_files.h"
#include "keys/registry_names.h"
#include "tests/app/clipboard_driver.h"
#include "tests/icq/icq_fixture.h"
#include "tests/keys/test_keys.h"

using namespace icq;
using namespace clipboard;
using messenger::kOpenIncomingDialog;
using messenger::kOpenSendDialog;
using tray::Party;
using tray::WithoutStrongKey;

namespace {

constexpr char kAppCaption[] = "Vaultwing for ICQ";
constexpr char kClipboardDone[] =
    "The message has been encrypted or decrypted and the result has been put into Windows Clipboard.  It can be "
    "accessed with standard Copy/Paste/Cut functions";
constexpr char kNoText[] = "There is no text in Windows Clipboard.  Copy the message first, then choose the command again.";
constexpr char kNotEncrypted[] = "This message is not encrypted.";
constexpr char kChanged[] = "This message was changed on the way, or was not encrypted for you.";
constexpr const char* kPrivateFormats[] = {"ExcludeClipboardContentFromMonitorProcessing",
                                           "CanIncludeInClipboardHistory", "CanUploadToCloudClipboard",
                                           "Clipboard Viewer Ignore"};
constexpr char kClearedSoon[] =
    "The decrypted text will be taken off the clipboard in a minute, unless something else is copied first.";
// How long the plain text stays; the program's whole minute is waited out.
constexpr uint64_t kClearMs = 60000;

// Two lines, 87 bytes.
const std::string kMessage = "Meet me at the station at noon.\r\nBring the documents, and tell nobody where we go!";

// The DWORD in a registered format, or nullopt when the clipboard lacks it.
std::optional<DWORD> ClipboardDword(const char* formatName) {
  Clipboard open;
  HANDLE data = GetClipboardData(RegisterClipboardFormatA(formatName));
  if (!open.ok() || !data || GlobalSize(data) < sizeof(DWORD)) return std::nullopt;
  const DWORD value = *static_cast<const DWORD*>(GlobalLock(data));
  GlobalUnlock(data);
  return value;
}

// As a messenger wraps a long line: CR LF every width characters, and after
// the last line too.
std::string Wrapped(const std::string& text, size_t width) {
  std::string out;
  for (size_t i = 0; i < text.size(); i += width) out += text.substr(i, width) + "\r\n";
  return out;
}

class ClipboardCommands : public IcqIntegration {
 protected:
  // Copies the whole text of a messenger dialog, as the user would with
  // Ctrl+C, and closes the dialog. The menus that follow need no pause: a
  // scan tick leaves the keys posted to them in the queue, whatever dialogs
  // it lists (Churn.KeysTypedIntoAKeyMenuWhileTicksRunAllReachTheMenu).
  void CopyAndClose(HWND dialog) {
    HWND edit = MessageEdit(dialog);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    SendMessageA(edit, WM_COPY, 0, 0);
    PostMessageA(dialog, WM_CLOSE, 0, 0);
    ASSERT_TRUE(driver::WaitWindowGone(dialog));
  }

  bool ChooseTrayCommand(std::initializer_list<UINT> keys) {
    return clipboard::ChooseTrayCommand(OpenTrayMenu(program_), keys);
  }

  // A clipboard command with the ring's first (VK_HOME, the owner's) or
  // last (VK_END) key, up to its notice.
  std::string RunWithKey(std::initializer_list<UINT> command, UINT key = VK_HOME) {
    EXPECT_TRUE(ChooseTrayCommand(command));
    EXPECT_TRUE(ChooseKey(driver::WaitForMenu(program_.pid()), key)) << "no key menu";
    std::string notice;
    EXPECT_TRUE(driver::AnswerMessageBox(kAppCaption, IDOK, &notice, program_.pid()));
    return notice;
  }

  // A command that ends at a notice without any key menu: one refused, or
  // Decrypt Clipboard on a strong message.
  std::string NoticeWithoutKeyMenu(std::initializer_list<UINT> command) {
    EXPECT_TRUE(ChooseTrayCommand(command));
    std::string notice;
    EXPECT_TRUE(driver::AnswerMessageBox(kAppCaption, IDOK, &notice, program_.pid()));
    EXPECT_EQ(driver::OpenMenuCount(program_.pid()), 0);
    return notice;
  }

  // The ?VW3: message's text for the owner's own key.
  std::string OpenOwn(const std::string& text) {
    std::string plain;
    V3Parties parties;
    EXPECT_EQ(DecryptV3Message(text, secret_, ring_.strong[0], ring_.strong.data(), ring_.count(), -1, plain, parties),
              StrongStatus::kOk);
    return plain;
  }

  // Decrypt Clipboard's notice for a message from the given sender line.
  static std::string DoneFrom(const std::string& sender) {
    return std::string(kClipboardDone) + "\n\n" + sender + "\n\n" + kClearedSoon;
  }
  static std::string FromLine(const char* name, const PublicKeyRecord& key, const StrongKey& strong) {
    return std::string("From ") + name + " (" + ShownKeyId(key, strong) + ").";
  }
};

TEST_F(ClipboardCommands, EncryptAndDecryptRoundTripTheMessengersTextsThroughTheClipboard) {
  StartBoth();
  // Copied from a send dialog.
  HWND send = Open(kOpenSendDialog, "Send Message");
  ASSERT_TRUE(driver::SetWindowTextRemote(MessageEdit(send), kMessage));
  ASSERT_TRUE(SetClipboard(std::nullopt));
  CopyAndClose(send);
  ASSERT_EQ(ClipboardText(), kMessage);

  EXPECT_EQ(RunWithKey(kEncryptClipboard), kClipboardDone);
  const std::optional<std::string> cipher = ClipboardText();
  ASSERT_TRUE(cipher);
  EXPECT_EQ(StrongRecipient(*cipher, ring_), 0) << *cipher;
  EXPECT_EQ(OpenOwn(*cipher), kMessage);
  EXPECT_EQ(ClipboardDword(kPrivateFormats[1]), std::nullopt) << "encrypted text needs no protection";

  // Received wrapped, with a line break at the end, and copied from the
  // incoming dialog.
  HWND incoming = Open(kOpenIncomingDialog, "Incoming Message");
  ASSERT_TRUE(driver::SetWindowTextRemote(MessageEdit(incoming), Wrapped(*cipher, 50)));
  CopyAndClose(incoming);
  ASSERT_EQ(ClipboardText(), Wrapped(*cipher, 50));

  EXPECT_EQ(NoticeWithoutKeyMenu(kDecryptClipboard), DoneFrom(FromLine("Me", ring_.keys[0], ring_.strong[0])));
  EXPECT_EQ(ClipboardText(), kMessage);
  for (const char* format : kPrivateFormats) EXPECT_EQ(ClipboardDword(format), 0u) << format;

  // And pasted into a new message.
  HWND replyDialog = Open(kOpenSendDialog, "Send Message");
  HWND reply = MessageEdit(replyDialog);
  SendMessageA(reply, WM_PASTE, 0, 0);
  EXPECT_EQ(driver::WindowText(reply), kMessage);
  PostMessageA(replyDialog, WM_CLOSE, 0, 0);
  ASSERT_TRUE(driver::WaitWindowGone(replyDialog));
  if (const char* dir = std::getenv("VWG_SCREENSHOT_DIR")) {
    ASSERT_TRUE(ChooseTrayCommand(kDecryptClipboard));
    ASSERT_TRUE(driver::WaitForMessageBox(kAppCaption, program_.pid()));
    driver::TakeScreenshot(std::string(dir) + "\\clipboard-not-encrypted.png");
    ASSERT_TRUE(driver::AnswerMessageBox(kAppCaption, IDOK, nullptr, program_.pid()));
  }
  ExitThroughMenu(program_);
}

TEST_F(ClipboardCommands, EmptyNonTextOrPlainClipboardGetsANoticeAndStaysAsItWas) {
  StartBoth();
  ASSERT_TRUE(SetClipboard(std::nullopt));
  EXPECT_EQ(NoticeWithoutKeyMenu(kEncryptClipboard), kNoText);
  EXPECT_EQ(CountClipboardFormats(), 0);

  // Only a picture-like private format: no text either.
  const UINT picture = RegisterClipboardFormatA("VwgTestPicture");
  {
    Clipboard clipboard;
    ASSERT_TRUE(clipboard.ok());
    EmptyClipboard();
    const char bytes[] = "not text";
    ASSERT_TRUE(PutData(picture, bytes, sizeof bytes));
  }
  EXPECT_EQ(NoticeWithoutKeyMenu(kDecryptClipboard), kNoText);
  EXPECT_TRUE(IsClipboardFormatAvailable(picture));
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));

  // Blanks only are no text to encrypt.
  ASSERT_TRUE(SetClipboard(" \r\n\t "));
  EXPECT_EQ(NoticeWithoutKeyMenu(kEncryptClipboard), kNoText);
  EXPECT_EQ(ClipboardText(), " \r\n\t ");

  // A plain text is not decrypted into garbage.
  const std::string plain = "Hello Bob,\r\nthis message was never encrypted. " + std::string(80, '#');
  ASSERT_TRUE(SetClipboard(plain));
  EXPECT_EQ(NoticeWithoutKeyMenu(kDecryptClipboard), kNotEncrypted);
  EXPECT_EQ(ClipboardText(), plain);
  ExitThroughMenu(program_);
}

// Both key files replaced while the program runs (vwg keygen --force does
// this): the ring's first key is no longer the secret key's, and a command
// is refused before any key menu, naming both files, the clipboard as it was.
TEST_F(ClipboardCommands, RingOfAnotherPairIsRefusedNamingBothFiles) {
  StartBoth();
  KeyPair other;
  MakeKeyPair(other, "Me again");
  SaveKeys({other.pub}, other.secret);
  ASSERT_TRUE(SetClipboard("a message"));
  ASSERT_TRUE(ChooseTrayCommand(kEncryptClipboard));
  std::string text;
  ASSERT_TRUE(driver::AnswerMessageBox(tray::kErrorCaption, IDOK, &text, program_.pid()));
  EXPECT_EQ(text, KeyPairMismatchText(secretPath_.c_str(), publicPath_.c_str()));
  EXPECT_EQ(driver::OpenMenuCount(program_.pid()), 0);
  EXPECT_EQ(ClipboardText(), "a message");
  ExitThroughMenu(program_);
}

// Alice's program encrypts Unicode text for Bob from the clipboard; Bob's
// program reads it, without a key menu, to every character. A changed copy
// is refused and left on the clipboard.
TEST_F(ClipboardCommands, UnicodeTextTravelsBetweenTwoProgramsAndAChangedCopyIsRefused) {
  Party alice, bob;
  MakeParty(alice, "Alice");
  MakeParty(bob, "Bob");
  SaveKeys({alice, bob}, alice.secret);
  StartMessenger();
  StartProgram();
  ASSERT_TRUE(SetUnicodeClipboard(kWorldMessage));
  EXPECT_EQ(RunWithKey(kEncryptClipboard, VK_END), kClipboardDone);
  const std::optional<std::wstring> wide = UnicodeClipboardText();
  ASSERT_TRUE(wide);
  const std::string cipher(wide->begin(), wide->end());
  EXPECT_EQ(cipher.rfind(kV3Prefix, 0), 0u) << cipher;
  EXPECT_EQ(StrongRecipient(cipher, tray::RingOf({alice, bob})), 1) << cipher;
  EXPECT_EQ(ClipboardText(), cipher) << "the system offers it as CF_TEXT too";
  ExitThroughMenu(program_);

  SaveKeys({bob, alice}, bob.secret);
  StartProgram();
  std::string changed = cipher;
  changed[30] = changed[30] == 'A' ? 'B' : 'A';
  ASSERT_TRUE(SetClipboard(changed));
  EXPECT_EQ(NoticeWithoutKeyMenu(kDecryptClipboard), kChanged);
  EXPECT_EQ(ClipboardText(), changed);

  ASSERT_TRUE(SetClipboard(Wrapped(cipher, 50)));
  EXPECT_EQ(NoticeWithoutKeyMenu(kDecryptClipboard), DoneFrom(FromLine("Alice", alice.pub, alice.strong)));
  EXPECT_EQ(UnicodeClipboardText(), kWorldMessage);
  for (const char* format : kPrivateFormats) EXPECT_EQ(ClipboardDword(format), 0u) << format;
  ExitThroughMenu(program_);
}

// What a program put on the clipboard as CF_TEXT alone is read in the
// system's code page.
TEST_F(ClipboardCommands, AnsiTextIsReadInTheSystemCodePage) {
  StartBoth();
  const std::string ansi = "Caf\xe9 \x80 5, na\xefve";
  ASSERT_TRUE(SetClipboard(ansi));
  EXPECT_EQ(RunWithKey(kEncryptClipboard), kClipboardDone);
  EXPECT_EQ(OpenOwn(ClipboardText().value_or("")), Utf8Of(WideFromAnsi(ansi)));
  EXPECT_EQ(NoticeWithoutKeyMenu(kDecryptClipboard), DoneFrom(FromLine("Me", ring_.keys[0], ring_.strong[0])));
  EXPECT_EQ(UnicodeClipboardText(), WideFromAnsi(ansi));
  ExitThroughMenu(program_);
}

// A key without a strong key, marked for the old format, gets it from the
// clipboard too; reading it takes the key menu, and the padding is trimmed.
TEST_F(ClipboardCommands, KeyMarkedForTheOldFormatGetsItAndItsReaderUsesTheKeyMenu) {
  StartBoth(2, tray::FriendKeys::kWithoutStrongKeys);
  ASSERT_TRUE(driver::WriteRegDword(kSettingsKey, KeyIdName(ring_.keys[1]).c_str(), 1));
  ASSERT_TRUE(SetClipboard(kMessage));
  EXPECT_EQ(RunWithKey(kEncryptClipboard, VK_END), kClipboardDone);
  CurvePoint friendPoint;
  RecordPoint(ring_.keys[1], friendPoint);
  std::string expected;
  ASSERT_TRUE(EncryptText(kMessage, secret_, friendPoint, expected));
  EXPECT_EQ(ClipboardText(), expected);
  // The old format's key is the same both ways.
  EXPECT_EQ(RunWithKey(kDecryptClipboard, VK_END), DoneFrom("From Friend 1, older format: not authenticated."));
  EXPECT_EQ(ClipboardText(), kMessage) << "the padding is trimmed";
  ExitThroughMenu(program_);
}

// ?VW2: goes to a key without a strong key, with a balloon; in the name of
// a key with one it is refused and the clipboard kept.
TEST_F(ClipboardCommands, OlderFormatOnlyToAndFromAKeyWithoutAStrongKey) {
  Party me, alice, bob;
  MakeParty(me, "Me");
  MakeParty(alice, "Alice");
  MakeParty(bob, "Bob");
  SaveKeys({me, alice, WithoutStrongKey(bob)}, me.secret);
  StartMessenger();
  StartProgram();
  ASSERT_TRUE(SetClipboard(kMessage));
  EXPECT_EQ(RunWithKey(kEncryptClipboard, VK_END), kClipboardDone);  // Bob
  const std::string toBob = ClipboardText().value_or("");
  EXPECT_EQ(toBob.rfind(kStrongPrefix, 0), 0u) << toBob;
  EXPECT_EQ(StrongRecipient(toBob, tray::RingOf({me, alice, WithoutStrongKey(bob)})), 2);
  EXPECT_NE(driver::WaitForBalloon("The key of Bob has no strong key, so this message is not authenticated (and, in "
                                   "the old format, one guessed message opens it).  Exchanging key files again "
                                   "fixes it."),
            nullptr)
      << driver::ShownBalloon().text;

  std::string fromAlice, fromBob;
  ASSERT_EQ(EncryptStrongMessage(kMessage, alice.secret, alice.pub, me.pub, fromAlice), StrongStatus::kOk);
  ASSERT_EQ(EncryptStrongMessage(kMessage, bob.secret, bob.pub, me.pub, fromBob), StrongStatus::kOk);
  ASSERT_TRUE(SetClipboard(fromAlice));
  EXPECT_EQ(NoticeWithoutKeyMenu(kDecryptClipboard),
            "Alice's program writes strong messages. This older-format text was forged, or Alice does not have your "
            "strong key yet: send Alice your key file again");
  EXPECT_EQ(ClipboardText(), fromAlice);
  ASSERT_TRUE(SetClipboard(fromBob));
  EXPECT_EQ(NoticeWithoutKeyMenu(kDecryptClipboard), DoneFrom("From Bob, older format: not authenticated."));
  EXPECT_EQ(ClipboardText(), kMessage);
  ExitThroughMenu(program_);
}

// The plain text leaves the clipboard a minute after Decrypt Clipboard put
// it there, unless something else was copied in the meantime, which stays.
// The minute is the program's own, waited out (twice) rather than made
// shorter for the test.
TEST_F(ClipboardCommands, DecryptedTextLeavesTheClipboardAMinuteLaterUnlessSomethingElseWasCopied) {
  StartBoth();
  ASSERT_TRUE(SetClipboard(kMessage));
  EXPECT_EQ(RunWithKey(kEncryptClipboard), kClipboardDone);
  const std::string cipher = ClipboardText().value_or("");

  uint64_t decrypted = driver::NowMs();
  EXPECT_EQ(NoticeWithoutKeyMenu(kDecryptClipboard), DoneFrom(FromLine("Me", ring_.keys[0], ring_.strong[0])));
  EXPECT_EQ(ClipboardText(), kMessage);
  ASSERT_TRUE(driver::PollUntil(static_cast<uint32_t>(kClearMs + 10000), [] { return !ClipboardText(); }))
      << "still on the clipboard";
  const uint64_t cleared = driver::NowMs() - decrypted;
  std::printf("the plain text left the clipboard %llu ms after the command\n",
              static_cast<unsigned long long>(cleared));
  EXPECT_GE(cleared, kClearMs);
  EXPECT_EQ(CountClipboardFormats(), 0);

  ASSERT_TRUE(SetClipboard(cipher));
  decrypted = driver::NowMs();
  EXPECT_EQ(NoticeWithoutKeyMenu(kDecryptClipboard), DoneFrom(FromLine("Me", ring_.keys[0], ring_.strong[0])));
  ASSERT_TRUE(SetClipboard("copied since"));
  Sleep(static_cast<DWORD>(decrypted + kClearMs + 3000 - driver::NowMs()));
  EXPECT_EQ(ClipboardText(), "copied since");
  ExitThroughMenu(program_);
  EXPECT_EQ(ClipboardText(), "copied since");
}

// Nor does it outlast the program.
TEST_F(ClipboardCommands, DecryptedTextLeavesTheClipboardWhenTheProgramEnds) {
  StartBoth();
  ASSERT_TRUE(SetClipboard(kMessage));
  EXPECT_EQ(RunWithKey(kEncryptClipboard), kClipboardDone);
  EXPECT_EQ(NoticeWithoutKeyMenu(kDecryptClipboard), DoneFrom(FromLine("Me", ring_.keys[0], ring_.strong[0])));
  EXPECT_EQ(ClipboardText(), kMessage);
  ExitThroughMenu(program_);
  EXPECT_EQ(ClipboardText(), std::nullopt);
}

}  // namespace
