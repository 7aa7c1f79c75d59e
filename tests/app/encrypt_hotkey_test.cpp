// The Encrypt hotkey of the real vaultwing.exe under Wine, in the look-alike
// writing window's standard Edit box: real keyboard input (SendInput) for
// the hotkey, the key menu answered with posted keys, and the result opened
// with the recipient's secret key. What must hold besides the message: the
// clipboard untouched, Undo unable to bring the plain text back, nothing
// changed and no menu where there is nothing to do or the foreground is
// refused.
#include <windows.h>

#include <string>

#include "keys/formats/strong_message.h"
#include "keys/formats/v3_message.h"
#include "keys/registry_names.h"
#include "tests/app/hotkey_fixture.h"
#include "tests/lookalike/lookalike_client.h"
#include "tests/lookalike/writer_protocol.h"
#include "win/foreground.h"

using tray::Party;

namespace {

constexpr char kAlreadyEncrypted[] = "This text already is an encrypted message, so it has been left as it is.";
constexpr char kMenuNotInFront[] =
    "Windows did not let Vaultwing bring its key menu to the front, so the keyboard could not reach it and nothing "
    "has been changed.  Press the Encrypt hotkey again.";
constexpr char kWriterProgram[] = "writer.exe";

// The key the program remembers for the writing window's program.
std::string LastKey() { return driver::ReadRegString(kLastKeyKey, kWriterProgram).value_or("(none)"); }

// True once the remembered key is shown: the program stores it just after
// it has written the message, which the test may see first.
bool LastKeyBecomes(const std::string& shown) {
  return driver::PollUntil(driver::kDefaultTimeoutMs, [&] { return LastKey() == shown; });
}

// Greek, Cyrillic, a dash, an emoji (a surrogate pair) and a line break.
const std::wstring kWorldMessage = L"Γειά σου, Alice! Привет 👋\r\nΣυνάντηση στις 10:00 — ok";

class EncryptHotkey : public tray::HotkeyProgram {
 protected:
  void StartBoth(const std::string& caption = "Notes - Writer") {
    writer_ = driver::StartProgram(tray::WindowsPath(VWG_WRITER_UNIX_PATH), caption);
    ASSERT_TRUE(writer_) << "could not start the writing window";
    window_ = driver::WaitForMainWindow(writer_.pid(), writer::kWriterClass);
    ASSERT_NE(window_, nullptr) << driver::Describe(writer_);
    edit_ = driver::PollUntil(driver::kDefaultTimeoutMs, [&] { return driver::FindControl(window_, writer::kWriterEdit); });
    ASSERT_NE(edit_, nullptr);
    program_ = Start();
    ASSERT_NO_FATAL_FAILURE(ExpectRunning(program_));
    // The program registers its hotkeys before its splash shows.
    ASSERT_TRUE(driver::HotkeyHeld(MOD_CONTROL | MOD_SHIFT | MOD_NOREPEAT, 'E')) << "the program holds no Ctrl+Shift+E";
  }

  // Writes text into the box as the user has typed it, brings the window to
  // the front and presses Ctrl+Shift+E.
  void PressOver(const std::wstring& text) {
    ASSERT_TRUE(driver::SetWindowTextRemoteW(edit_, text));
    ASSERT_TRUE(driver::PollUntil(driver::kDefaultTimeoutMs, [&] { return driver::BringToFront(window_); }))
        << "the foreground is a " << driver::WindowClass(GetForegroundWindow()) << " of process "
        << driver::WindowProcess(GetForegroundWindow());
    // The window gives the focus back to its control on activation, a
    // moment after it comes to the front; a user would click there first.
    ASSERT_TRUE(driver::PollUntil(driver::kDefaultTimeoutMs, [&] {
      HWND focus = driver::KeyboardFocus(window_);
      return GetForegroundWindow() == window_ && focus != nullptr && GetParent(focus) == window_;
    })) << "no control of the window has the focus";
    ASSERT_TRUE(Press(program_.pid(), {VK_CONTROL, VK_SHIFT, 'E'}));
  }

  // The press's text once written, and how long after the press it was.
  std::wstring WrittenAfter(const std::wstring& before, const char* what) {
    const std::wstring written = icq::WaitForTextChangeW(edit_, before);
    EXPECT_NE(written, before) << "nothing written; the balloon says: " << driver::ShownBalloon().text;
    PrintTimeSincePress(std::string("written message, ") + what);
    return written;
  }

  // The press brings a balloon with text, no menu opens, and the box keeps
  // what it held.
  void ExpectRefusal(const char* text, const std::wstring& held) {
    EXPECT_TRUE(BalloonOfPress(program_.pid(), text));
    EXPECT_EQ(driver::OpenMenuCount(program_.pid()), 0);
    EXPECT_EQ(driver::WindowTextW(edit_), held);
  }

  driver::Program writer_, program_;
  HWND window_ = nullptr, edit_ = nullptr;
};

// The menu opens at the caret; the message is for the key chosen, in place
// of the text, with the clipboard untouched and nothing to undo; the key is
// remembered for the program and listed first the next time.
TEST_F(EncryptHotkey, EncryptsTheBoxInPlaceForTheChosenKeyAndListsItFirstNextTime) {
  ASSERT_NO_FATAL_FAILURE(StartBoth());
  const DWORD clipboard = GetClipboardSequenceNumber();
  ASSERT_NO_FATAL_FAILURE(PressOver(kWorldMessage));
  HWND menu = driver::WaitForMenu(program_.pid());
  ASSERT_NE(menu, nullptr) << "no key menu (" << driver::OpenMenuCount(program_.pid())
                           << " open but not yet reading keys); the balloon says: \"" << driver::ShownBalloon().text
                           << "\"; in front: a " << driver::WindowClass(GetForegroundWindow()) << " of process "
                           << driver::WindowProcess(GetForegroundWindow()) << " (the program is " << program_.pid()
                           << ")";
  RECT box, shown;
  GetWindowRect(edit_, &box);
  GetWindowRect(menu, &shown);
  EXPECT_TRUE(shown.left >= box.left && shown.left < box.right && shown.top >= box.top && shown.top < box.bottom)
      << "the menu is not at the caret: (" << shown.left << ", " << shown.top << ")";
  KeepScreenshot("encrypt-hotkey-menu.png");
  ASSERT_TRUE(icq::ChooseKey(program_.pid(), menu, VK_END));  // Bob
  const std::wstring toBob = WrittenAfter(kWorldMessage, "menu answered by the test");
  EXPECT_EQ(toBob.rfind(L"?VW3:", 0), 0u) << icq::Utf8Of(toBob);
  EXPECT_EQ(OpenFor(bob_, toBob), icq::Utf8Of(kWorldMessage));
  EXPECT_EQ(GetClipboardSequenceNumber(), clipboard) << "the clipboard was used";
  EXPECT_EQ(SendMessageA(edit_, EM_CANUNDO, 0, 0), 0) << "Undo would bring the plain text back";
  EXPECT_EQ(GetForegroundWindow(), window_) << "the writing window did not get the keyboard back";
  EXPECT_TRUE(LastKeyBecomes(ShownFingerprint(bob_.pub, bob_.strong))) << LastKey();

  // Bob is listed first now: the first item is his.
  const std::wstring second = L"And a second line for the same person.";
  ASSERT_NO_FATAL_FAILURE(PressOver(second));
  ASSERT_TRUE(icq::ChooseKey(program_.pid(), driver::WaitForMenu(program_.pid()), VK_HOME));
  EXPECT_EQ(OpenFor(bob_, WrittenAfter(second, "menu answered by the test")), icq::Utf8Of(second));
  ExitThroughMenu(program_);
}

// An empty box, a text that already is a message, and a control that
// copies nothing: a balloon each, no menu, nothing changed.
TEST_F(EncryptHotkey, LeavesAnEmptyBoxAMessageAndOtherControlsAsTheyAre) {
  ASSERT_NO_FATAL_FAILURE(StartBoth());
  ASSERT_NO_FATAL_FAILURE(PressOver(L"  \r\n"));
  ExpectRefusal(tray::kNothingToEncrypt, L"  \r\n");

  std::string message;
  ASSERT_EQ(EncryptV3Message("Already sealed", 1700000000, alice_.secret, alice_.strong, me_.strong, message),
            StrongStatus::kOk);
  const std::wstring sealed = icq::WideFromAnsi(message);
  ASSERT_NO_FATAL_FAILURE(PressOver(sealed));
  ExpectRefusal(kAlreadyEncrypted, sealed);

  std::string older;
  ASSERT_EQ(EncryptStrongMessage("Already sealed", bob_.secret, bob_.pub, me_.pub, older), StrongStatus::kOk);
  ASSERT_NO_FATAL_FAILURE(PressOver(icq::WideFromAnsi(older)));
  ExpectRefusal(kAlreadyEncrypted, icq::WideFromAnsi(older));

  // A list copies nothing on Ctrl+C: after a second, the same balloon. Sent,
  // not posted: the press must not reach the box before the list has the
  // focus.
  SendMessageA(window_, writer::kFocusList, 0, 0);
  ASSERT_NO_FATAL_FAILURE(PressOver(L"Plain words"));
  ExpectRefusal(tray::kNothingToEncrypt, L"Plain words");
  ExitThroughMenu(program_);
}

// Where Windows refuses the foreground, no menu opens that the keyboard
// could not reach, and nothing is written.
TEST_F(EncryptHotkey, RefusedForegroundOpensNoMenuAndWritesNothing) {
  SetEnvironmentVariableA(kForegroundRefusedVariable, "1");
  StartBoth();
  SetEnvironmentVariableA(kForegroundRefusedVariable, nullptr);
  ASSERT_FALSE(HasFatalFailure());
  ASSERT_NO_FATAL_FAILURE(PressOver(kWorldMessage));
  ExpectRefusal(kMenuNotInFront, kWorldMessage);
  EXPECT_FALSE(driver::ReadRegString(kLastKeyKey, kWriterProgram).has_value());
  ExitThroughMenu(program_);
}

// With Auto-Encrypt on, a caption that names one key by its user ID takes it
// without a menu.
TEST_F(EncryptHotkey, AutoEncryptTakesTheKeyTheCaptionNamesWithoutAMenu) {
  ASSERT_TRUE(driver::WriteRegDword(kSettingsKey, kAutoEncryptValue, 1));
  ASSERT_NO_FATAL_FAILURE(StartBoth("Chat with alice - Writer"));
  ASSERT_NO_FATAL_FAILURE(PressOver(kWorldMessage));
  const std::wstring toAlice = WrittenAfter(kWorldMessage, "no menu (Auto-Encrypt)");
  EXPECT_EQ(driver::OpenMenuCount(program_.pid()), 0);
  EXPECT_EQ(OpenFor(alice_, toAlice), icq::Utf8Of(kWorldMessage));
  EXPECT_TRUE(LastKeyBecomes(ShownFingerprint(alice_.pub, alice_.strong))) << LastKey();
  ExitThroughMenu(program_);
}

}  // namespace
