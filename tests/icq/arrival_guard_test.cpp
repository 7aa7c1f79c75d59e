// What keeps Auto-Decrypt from being used against its user, with the real
// vaultwing.exe beside two look-alike messengers: a plain text is written
// unasked only into the dialog of a program with our rights, outside a
// sandbox; and a messenger that stops answering holds up neither the tray
// menu nor the other messenger's dialogs, and gets its message once it
// answers again.
#include <windows.h>

#include <cstdio>
#include <string>

#include "icq/token_facts.h"
#include "tests/icq/auto_modes_fixture.h"

using namespace icq;
using messenger::kOpenIncomingDialog;
using messenger::kOpenSendDialog;

namespace {

constexpr char kAppCaption[] = "Vaultwing for ICQ";
constexpr char kNotAnswering[] =
    "The message window is not answering, so nothing in it has been changed.  Try again once it answers.";

std::string LeftInSandbox(const char* sender) {
  return std::string("A message from ") + sender +
         " has been left encrypted: its window belongs to a sandboxed program, or one with fewer rights than "
         "Vaultwing, which could be posing as ICQ.  If it is ICQ's, press Decrypt.";
}

// Under Wine every process has the same token: the program started while
// this lives takes the process pid for a low-integrity one in an
// AppContainer (the seam of icq/token_facts.h).
class SandboxedInTheProgramsEyes {
 public:
  explicit SandboxedInTheProgramsEyes(DWORD pid) {
    SetEnvironmentVariableA(kSandboxedProcessVariable, std::to_string(pid).c_str());
  }
  ~SandboxedInTheProgramsEyes() { SetEnvironmentVariableA(kSandboxedProcessVariable, nullptr); }
  SandboxedInTheProgramsEyes(const SandboxedInTheProgramsEyes&) = delete;
  SandboxedInTheProgramsEyes& operator=(const SandboxedInTheProgramsEyes&) = delete;
};

class ArrivalGuards : public AutoModes {
 protected:
  // An incoming dialog of the other messenger, as it arrives.
  HWND ArriveInOther(const Conversation& conversation) {
    HWND dialog = OpenDialog(otherControl_, kOpenIncomingDialog, "Incoming Message", &conversation);
    EXPECT_NE(WaitForAddedButton(dialog), nullptr);
    return MessageEdit(dialog);
  }

  HWND otherControl_ = nullptr;
};

// The first messenger stands for a sandboxed program that copies ICQ's
// dialog to have a captured message decrypted; the other is ICQ.
TEST_F(ArrivalGuards, AutoDecryptLeavesAMessageInASandboxedProgramsDialogWithABalloonOncePerDialog) {
  driver::Program icq = StartAnotherMessenger(otherControl_);
  {
    const SandboxedInTheProgramsEyes sandboxed(messenger_.pid());
    RunAs(bob_, {bob_, alice_}, {0, 1, 0, 0});
  }
  const std::string captured = Strong(kMeetingMessage, alice_, bob_);
  HWND button;
  HWND fake = Arrive(kOpenIncomingDialog, With(kFromAlice, captured), button);
  HWND balloon = driver::WaitForBalloon(LeftInSandbox("Alice 7654321"));
  EXPECT_NE(balloon, nullptr) << driver::ShownBalloon().text;
  KeepScreenshot("auto-decrypt-sandboxed.png");
  EXPECT_TRUE(Quiet(driver::kStartOfRun, 1)) << "raised again";
  EXPECT_EQ(driver::WindowText(fake), captured);

  // Another such dialog gets its own balloon.
  const std::string another = Strong("Another one", alice_, bob_);
  HWND second = Arrive(With(kFromAlice, another));
  EXPECT_NE(WaitForNewBalloon(LeftInSandbox("Alice 7654321"), balloon), nullptr) << driver::ShownBalloon().text;
  EXPECT_EQ(driver::WindowText(second), another);

  // ICQ's own dialog gets the same message decrypted as it arrives.
  HWND real = ArriveInOther(With(kFromAlice, captured));
  EXPECT_EQ(WaitForTextChange(real, captured), kMeetingMessage);
  EXPECT_NE(driver::WaitForBalloon(FromLine(alice_, "Alice 7654321")), nullptr) << driver::ShownBalloon().text;

  // A press is the user's own choice, wherever the dialog comes from.
  PostMessageA(button, WM_LBUTTONUP, 0, 0);
  EXPECT_EQ(WaitForTextChange(fake, captured), kMeetingMessage);
  ExitThroughMenu(program_);
}

// The first messenger hangs just after a message has arrived in it. While
// it hangs, the tray menu opens, the other messenger's dialogs get their
// buttons and their messages, and a press on the hung dialog says that
// nothing has changed; once it answers again, its message is decrypted.
TEST_F(ArrivalGuards, AHungMessengerHoldsUpNeitherTheTrayMenuNorOtherDialogs) {
  constexpr uint32_t kHangMs = 16000;
  driver::Program other = StartAnotherMessenger(otherControl_);
  RunAs(bob_, {bob_, alice_}, {0, 1, 0, 0});
  const std::string strong = Strong(kMeetingMessage, alice_, bob_);
  HWND stuck = Open(kOpenIncomingDialog, "Incoming Message", With(kFromAlice, strong));
  // Clicking the tray icon takes the foreground from the hung messenger,
  // which a posted click does not: another program is in front, as the
  // taskbar would be. Wine's foreground change waits for the previous
  // foreground window's thread (docs/testing.md).
  HWND front = OpenDialog(otherControl_, kOpenSendDialog, "Send Message", &kToBob);
  ASSERT_TRUE(SetForegroundWindow(front));
  ASSERT_TRUE(PostMessageA(control_, messenger::kHang, kHangMs, 0));
  const uint64_t hung = driver::NowMs();
  HWND stuckButton = WaitForAddedButton(stuck);
  ASSERT_NE(stuckButton, nullptr) << "the hung dialog got no button";

  ASSERT_TRUE(driver::PostTrayCallback(program_.pid(), WM_RBUTTONDOWN));
  HWND menu = driver::WaitForMenu(program_.pid());
  const uint64_t menuMs = driver::NowMs() - hung;
  ASSERT_NE(menu, nullptr) << "no tray menu while the messenger hangs";
  ASSERT_TRUE(driver::CloseMenu(menu));

  HWND send = OpenDialog(otherControl_, kOpenSendDialog, "Send Online Message", &kToBob);
  EXPECT_NE(WaitForAddedButton(send), nullptr) << "the other messenger's dialog got no button";
  HWND arrived = ArriveInOther(With(kFromAlice, strong));
  EXPECT_EQ(WaitForTextChange(arrived, strong), kMeetingMessage);

  PostMessageA(stuckButton, WM_LBUTTONUP, 0, 0);
  std::string notice;
  EXPECT_TRUE(driver::AnswerMessageBox(kAppCaption, IDOK, &notice, program_.pid()));
  EXPECT_EQ(notice, kNotAnswering);
  const uint64_t meanwhile = driver::NowMs() - hung;
  std::printf("while the messenger hung for %u ms: tray menu after %llu ms, everything else by %llu ms\n", kHangMs,
              static_cast<unsigned long long>(menuMs), static_cast<unsigned long long>(meanwhile));
  EXPECT_LT(meanwhile, kHangMs) << "the checks did not all run while the messenger hung";

  // Until the messenger answers again: its hang began a moment after the
  // post, and a read of the text that timed out would look like a text
  // emptied.
  ASSERT_TRUE(driver::PollUntil(2 * kHangMs, [&] {
    DWORD_PTR answer = 0;
    return SendMessageTimeoutA(control_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 100, &answer) != 0;
  }));
  EXPECT_EQ(WaitForTextChange(MessageEdit(stuck), strong), kMeetingMessage);
  EXPECT_NE(driver::WaitForBalloon(FromLine(alice_, "Alice 7654321")), nullptr) << driver::ShownBalloon().text;
  ExitThroughMenu(program_);
}

}  // namespace
