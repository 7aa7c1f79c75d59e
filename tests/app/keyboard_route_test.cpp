// The hotkeys' keyboard route of the real vaultwing.exe under Wine, in the
// look-alike modern chat window, whose panes answer no text message and copy
// and paste through the clipboard themselves: real keyboard input
// (SendInput) for the hotkeys, the key menu answered with posted keys, the
// result opened with the recipient's secret key. What must hold besides the
// message: the user's clipboard back byte for byte (a Unicode text and a
// private format), the plain text never left on it, the chat's standard box
// changed without the clipboard, and nothing changed where there is nothing
// to do.
#include <windows.h>

#include <string>
#include <vector>

#include "keys/formats/cipher.h"
#include "keys/formats/v3_message.h"
#include "keys/key_records.h"
#include "keys/registry_names.h"
#include "resources/resource.h"
#include "tests/app/clipboard_driver.h"
#include "tests/app/hotkey_fixture.h"
#include "tests/lookalike/lookalike_client.h"
#include "tests/wine/chat.h"
#include "win/foreground.h"

using tray::Party;

namespace {

constexpr char kConsoleLeftOut[] =
    "This is a console or terminal window, where Ctrl+C stops a program, so Vaultwing types nothing into it.  Copy the "
    "text, choose Encrypt Clipboard from the tray menu, and paste the result.";
constexpr char kNotPutBack[] =
    "The window did not take the message from the clipboard within two seconds, so it stays there, and what you had "
    "copied was not put back: that could have pasted it into the chat.  If the message is missing, press Ctrl+V.";
constexpr char kMenuNotInFront[] =
    "Windows did not let Vaultwing bring its key menu to the front, so the keyboard could not reach it and nothing "
    "has been changed.  Press the Encrypt hotkey again.";
constexpr char kReadMenuNotInFront[] =
    "Windows did not let Vaultwing bring its key menu to the front, so the keyboard could not reach it and nothing "
    "has been read.  Press the Decrypt hotkey again.";
constexpr char kChatProgram[] = "chat.exe";
constexpr char kPrivateFormat[] = "VwgTestPrivateFormat";
// 2026-11-30 00:53:20 UTC.
constexpr uint64_t kWritten = 1796000000;

// Greek, Cyrillic, a dash, an emoji (a surrogate pair) and a line break.
const std::wstring kWorldMessage = L"Γειά σου, Bob! Привет 👋\r\nΣυνάντηση στις 10:00 — ok";
// What the user had copied before: a password, say, and a format of its
// program's own, with a NUL and high bytes in it.
const std::wstring kUsersText = L"correct horse battery staple ✓";
const std::string kUsersPrivate("\x01\x00\xFF\x80private", 11);

// The clipboard as the user left it: their text and their private format.
struct UsersClipboard {
  std::wstring text;
  std::string privateBytes;
};

bool PutUsersClipboard() {
  clipboard::Clipboard open;
  return open.ok() && EmptyClipboard() &&
         clipboard::PutData(CF_UNICODETEXT, kUsersText.c_str(), (kUsersText.size() + 1) * sizeof(wchar_t)) &&
         clipboard::PutData(RegisterClipboardFormatA(kPrivateFormat), kUsersPrivate.data(), kUsersPrivate.size());
}

UsersClipboard ReadUsersClipboard() {
  UsersClipboard read;
  clipboard::Clipboard open;
  if (!open.ok()) return read;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* p = static_cast<const wchar_t*>(GlobalLock(data))) {
      read.text = p;
      GlobalUnlock(data);
    }
  }
  if (HANDLE data = GetClipboardData(RegisterClipboardFormatA(kPrivateFormat))) {
    if (const auto* p = static_cast<const char*>(GlobalLock(data))) {
      read.privateBytes.assign(p, GlobalSize(data));
      GlobalUnlock(data);
    }
  }
  return read;
}

class KeyboardRoute : public tray::HotkeyProgram {
 protected:
  void StartBoth(const std::string& caption = "Team room - Chat") {
    chat_ = driver::StartChat(tray::WindowsPath(VWG_CHAT_UNIX_PATH), caption);
    ASSERT_NE(chat_.window, nullptr) << driver::Describe(chat_.program);
    program_ = Start();
    ASSERT_NO_FATAL_FAILURE(ExpectRunning(program_));
    ASSERT_TRUE(driver::HotkeyHeld(MOD_CONTROL | MOD_SHIFT | MOD_NOREPEAT, 'E')) << "the program holds no Ctrl+Shift+E";
    ASSERT_TRUE(PutUsersClipboard());
  }

  // Brings the chat to the front with part focused, and presses the
  // hotkey's keys as the user does.
  void PressIn(int part, std::initializer_list<WORD> keys) {
    ASSERT_TRUE(driver::FocusChatPart(chat_, part));
    ASSERT_TRUE(driver::PollUntil(driver::kDefaultTimeoutMs, [&] {
      return driver::BringToFront(chat_.window) && GetDlgCtrlID(driver::KeyboardFocus(chat_.window)) == part;
    })) << "the chat's part " << part << " does not have the keyboard";
    ASSERT_TRUE(Press(program_.pid(), keys));
  }

  // The message box's text once it has changed from before.
  std::wstring BoxTextAfter(const std::wstring& before, const char* what) {
    std::wstring now = before;
    driver::PollUntil(driver::kDefaultTimeoutMs, [&] {
      now = driver::PaneText(chat_.messageBox).value_or(before);
      return now != before;
    });
    EXPECT_NE(now, before) << "nothing written; the balloon says: " << driver::ShownBalloon().text;
    PrintTimeSincePress(std::string("written message, keyboard route, ") + what);
    return now;
  }

  // The user's clipboard is back as it was, byte for byte, once the
  // program's work is done; the plain text, where there was one, is not on
  // it.
  void ExpectUsersClipboardBack(const std::wstring& plain = {}) {
    UsersClipboard read;
    EXPECT_TRUE(driver::PollUntil(driver::kDefaultTimeoutMs, [&] {
      read = ReadUsersClipboard();
      return read.text == kUsersText && read.privateBytes.substr(0, kUsersPrivate.size()) == kUsersPrivate;
    })) << "the clipboard holds \"" << icq::Utf8Of(read.text) << "\"; the balloon says: " << driver::ShownBalloon().text;
    if (!plain.empty()) {
      EXPECT_EQ(read.text.find(plain), std::wstring::npos) << "the plain text was left on the clipboard";
    }
  }

  driver::Chat chat_;
  driver::Program program_;
};

// One keystroke and one menu choice: the chat's own box holds the message
// for the key chosen, the user's clipboard is back byte for byte, and the
// key is remembered for the chat program.
TEST_F(KeyboardRoute, EncryptsTheChatsOwnBoxAndPutsTheUsersClipboardBack) {
  ASSERT_NO_FATAL_FAILURE(StartBoth());
  // Typed as the user types it, the line break as Enter.
  ASSERT_TRUE(driver::FocusChatPart(chat_, chat::kMessageBoxId));
  ASSERT_TRUE(driver::PollUntil(driver::kDefaultTimeoutMs, [&] { return driver::BringToFront(chat_.window); }));
  ASSERT_TRUE(driver::TypeText(kWorldMessage));
  ASSERT_TRUE(driver::PollUntil(driver::kDefaultTimeoutMs,
                                [&] { return driver::PaneText(chat_.messageBox) == kWorldMessage; }))
      << "the typing did not arrive";
  ASSERT_NO_FATAL_FAILURE(PressIn(chat::kMessageBoxId, {VK_CONTROL, VK_SHIFT, 'E'}));
  HWND menu = driver::WaitForMenu(program_.pid());
  ASSERT_NE(menu, nullptr) << "no key menu; the balloon says: " << driver::ShownBalloon().text;
  KeepScreenshot("keyboard-route-menu.png");
  ASSERT_TRUE(icq::ChooseKey(program_.pid(), menu, VK_END));  // Bob
  const std::wstring toBob = BoxTextAfter(kWorldMessage, "menu answered by the test");
  EXPECT_EQ(toBob.rfind(L"?VW3:", 0), 0u) << icq::Utf8Of(toBob);
  EXPECT_EQ(OpenFor(bob_, toBob), icq::Utf8Of(kWorldMessage));
  ExpectUsersClipboardBack(kWorldMessage);
  EXPECT_EQ(GetForegroundWindow(), chat_.window) << "the chat did not get the keyboard back";
  EXPECT_EQ(driver::ReadRegString(kLastKeyKey, kChatProgram), ShownFingerprint(bob_.pub, bob_.strong));
  ExitThroughMenu(program_);
}

// With Auto-Encrypt on, the caption's key is taken without a menu; an empty
// box changes nothing and leaves the user's clipboard as it was.
TEST_F(KeyboardRoute, AutoEncryptNeedsOneKeystrokeAndAnEmptyBoxChangesNothing) {
  ASSERT_TRUE(driver::WriteRegDword(kSettingsKey, kAutoEncryptValue, 1));
  ASSERT_NO_FATAL_FAILURE(StartBoth("Chat with Alice"));
  ASSERT_NO_FATAL_FAILURE(PressIn(chat::kMessageBoxId, {VK_CONTROL, VK_SHIFT, 'E'}));
  EXPECT_TRUE(BalloonOfPress(program_.pid(), tray::kNothingToEncrypt));
  EXPECT_EQ(driver::OpenMenuCount(program_.pid()), 0);
  EXPECT_EQ(driver::PaneText(chat_.messageBox), std::wstring());
  ExpectUsersClipboardBack();

  ASSERT_TRUE(driver::SetPaneEntries(chat_.messageBox, {kWorldMessage}));
  ASSERT_NO_FATAL_FAILURE(PressIn(chat::kMessageBoxId, {VK_CONTROL, VK_SHIFT, 'E'}));
  const std::wstring toAlice = BoxTextAfter(kWorldMessage, "no menu (Auto-Encrypt)");
  EXPECT_EQ(driver::OpenMenuCount(program_.pid()), 0);
  EXPECT_EQ(OpenFor(alice_, toAlice), icq::Utf8Of(kWorldMessage));
  ExpectUsersClipboardBack(kWorldMessage);
  ExitThroughMenu(program_);
}

// The chat's standard box is read and written with messages: the
// clipboard is not touched at all.
TEST_F(KeyboardRoute, TheChatsStandardBoxIsChangedWithoutTheClipboard) {
  ASSERT_NO_FATAL_FAILURE(StartBoth());
  ASSERT_TRUE(driver::SetWindowTextRemoteW(chat_.edit, kWorldMessage));
  const DWORD clipboard = GetClipboardSequenceNumber();
  ASSERT_NO_FATAL_FAILURE(PressIn(chat::kEditId, {VK_CONTROL, VK_SHIFT, 'E'}));
  ASSERT_TRUE(icq::ChooseKey(program_.pid(), driver::WaitForMenu(program_.pid()), VK_END));
  const std::wstring toBob = icq::WaitForTextChangeW(chat_.edit, kWorldMessage);
  EXPECT_EQ(OpenFor(bob_, toBob), icq::Utf8Of(kWorldMessage));
  EXPECT_EQ(GetClipboardSequenceNumber(), clipboard) << "the clipboard was used";
  ExitThroughMenu(program_);
}

// A message selected among the history's lines is shown in the reading
// window, with its sender; the chat keeps its lines and the user's
// clipboard is back.
TEST_F(KeyboardRoute, ReadsAMessageSelectedInTheHistoryPane) {
  ASSERT_NO_FATAL_FAILURE(StartBoth());
  std::string message;
  ASSERT_EQ(EncryptV3Message(icq::Utf8Of(kWorldMessage), kWritten, alice_.secret, alice_.strong, me_.strong, message),
            StrongStatus::kOk);
  const std::vector<std::wstring> lines = {L"Alice, 10:02", icq::WideFromAnsi(message), L"Bob, 10:03",
                                           L"See you there."};
  ASSERT_TRUE(driver::SetPaneEntries(chat_.history, lines));
  ASSERT_TRUE(driver::SelectPaneEntries(chat_.history, 0, 1));
  ASSERT_NO_FATAL_FAILURE(PressIn(chat::kHistoryId, {VK_CONTROL, VK_SHIFT, 'D'}));
  driver::WindowQuery query;
  query.className = "#32770";
  query.caption = "Message from Alice";
  query.pid = program_.pid();
  const HWND reading = driver::WaitForWindow(query);
  ASSERT_NE(reading, nullptr) << "no reading window; the balloon says: " << driver::ShownBalloon().text;
  PrintTimeSincePress("reading window, keyboard route");
  EXPECT_EQ(driver::WindowTextW(GetDlgItem(reading, IDC_READING_TEXT)), kWorldMessage);
  KeepScreenshot("reading-window-over-chat.png");
  ExpectUsersClipboardBack(kWorldMessage);
  EXPECT_EQ(driver::PaneText(chat_.history), lines[0] + L"\r\n" + lines[1] + L"\r\n" + lines[2] + L"\r\n" + lines[3]);
  ExitThroughMenu(program_);
}

// Where Windows refuses the foreground, no menu opens that the keyboard
// could not reach: the chat's box keeps the plain text, the user's
// clipboard is back, and an older-format message to read (whose sender is
// chosen from a menu) is not read either.
TEST_F(KeyboardRoute, RefusedForegroundOpensNoMenuAndPutsTheClipboardBack) {
  SetEnvironmentVariableA(kForegroundRefusedVariable, "1");
  StartBoth();
  SetEnvironmentVariableA(kForegroundRefusedVariable, nullptr);
  ASSERT_FALSE(HasFatalFailure());
  ASSERT_TRUE(driver::SetPaneEntries(chat_.messageBox, {kWorldMessage}));
  ASSERT_NO_FATAL_FAILURE(PressIn(chat::kMessageBoxId, {VK_CONTROL, VK_SHIFT, 'E'}));
  EXPECT_TRUE(BalloonOfPress(program_.pid(), kMenuNotInFront));
  EXPECT_EQ(driver::OpenMenuCount(program_.pid()), 0);
  EXPECT_EQ(driver::PaneText(chat_.messageBox), kWorldMessage);
  ExpectUsersClipboardBack(kWorldMessage);

  CurvePoint mine;
  RecordPoint(me_.pub, mine);
  std::string older;
  ASSERT_TRUE(EncryptText("From the old days", alice_.secret, mine, older));
  ASSERT_TRUE(driver::SetPaneEntries(chat_.history, {L"Alice, 09:00", icq::WideFromAnsi(older)}));
  ASSERT_TRUE(driver::SelectPaneEntries(chat_.history, 0, 1));
  ASSERT_NO_FATAL_FAILURE(PressIn(chat::kHistoryId, {VK_CONTROL, VK_SHIFT, 'D'}));
  EXPECT_TRUE(BalloonOfPress(program_.pid(), kReadMenuNotInFront));
  EXPECT_EQ(driver::OpenMenuCount(program_.pid()), 0);
  ExpectUsersClipboardBack(L"From the old days");
  ExitThroughMenu(program_);
}

// A pane that copies but takes no paste (the read-only history) never asks
// for the message: two seconds on, the message stays on the clipboard, where
// the user can paste it, and a balloon says that the user's clipboard was
// not put back, since putting it back early could paste that instead.
TEST_F(KeyboardRoute, AMessageNotTakenWithinTwoSecondsStaysOnTheClipboardWithABalloon) {
  ASSERT_NO_FATAL_FAILURE(StartBoth());
  const std::vector<std::wstring> lines = {kWorldMessage};
  ASSERT_TRUE(driver::SetPaneEntries(chat_.history, lines));
  ASSERT_NO_FATAL_FAILURE(PressIn(chat::kHistoryId, {VK_CONTROL, VK_SHIFT, 'E'}));
  ASSERT_TRUE(icq::ChooseKey(program_.pid(), driver::WaitForMenu(program_.pid()), VK_END));
  EXPECT_TRUE(BalloonOfPress(program_.pid(), kNotPutBack));
  const UsersClipboard left = ReadUsersClipboard();
  EXPECT_EQ(OpenFor(bob_, left.text), icq::Utf8Of(kWorldMessage));
  EXPECT_EQ(driver::PaneText(chat_.history), kWorldMessage);
  ExitThroughMenu(program_);
}

// A console is left out of the keyboard route, where Ctrl+C would stop the
// program that runs in it: a balloon, no menu, and the clipboard untouched.
TEST_F(KeyboardRoute, LeavesAConsoleWindowOut) {
  ASSERT_NO_FATAL_FAILURE(StartBoth());
  const driver::Program console = driver::StartCommand("wineconsole.exe cmd.exe");
  driver::WindowQuery query;
  query.caption = "C:\\windows\\system32\\cmd.exe";
  const HWND window = driver::WaitForWindow(query);
  ASSERT_NE(window, nullptr) << "no console window";
  ASSERT_TRUE(driver::PollUntil(driver::kDefaultTimeoutMs, [&] {
    return driver::BringToFront(window) && driver::KeyboardFocus(window) == window;
  })) << "the console does not have the keyboard";
  const DWORD clipboard = GetClipboardSequenceNumber();
  ASSERT_TRUE(driver::PressKeys({VK_CONTROL, VK_SHIFT, 'E'}));
  EXPECT_NE(driver::WaitForBalloon(kConsoleLeftOut), nullptr) << driver::ShownBalloon().text;
  EXPECT_EQ(driver::OpenMenuCount(program_.pid()), 0);
  EXPECT_EQ(GetClipboardSequenceNumber(), clipboard) << "the clipboard was used";
  PostMessageA(window, WM_CLOSE, 0, 0);
  ExitThroughMenu(program_);
}

}  // namespace
