#include "tests/icq/icq_fixture.h"

#include <cstring>

#include "keys/fingerprint.h"
#include "keys/formats/strong_message.h"
#include "keys/formats/v3_message.h"
#include "tests/keys/test_keys.h"

namespace icq {

namespace {

constexpr char kAppCaption[] = "Vaultwing for ICQ";

}  // namespace

const wchar_t kWorldMessage[] = L"Γειά σου, Bob! Привет 👋\r\nΣυνάντηση στις 10:00 — ok";

void IcqIntegration::StartBoth(int ringCount, tray::FriendKeys friends) {
  MakeKeys(ringCount, friends);
  StartMessenger();
  StartProgram();
}

void IcqIntegration::StartMessenger() {
  messenger_ = driver::StartProgram(tray::WindowsPath(VWG_MESSENGER_UNIX_PATH));
  ASSERT_TRUE(messenger_) << "could not start the messenger";
  control_ = driver::WaitForMainWindow(messenger_.pid(), messenger::kMessengerClass);
  ASSERT_NE(control_, nullptr) << "the messenger made no control window: " << driver::Describe(messenger_);
}

driver::Program IcqIntegration::StartAnotherMessenger(HWND& control) {
  driver::Program another = driver::StartProgram(tray::WindowsPath(VWG_MESSENGER_UNIX_PATH));
  EXPECT_TRUE(another) << "could not start another messenger";
  control = driver::WaitForMainWindow(another.pid(), messenger::kMessengerClass);
  EXPECT_NE(control, nullptr) << "the other messenger made no control window: " << driver::Describe(another);
  return another;
}

void IcqIntegration::StartProgram() {
  program_ = Start();
  ExpectRunning(program_);
}

HWND IcqIntegration::Open(messenger::MessengerCommand kind, const char* caption) {
  HWND dialog = OpenDialog(control_, kind, caption);
  EXPECT_NE(dialog, nullptr) << "the messenger did not open " << caption;
  return dialog;
}

HWND IcqIntegration::Open(messenger::MessengerCommand kind, const char* caption, const Conversation& conversation) {
  HWND dialog = OpenDialog(control_, kind, caption, &conversation);
  EXPECT_NE(dialog, nullptr) << "the messenger did not open " << caption;
  return dialog;
}

void IcqIntegration::Change(HWND dialog, UINT message, int id, int dx, int dy) {
  PostMessageA(dialog, message, id, MAKELPARAM(static_cast<WORD>(dx), static_cast<WORD>(dy)));
}

HWND IcqIntegration::PressForMenu(HWND button) { return icq::PressForMenu(program_.pid(), button); }

bool IcqIntegration::ChooseKey(HWND menu, UINT key) { return icq::ChooseKey(program_.pid(), menu, key); }

std::string IcqIntegration::TransformWith(HWND button, HWND edit, UINT key) {
  const std::string before = driver::WindowText(edit);
  EXPECT_TRUE(ChooseKey(PressForMenu(button), key)) << "the key menu did not work";
  return WaitForTextChange(edit, before);
}

std::wstring IcqIntegration::PressAndRead(HWND button, HWND edit) {
  const std::wstring before = driver::WindowTextW(edit);
  PostMessageA(button, WM_LBUTTONUP, 0, 0);
  return WaitForTextChangeW(edit, before);
}

std::string IcqIntegration::AnswerNotice() {
  std::string notice;
  driver::AnswerMessageBox(kAppCaption, IDOK, &notice, program_.pid());
  return notice;
}

int IcqIntegration::StrongRecipient(const std::string& text, const PublicKeyRing& ring) {
  std::vector<uint8_t> bytes;
  const bool v3 = ReadV3Armour(text, bytes) == StrongStatus::kOk;
  if (!v3 && ReadStrongArmour(text, bytes) != StrongStatus::kOk) return -1;
  const uint8_t* named = bytes.data() + (v3 ? kV3RecipientAt : kStrongRecipientAt);
  for (int i = 0; i < ring.count(); ++i) {
    uint8_t id[kKeyIdBytes];
    const bool known = v3 ? ring.strong[i].present && StrongKeyId(ring.strong[i], id) : KeyId(ring.keys[i], id);
    if (known && std::memcmp(id, named, kKeyIdBytes) == 0) return i;
  }
  return -1;
}

}  // namespace icq
