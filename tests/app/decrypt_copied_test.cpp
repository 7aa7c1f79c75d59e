// Decrypt what I copy in the real vaultwing.exe under Wine: the test copies
// texts to the clipboard as another program would, and looks for the
// reading window from outside. A copy that must open nothing is followed by
// a step the program takes only after it has handled the copy's notice (the
// sheet opened from the tray, a posted message): any window that copy had
// opened would be there by then.
#include <windows.h>

#include <optional>
#include <string>

#include "keys/formats/strong_message.h"
#include "keys/formats/v3_message.h"
#include "resources/resource.h"
#include "tests/app/clipboard_driver.h"
#include "tests/app/sheet_driver.h"
#include "tests/app/tray_fixture.h"
#include "tests/lookalike/lookalike_client.h"

using tray::Party;

namespace {

constexpr uint64_t kWritten = 1796000000;  // 2026-11-30 00:53:20 UTC

std::wstring WideOfUtf8(const std::string& utf8) {
  std::wstring wide(utf8.size(), L'\0');
  wide.resize(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                                      wide.data(), static_cast<int>(wide.size()))));
  return wide;
}

class DecryptCopied : public tray::TrayProgram {
 protected:
  // Me, Alice and Bob, with strong keys; the program runs with mine.
  DecryptCopied() {
    MakeParty(me_, "Me");
    MakeParty(alice_, "Alice");
    MakeParty(bob_, "Bob");
    SaveKeys({me_, alice_, bob_}, me_.secret);
  }

  // Starts the program with the box as on says, or as it is at first, and
  // waits until its message loop runs, listening from then on.
  void StartProgram(std::optional<bool> on) {
    if (on) {
      ASSERT_TRUE(driver::WriteRegDword(kSettingsKey, "DecryptCopied", *on ? 1 : 0));
    }
    program_ = Start();
    ASSERT_NO_FATAL_FAILURE(ExpectRunning(program_));
    ASSERT_NO_FATAL_FAILURE(Settle());
  }

  // A ?VW3: message from sender to recipient.
  static std::string Message(const Party& sender, const Party& recipient, const std::wstring& text) {
    std::string message;
    EXPECT_EQ(EncryptV3Message(icq::Utf8Of(text), kWritten, sender.secret, sender.strong, recipient.strong, message),
              StrongStatus::kOk);
    return message;
  }

  // Lines of a chat around message, as a copy from a chat has them.
  static std::wstring ChatLines(const std::string& message) {
    return L"[10:03] Alice:\r\n" + WideOfUtf8(message.substr(0, 60) + "\r\n" + message.substr(60)) +
           L"\r\n[10:04] Me: ok";
  }

  static void Copy(const std::wstring& text) { ASSERT_TRUE(clipboard::SetUnicodeClipboard(text)); }

  // The reading window, whatever its caption: the dialog with its text box.
  driver::WindowQuery ReadingQuery() const {
    driver::WindowQuery query;
    query.className = "#32770";
    query.pid = program_.pid();
    query.accept = [](HWND window) { return GetDlgItem(window, IDC_READING_TEXT) != nullptr; };
    return query;
  }
  HWND ReadingWindow() const { return driver::FindTopWindow(ReadingQuery()); }
  HWND WaitForReadingWindow() const { return driver::WaitForWindow(ReadingQuery()); }

  // Returns once the program has handled every notice of the copies before:
  // the sheet opens from a posted message, which waits behind them.
  void Settle() {
    ASSERT_TRUE(driver::PostTrayCallback(program_.pid(), WM_LBUTTONDBLCLK));
    HWND sheet = sheet::WaitForSheet(program_.pid());
    ASSERT_NE(sheet, nullptr);
    ASSERT_TRUE(driver::PressButton(sheet, IDCANCEL));
  }

  // Opens the sheet, sets the box as on says and presses OK.
  void SetBox(bool on) {
    ASSERT_TRUE(driver::PostTrayCallback(program_.pid(), WM_LBUTTONDBLCLK));
    HWND sheet = sheet::WaitForSheet(program_.pid());
    ASSERT_NE(sheet, nullptr);
    HWND page = sheet::Page(sheet, "Settings");
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(driver::CheckState(page, IDC_DECRYPT_COPIED), on ? BST_UNCHECKED : BST_CHECKED);
    ASSERT_TRUE(driver::ClickButton(page, IDC_DECRYPT_COPIED));
    ASSERT_TRUE(driver::PollUntil(driver::kDefaultTimeoutMs, [&] {
      return driver::CheckState(page, IDC_DECRYPT_COPIED) == (on ? BST_CHECKED : BST_UNCHECKED);
    }));
    ASSERT_TRUE(driver::PressButton(sheet, IDOK));
    EXPECT_EQ(driver::ReadRegDword(kSettingsKey, "DecryptCopied"), on ? 1u : 0u);
  }

  void Close(HWND window) {
    ASSERT_TRUE(driver::ClickButton(window, IDCANCEL));
    ASSERT_TRUE(driver::WaitWindowGone(window));
  }

  // Nothing opened and nothing said.
  void ExpectNothingShown(const char* what) {
    ASSERT_NO_FATAL_FAILURE(Settle());
    EXPECT_EQ(ReadingWindow(), nullptr) << what << " opened a reading window";
    EXPECT_EQ(driver::ShownBalloon().window, nullptr) << what << ": " << driver::ShownBalloon().text;
  }

  std::string KeyLine(const Party& party) {
    return "Key ID " + ShownKeyId(party.pub, party.strong) + ", written 2026-11-30 00:53 UTC";
  }

  Party me_, alice_, bob_;
  driver::Program program_;
};

// A message for me among a chat's lines opens the reading window with its
// text and sender, once: the same lines copied again open nothing. Copies
// without a message, with one for someone else, or changed on the way open
// nothing and say nothing; the next message for me opens again.
TEST_F(DecryptCopied, AMessageForMeOpensTheReadingWindowOnceAndOtherCopiesNothing) {
  ASSERT_NO_FATAL_FAILURE(StartProgram(true));
  const std::wstring world = L"Γειά σου! Привет 👋\r\nat 10:00 — ok";
  const std::wstring chat = ChatLines(Message(alice_, me_, world));
  ASSERT_NO_FATAL_FAILURE(Copy(chat));
  HWND window = WaitForReadingWindow();
  ASSERT_NE(window, nullptr) << "no reading window; balloon: " << driver::ShownBalloon().text;
  EXPECT_EQ(driver::WindowText(window), "Message from Alice");
  EXPECT_EQ(driver::WindowTextW(GetDlgItem(window, IDC_READING_TEXT)), world);
  EXPECT_EQ(driver::WindowText(GetDlgItem(window, IDC_READING_SENDER)), KeyLine(alice_));
  ASSERT_NO_FATAL_FAILURE(Close(window));

  ASSERT_NO_FATAL_FAILURE(Copy(chat));
  ASSERT_NO_FATAL_FAILURE(ExpectNothingShown("the same copy again"));
  ASSERT_NO_FATAL_FAILURE(Copy(L"[10:05] Alice: see you at noon"));
  ASSERT_NO_FATAL_FAILURE(ExpectNothingShown("a copy without a message"));
  ASSERT_NO_FATAL_FAILURE(Copy(ChatLines(Message(alice_, bob_, L"For Bob only"))));
  ASSERT_NO_FATAL_FAILURE(ExpectNothingShown("a message for Bob"));
  std::string changed = Message(alice_, me_, L"Meet at noon");
  changed[40] = changed[40] == 'A' ? 'B' : 'A';
  ASSERT_NO_FATAL_FAILURE(Copy(ChatLines(changed)));
  ASSERT_NO_FATAL_FAILURE(ExpectNothingShown("a changed message"));

  ASSERT_NO_FATAL_FAILURE(Copy(chat));
  window = WaitForReadingWindow();
  ASSERT_NE(window, nullptr) << "the message copied again after other copies opened nothing";
  EXPECT_EQ(driver::WindowTextW(GetDlgItem(window, IDC_READING_TEXT)), world);
  ASSERT_NO_FATAL_FAILURE(Close(window));
  ExitThroughMenu(program_);
}

// The program's own writing opens nothing: a message whose text is another
// message for me shows that one's armour, and the reading window's Copy puts
// it on the clipboard, where it stays unopened.
TEST_F(DecryptCopied, TheProgramsOwnCopyOpensNothing) {
  ASSERT_NO_FATAL_FAILURE(StartProgram(true));
  const std::string inner = Message(bob_, me_, L"Inside");
  ASSERT_NO_FATAL_FAILURE(Copy(ChatLines(Message(alice_, me_, WideOfUtf8(inner)))));
  HWND window = WaitForReadingWindow();
  ASSERT_NE(window, nullptr) << "no reading window; balloon: " << driver::ShownBalloon().text;
  EXPECT_EQ(driver::WindowText(GetDlgItem(window, IDC_READING_TEXT)), inner);

  ASSERT_TRUE(driver::ClickButton(window, IDC_READING_COPY));
  ASSERT_TRUE(driver::PollUntil(driver::kDefaultTimeoutMs,
                                [&] { return clipboard::UnicodeClipboardText() == WideOfUtf8(inner); }));
  ASSERT_NO_FATAL_FAILURE(Settle());
  EXPECT_EQ(ReadingWindow(), window);
  EXPECT_EQ(driver::WindowText(window), "Message from Alice") << "the program's own copy was opened";
  EXPECT_EQ(driver::WindowText(GetDlgItem(window, IDC_READING_TEXT)), inner);
  ASSERT_NO_FATAL_FAILURE(Close(window));
  ExitThroughMenu(program_);
}

// Off at first; the box turns it on and off at OK, without a new start.
TEST_F(DecryptCopied, IsOffAtFirstAndFollowsTheBoxAtOk) {
  ASSERT_NO_FATAL_FAILURE(StartProgram(std::nullopt));
  EXPECT_EQ(driver::ReadRegDword(kSettingsKey, "DecryptCopied"), 0u);
  const std::wstring chat = ChatLines(Message(alice_, me_, L"Hello"));
  ASSERT_NO_FATAL_FAILURE(Copy(chat));
  ASSERT_NO_FATAL_FAILURE(ExpectNothingShown("a copy with the box off"));

  ASSERT_NO_FATAL_FAILURE(SetBox(true));
  ASSERT_NO_FATAL_FAILURE(Copy(chat));
  HWND window = WaitForReadingWindow();
  ASSERT_NE(window, nullptr) << "turned on at OK, the copy opened nothing";
  EXPECT_EQ(driver::WindowText(GetDlgItem(window, IDC_READING_TEXT)), "Hello");
  ASSERT_NO_FATAL_FAILURE(Close(window));

  ASSERT_NO_FATAL_FAILURE(SetBox(false));
  ASSERT_NO_FATAL_FAILURE(Copy(ChatLines(Message(bob_, me_, L"Hello again"))));
  ASSERT_NO_FATAL_FAILURE(ExpectNothingShown("a copy after the box was turned off"));
  ExitThroughMenu(program_);
}

}  // namespace
