// The dialog lists under pressure: dialogs that vanish while their key menu
// is open, and many dialogs opened and closed while buttons are pressed.
#include <cstdio>
#include <cstdlib>

#include "tests/icq/icq_fixture.h"

using namespace icq;
using messenger::kOpenIncomingDialog;
using messenger::kOpenSendDialog;

namespace {

// The rounds of the churn below: 25 in the test command, more where
// VWG_CHURN_ROUNDS asks for them (scripts/soak.sh runs 100). The first ten
// only warm the program up.
int ChurnRounds() {
  const char* asked = std::getenv("VWG_CHURN_ROUNDS");
  const int rounds = asked ? std::atoi(asked) : 0;
  return rounds > 10 ? rounds : 25;
}

// Two dialogs and their button ids: the lists hold nothing but these two.
void ExpectFreshIdsFromAnEmptyList(HWND send, HWND incoming) {
  EXPECT_EQ(GetDlgCtrlID(WaitForAddedButton(send)), kEncryptBase);
  EXPECT_EQ(GetDlgCtrlID(WaitForAddedButton(incoming)), kDecryptBase);
}

}  // namespace

namespace icq {

class Churn : public IcqIntegration {
 protected:
  void CloseAndWait(HWND dialog) {
    PostMessageA(dialog, WM_CLOSE, 0, 0);
    EXPECT_TRUE(driver::WaitWindowGone(dialog));
  }
};

TEST_F(Churn, DialogClosedUnderItsOpenKeyMenuIsForgottenAndTheChoiceDoesNothing) {
  StartBoth();
  HWND send = Open(kOpenSendDialog, "Send Message");
  HWND other = Open(kOpenSendDialog, "Send Message");
  HWND edit = MessageEdit(other);
  ASSERT_TRUE(driver::SetWindowTextRemote(edit, "keep me"));
  // The other dialog's button may come a pass after the first one's.
  ASSERT_NE(WaitForAddedButton(other), nullptr);
  HWND menu = PressForMenu(WaitForAddedButton(send));
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(AddedButtons(other).size(), 1u);

  // The menu's loop runs the scan ticks that drop the closed dialog's record
  // while the press that opened it still waits for a choice.
  CloseAndWait(send);
  EXPECT_TRUE(driver::WaitScanPasses(program_.pid(), 2));
  EXPECT_TRUE(ChooseKey(menu, VK_HOME));
  EXPECT_TRUE(driver::WaitScanPasses(program_.pid(), 2));
  EXPECT_TRUE(program_.Running());
  EXPECT_EQ(driver::WindowText(edit), "keep me");
  EXPECT_FALSE(IsReadOnly(edit));

  // The other dialog keeps its place in the list: the next one is counted
  // after it.
  HWND next = Open(kOpenSendDialog, "Send Message");
  EXPECT_EQ(GetDlgCtrlID(WaitForAddedButton(next)), kEncryptBase + 1);
  CloseAndWait(other);
  CloseAndWait(next);
  // A pass already under way when they closed may still count them; the
  // one after it finds them gone.
  EXPECT_TRUE(driver::WaitScanPasses(program_.pid(), 2));
  ExpectFreshIdsFromAnEmptyList(Open(kOpenSendDialog, "Send Message"),
                                Open(kOpenIncomingDialog, "Incoming Message"));
  ExitThroughMenu(program_);
}

TEST_F(Churn, DialogsOpenedAndClosedWithPressesLeaveNoRecordBehindAndNoGrowth) {
  StartBoth();
  // Rounds of two dialogs. One round: a send and an incoming dialog, the send dialog's button
  // pressed and its menu left open while both dialogs close under it, then
  // the menu dismissed; every fifth round closes its dialogs before the
  // scan can list them.
  auto round = [&](int n) {
    HWND send = Open(kOpenSendDialog, "Send Online Message");
    HWND incoming = Open(kOpenIncomingDialog, "Incoming Message");
    HWND menu = nullptr;
    if (n % 5 != 0) {
      HWND button = WaitForAddedButton(send);
      if (button) menu = PressForMenu(button);
      ASSERT_NE(menu, nullptr) << "round " << n << ": button " << button << ", program running "
                               << program_.Running() << ", its windows: " << driver::DescribeWindows(program_.pid());
      Sleep(n % 3 * 100);
    }
    PostMessageA(send, WM_CLOSE, 0, 0);
    PostMessageA(incoming, WM_CLOSE, 0, 0);
    if (menu) {
      EXPECT_TRUE(driver::CloseMenu(menu)) << "round " << n << ": the key menu stayed open; the program's windows: "
                                           << driver::DescribeWindows(program_.pid());
    }
  };
  // The first rounds load what the program keeps once made (menu bitmaps,
  // fonts, Wine's own caches), so that the rest measures growth only.
  for (int n = 1; n <= 10 && !HasFatalFailure(); ++n) round(n);
  // The last round's closes are posted: by the third pass their dialogs are
  // gone and their records dropped.
  EXPECT_TRUE(driver::WaitScanPasses(program_.pid(), 3));
  const auto before = program_.Resources();
  const int rounds = ChurnRounds();
  for (int n = 11; n <= rounds && !HasFatalFailure(); ++n) round(n);
  ASSERT_FALSE(HasFatalFailure());
  EXPECT_TRUE(driver::WaitScanPasses(program_.pid(), 3));
  const auto after = program_.Resources();

  EXPECT_TRUE(program_.Running());
  ExpectFreshIdsFromAnEmptyList(Open(kOpenSendDialog, "Send Message"),
                                Open(kOpenIncomingDialog, "Incoming Message"));
  std::printf("%d rounds: handles %u -> %u, resident %llu -> %llu KiB\n", rounds, before.handles, after.handles,
              before.residentBytes / 1024, after.residentBytes / 1024);
  ASSERT_GT(before.handles, 0u) << "the handle table could not be read";
  EXPECT_LE(after.handles, before.handles + 4);
  // A leak of one button or record a round would show as far more than this.
  EXPECT_LE(after.residentBytes, before.residentBytes + 1024 * 1024);
  ExitThroughMenu(program_);
}

// The key menu and its key list left open over scan passes that list
// dialogs, then answered with each key posted once: the ticks that ran
// inside the menu's loop leave it as ready for the user's keys as before.
// (Not the tray menu: its callback may be dispatched by a tick's pump, and
// a menu opened inside a tick holds the next ticks off until it closes.)
TEST_F(Churn, KeyMenuOpenOverScanPassesTakesEveryKeyPostedOnce) {
  StartBoth(2);
  HWND newest = nullptr;
  for (int i = 0; i < 10; ++i) newest = Open(kOpenSendDialog, "Send Message");
  ASSERT_NE(WaitForAddedButton(newest), nullptr);
  HWND send = Open(kOpenSendDialog, "Send Message");
  HWND edit = MessageEdit(send);
  ASSERT_TRUE(driver::SetWindowTextRemote(edit, "after the passes"));
  HWND menu = PressForMenu(WaitForAddedButton(send));
  ASSERT_NE(menu, nullptr);
  ASSERT_TRUE(driver::WaitScanPasses(program_.pid(), 3)) << "no scan ran while the key menu was open";
  ASSERT_TRUE(OpenKeyList(program_.pid(), menu));
  ASSERT_TRUE(driver::WaitScanPasses(program_.pid(), 3)) << "no scan ran while the key list was open";
  ASSERT_TRUE(driver::ChooseMenuItem(menu, {VK_END}));
  EXPECT_EQ(StrongRecipient(WaitForTextChange(edit, "after the passes"), ring_), 1);
  ExitThroughMenu(program_);
}

TEST_F(Churn, KeysTypedIntoAKeyMenuWhileTicksRunAllReachTheMenu) {
  // Many listed dialogs make every tick long, and keys typed meanwhile wait
  // in the queue that the tick dispatches.
  constexpr int kKeys = 24;
  StartBoth(kKeys);
  HWND newest = nullptr;
  for (int i = 0; i < 40; ++i) newest = Open(kOpenSendDialog, "Send Message");
  WaitForAddedButton(newest);
  HWND send = Open(kOpenSendDialog, "Send Message");
  HWND edit = MessageEdit(send);
  ASSERT_TRUE(driver::SetWindowTextRemote(edit, "to the last key"));
  HWND menu = PressForMenu(WaitForAddedButton(send));
  ASSERT_TRUE(OpenKeyList(program_.pid(), menu));

  // From the first key down to the last one press at a time, as a person
  // types, then Return once.
  // Home first: the list may open with its first key highlighted or with
  // none.
  driver::PostMenuKey(menu, VK_HOME);
  for (int i = 1; i < kKeys; ++i) {
    driver::PostMenuKey(menu, VK_DOWN);
    Sleep(100);
  }
  driver::PostMenuKey(menu, VK_RETURN);
  const std::string cipher = WaitForTextChange(edit, "to the last key");
  EXPECT_EQ(StrongRecipient(cipher, ring_), kKeys - 1)
      << "a key typed into the menu was lost; the text: \"" << cipher.substr(0, 40)
      << "\", menus open: " << driver::OpenMenuCount(program_.pid());
  ExitThroughMenu(program_);
}

TEST_F(Churn, KeysTypedIntoTheTrayMenuOverLongTicksAllReachItAndTheTicksGoOn) {
  // Asked for during a tick, the tray menu opens inside it, and no tick runs
  // until the menu and what it opened have closed; asked for between ticks,
  // it opens from the main loop, and the ticks run inside its loop. Either
  // way every key reaches the menu, and the ticks go on afterwards.
  StartBoth();
  HWND newest = nullptr;
  for (int i = 0; i < 40; ++i) newest = Open(kOpenSendDialog, "Send Message");
  WaitForAddedButton(newest);
  ASSERT_TRUE(driver::PostTrayCallback(program_.pid(), WM_RBUTTONDOWN));
  HWND menu = driver::WaitForMenu(program_.pid());
  ASSERT_NE(menu, nullptr);

  // Up from Exit past Generate Secret/Public Keys and down again, a press
  // at a time: Return chooses it, and it asks its question, only if every
  // key reached the menu.
  driver::PostMenuKey(menu, VK_END);
  for (UINT vk : {VK_UP, VK_UP, VK_UP, VK_UP, VK_UP, VK_UP, VK_DOWN, VK_DOWN}) {
    driver::PostMenuKey(menu, vk);
    Sleep(100);
  }
  ASSERT_TRUE(driver::ChooseMenuItem(menu, {}));
  std::string question;
  ASSERT_TRUE(driver::AnswerMessageBox(tray::kQuestionCaption, IDNO, &question, program_.pid()))
      << "a key typed into the tray menu was lost";
  EXPECT_EQ(question.rfind("Are you sure that you want to generate new keys", 0), 0u) << question;
  EXPECT_TRUE(driver::WaitScanPasses(program_.pid(), 2)) << "the ticks did not go on after the menu";
  ExitThroughMenu(program_);
}

}  // namespace icq
