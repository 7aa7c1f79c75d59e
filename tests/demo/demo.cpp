// The demo: Alice writes to Bob in the look-alike messenger and the tray
// program encrypts her message for Bob's key; then, running with Bob's keys,
// it decrypts the message Bob received: the message names Alice's key, so
// no key has to be chosen. The dialogs are Unicode ones, and the message
// holds a word in Cyrillic.
//
//   demo.exe PROGRAM MESSENGER ALICE_RING ALICE_SECRET BOB_RING BOB_SECRET SHOTS
//
// Both rings hold their owner's key first and the other user's second. The
// pictures of each step go to the folder SHOTS; for each, a line
// "mark FILE LEFT TOP WIDTH HEIGHT" gives the screen rectangle of the added
// button, which Wine does not paint (it lives in another process's dialog),
// for the caller to draw in. The texts come last, as "plain: " and
// "encrypted: " and "decrypted: " lines, in UTF-8. Exit status 0 when every
// step worked.
#include <windows.h>

#include <cstdio>
#include <string>

#include "tests/lookalike/lookalike_client.h"

namespace {

const char kKeysKey[] = "Software\\Corvandel\\Keys";
const wchar_t kMessage[] = L"Hi Bob! The meeting moved to Thursday, 10:00, room 4. Пока!";

struct Options {
  std::string program, messenger, aliceRing, aliceSecret, bobRing, bobSecret, shots;
};

bool Fail(const char* step) {
  std::fprintf(stderr, "demo: %s\n", step);
  return false;
}

bool UseKeys(const std::string& ring, const std::string& secret) {
  return driver::WriteRegString(kKeysKey, "Public Key", ring) && driver::WriteRegString(kKeysKey, "Secret Key", secret);
}

// A picture of the display, and the button to mark on it.
void Shot(const Options& o, const char* name, HWND button) {
  const std::string file = o.shots + "\\" + name;
  // Let the windows finish painting first.
  Sleep(400);
  if (!driver::TakeScreenshot(file)) {
    Fail("could not take a screenshot");
    return;
  }
  RECT r{};
  GetWindowRect(button, &r);
  std::printf("mark %s %ld %ld %ld %ld\n", name, r.left, r.top, r.right - r.left, r.bottom - r.top);
  std::fflush(stdout);
}

driver::Program StartTrayProgram(const Options& o) {
  driver::Program program = driver::StartProgram(o.program);
  if (program && !driver::EndSplash(program.pid())) program.Kill();
  return program;
}

// Types text into edit one character at a time, as the user would. Sent,
// not posted: the messenger takes posted messages with GetMessageA, which
// would turn every character beyond its code page into "?".
bool Type(HWND edit, const std::wstring& text) {
  for (wchar_t c : text) {
    SendNotifyMessageW(edit, WM_CHAR, c, 1);
    Sleep(15);
  }
  return driver::PollUntil(driver::kDefaultTimeoutMs, [&] { return driver::WindowTextW(edit) == text; });
}

// Presses Encrypt, shows the key list, chooses its last key (the other
// user's) and gives the dialog's new text.
std::wstring PressAndChoose(const Options& o, DWORD pid, HWND button, HWND edit, const char* shot) {
  const std::wstring before = driver::WindowTextW(edit);
  HWND menu = icq::PressForMenu(pid, button);
  if (!icq::OpenKeyList(pid, menu)) {
    Fail("the key menu did not open");
    return before;
  }
  Shot(o, shot, button);
  if (!driver::ChooseMenuItem(menu, {VK_END})) Fail("could not choose the key");
  return icq::WaitForTextChangeW(edit, before);
}

bool RunDemo(const Options& o) {
  driver::Program messenger = driver::StartProgram(o.messenger);
  HWND control = messenger ? driver::WaitForMainWindow(messenger.pid(), messenger::kMessengerClass) : nullptr;
  if (control == nullptr) return Fail("the look-alike messenger did not start");

  // Alice writes.
  if (!UseKeys(o.aliceRing, o.aliceSecret)) return Fail("could not store Alice's key paths");
  driver::Program alice = StartTrayProgram(o);
  if (!alice) return Fail("the tray program did not start with Alice's keys");
  HWND send = icq::OpenDialog(control, messenger::kOpenUnicodeSendDialog, "Send Online Message (Bob)");
  HWND encrypt = icq::WaitForAddedButton(send);
  if (encrypt == nullptr) return Fail("the send dialog got no Encrypt button");
  HWND sendEdit = icq::MessageEdit(send);
  if (!Type(sendEdit, kMessage)) return Fail("could not type the message");
  Shot(o, "1-message-typed.png", encrypt);
  const std::wstring cipher = PressAndChoose(o, alice.pid(), encrypt, sendEdit, "2-send-to-menu.png");
  if (cipher == kMessage) return Fail("the message was not encrypted");
  Shot(o, "3-encrypted.png", encrypt);
  if (driver::ExitThroughTrayMenu(alice) != 0u) return Fail("the tray program did not exit");

  // Bob receives it, and presses Decrypt: nothing to choose.
  if (!UseKeys(o.bobRing, o.bobSecret)) return Fail("could not store Bob's key paths");
  driver::Program bob = StartTrayProgram(o);
  if (!bob) return Fail("the tray program did not start with Bob's keys");
  HWND incoming = icq::OpenDialog(control, messenger::kOpenUnicodeIncomingDialog, "Incoming Message from Alice");
  HWND receivedEdit = icq::MessageEdit(incoming);
  driver::SetWindowTextRemoteW(receivedEdit, cipher);
  HWND decrypt = icq::WaitForAddedButton(incoming);
  if (decrypt == nullptr) return Fail("the incoming dialog got no Decrypt button");
  Shot(o, "4-received.png", decrypt);
  PostMessageA(decrypt, WM_LBUTTONUP, 0, 0);
  const std::wstring plain = icq::WaitForTextChangeW(receivedEdit, cipher);
  Shot(o, "5-decrypted.png", decrypt);
  driver::ExitThroughTrayMenu(bob);

  std::printf("plain: %s\nencrypted: %s\ndecrypted: %s\n", icq::Utf8Of(kMessage).c_str(),
              icq::Utf8Of(cipher).c_str(), icq::Utf8Of(plain).c_str());
  if (plain != kMessage) return Fail("the decrypted text differs from the message");
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 8) {
    std::fprintf(stderr,
                 "usage: demo.exe PROGRAM MESSENGER ALICE_RING ALICE_SECRET BOB_RING BOB_SECRET SHOTS\n");
    return 2;
  }
  const Options options{argv[1], argv[2], argv[3], argv[4], argv[5], argv[6], argv[7]};
  return RunDemo(options) ? 0 : 1;
}
