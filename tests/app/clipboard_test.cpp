// The tray menu's clipboard commands of the real vaultwing.exe under Wine,
// with texts copied from and pasted into the look-alike messenger's dialogs.
#include <windows.h>

#include <optional>
#include <string>

#include "keys/cipher.h"
#include "tests/app/clipboard_driver.h"
#include "tests/icq/icq_fixture.h"
#include "tests/keys/test_keys.h"

using namespace icq;
using namespace clipboard;
using messenger::kOpenIncomingDialog;
using messenger::kOpenSendDialog;

namespace {

constexpr char kAppCaption[] = "Vaultwing for ICQ";
constexpr char kClipboardDone[] =
    "The message has been encrypted or decrypted and the result has been put into Windows Clipboard.  It can be "
    "accessed with standard Copy/Paste/Cut functions";
constexpr char kNoText[] = "There is no text in Windows Clipboard.  Copy the message first, then choose the command again.";
constexpr char kNotEncrypted[] = "This message is not encrypted.";
constexpr const char* kPrivateFormats[] = {"ExcludeClipboardContentFromMonitorProcessing",
                                           "CanIncludeInClipboardHistory", "CanUploadToCloudClipboard"};

// Two lines, 87 bytes: two blocks, the second padded with 29 spaces.
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
  // Ctrl+C, and closes the dialog. While a dialog is listed, each scan tick
  // dispatches the program's queue, which can swallow the keys posted to
  // its menus; once it has closed, the next ticks drop it.
  void CopyAndClose(HWND dialog) {
    HWND edit = MessageEdit(dialog);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    SendMessageA(edit, WM_COPY, 0, 0);
    PostMessageA(dialog, WM_CLOSE, 0, 0);
    ASSERT_TRUE(driver::WaitWindowGone(dialog));
    Sleep(kTicksToDropMs);
  }
  static constexpr DWORD kTicksToDropMs = 700;

  bool ChooseTrayCommand(std::initializer_list<UINT> keys) {
    return clipboard::ChooseTrayCommand(OpenTrayMenu(program_), keys);
  }

  // A clipboard command with the owner's key, up to its notice.
  std::string RunWithOwnKey(std::initializer_list<UINT> command) {
    EXPECT_TRUE(ChooseTrayCommand(command));
    EXPECT_TRUE(ChooseKey(driver::WaitForMenu(program_.pid()), VK_HOME)) << "no key menu";
    std::string notice;
    EXPECT_TRUE(driver::AnswerMessageBox(kAppCaption, IDOK, &notice, program_.pid()));
    return notice;
  }

  // A command that must stop at a notice without any key menu.
  std::string NoticeWithoutKeyMenu(std::initializer_list<UINT> command) {
    EXPECT_TRUE(ChooseTrayCommand(command));
    std::string notice;
    EXPECT_TRUE(driver::AnswerMessageBox(kAppCaption, IDOK, &notice, program_.pid()));
    EXPECT_EQ(driver::OpenMenuCount(program_.pid()), 0);
    return notice;
  }

  CurvePoint OwnPoint() const {
    CurvePoint p;
    RecordPoint(ring_[0], p);
    return p;
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

  EXPECT_EQ(RunWithOwnKey(kEncryptClipboard), kClipboardDone);
  std::string expected;
  ASSERT_TRUE(EncryptText(kMessage, secret_, OwnPoint(), expected));
  const std::optional<std::string> cipher = ClipboardText();
  ASSERT_TRUE(cipher);
  EXPECT_EQ(*cipher, expected);
  EXPECT_EQ(ClipboardDword(kPrivateFormats[1]), std::nullopt) << "encrypted text needs no protection";

  // Received wrapped, with a line break at the end, and copied from the
  // incoming dialog.
  HWND incoming = Open(kOpenIncomingDialog, "Incoming Message");
  ASSERT_TRUE(driver::SetWindowTextRemote(MessageEdit(incoming), Wrapped(*cipher, 50)));
  CopyAndClose(incoming);
  ASSERT_EQ(ClipboardText(), Wrapped(*cipher, 50));

  EXPECT_EQ(RunWithOwnKey(kDecryptClipboard), kClipboardDone);
  EXPECT_EQ(ClipboardText(), kMessage) << "the padding is trimmed";
  for (const char* format : kPrivateFormats) EXPECT_EQ(ClipboardDword(format), 0u) << format;

  // And pasted into a new message.
  HWND replyDialog = Open(kOpenSendDialog, "Send Message");
  HWND reply = MessageEdit(replyDialog);
  SendMessageA(reply, WM_PASTE, 0, 0);
  EXPECT_EQ(driver::WindowText(reply), kMessage);
  PostMessageA(replyDialog, WM_CLOSE, 0, 0);
  ASSERT_TRUE(driver::WaitWindowGone(replyDialog));
  Sleep(kTicksToDropMs);
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

}  // namespace
