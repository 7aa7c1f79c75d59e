#include "tests/icq/icq_fixture.h"

namespace icq {

void IcqIntegration::StartBoth(int ringCount) {
  MakeKeys(ringCount);
  StartMessenger();
  StartProgram();
}

void IcqIntegration::StartMessenger() {
  messenger_ = driver::StartProgram(tray::WindowsPath(VWG_MESSENGER_UNIX_PATH));
  ASSERT_TRUE(messenger_) << "could not start the messenger";
  control_ = driver::WaitForMainWindow(messenger_.pid(), messenger::kMessengerClass);
  ASSERT_NE(control_, nullptr);
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

}  // namespace icq
