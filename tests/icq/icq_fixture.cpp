#include "tests/icq/icq_fixture.h"

namespace icq {

using messenger::Box;

Box ClientBox(HWND window, HWND dialog) {
  RECT r{};
  GetWindowRect(window, &r);
  POINT corner{r.left, r.top};
  ScreenToClient(dialog, &corner);
  return {corner.x, corner.y, r.right - r.left, r.bottom - r.top};
}

std::vector<HWND> AddedButtons(HWND dialog) {
  std::vector<HWND> found;
  for (HWND child = FindWindowExA(dialog, nullptr, "BUTTON", nullptr); child;
       child = FindWindowExA(dialog, child, "BUTTON", nullptr)) {
    const int id = GetDlgCtrlID(child);
    if ((id >= kEncryptBase && id < kEncryptBase + 100) || (id >= kDecryptBase && id < kDecryptBase + 100))
      found.push_back(child);
  }
  return found;
}

HWND WaitForAddedButton(HWND dialog, uint32_t timeoutMs) {
  return driver::PollUntil(timeoutMs, [&]() -> HWND {
    const std::vector<HWND> buttons = AddedButtons(dialog);
    return buttons.empty() ? nullptr : buttons.front();
  });
}

HWND MessageEdit(HWND dialog) {
  HWND inner = FindWindowExA(dialog, nullptr, "#32770", nullptr);
  return GetDlgItem(inner ? inner : dialog, messenger::kMessageEdit);
}

bool IsReadOnly(HWND edit) { return (GetWindowLongA(edit, GWL_STYLE) & ES_READONLY) != 0; }

std::string WaitForTextChange(HWND edit, const std::string& old, uint32_t timeoutMs) {
  std::string text = old;
  driver::PollUntil(timeoutMs, [&] {
    text = driver::WindowText(edit);
    return text != old;
  });
  return text;
}

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
  COPYDATASTRUCT data{kind, static_cast<DWORD>(strlen(caption) + 1), const_cast<char*>(caption)};
  DWORD_PTR result = 0;
  SendMessageTimeoutA(control_, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG,
                      driver::kSendTimeoutMs, &result);
  HWND dialog = reinterpret_cast<HWND>(result);
  EXPECT_NE(dialog, nullptr) << "the messenger did not open " << caption;
  return dialog;
}

void IcqIntegration::Change(HWND dialog, UINT message, int id, int dx, int dy) {
  PostMessageA(dialog, message, id, MAKELPARAM(static_cast<WORD>(dx), static_cast<WORD>(dy)));
}

HWND IcqIntegration::PressForMenu(HWND button) {
  // Posted: the press runs the menu's modal loop before it returns.
  PostMessageA(button, WM_LBUTTONUP, 0, 0);
  return driver::WaitForMenu(program_.pid());
}

bool IcqIntegration::ChooseKey(HWND menu, UINT key) {
  if (menu == nullptr) return false;
  const DWORD pid = program_.pid();
  // Down highlights the menu's only item, Right opens the key list under it.
  // A scan tick that dispatches the program's queue can swallow either key,
  // and both are harmless to repeat.
  const bool listOpen = driver::PollUntil(driver::kDefaultTimeoutMs, [&] {
    if (driver::OpenMenuCount(pid) >= 2) return true;
    driver::PostMenuKey(menu, VK_DOWN);
    driver::PostMenuKey(menu, VK_RIGHT);
    return driver::OpenMenuCount(pid) >= 2;
  });
  return listOpen && driver::ChooseMenuItem(menu, {key});
}

std::string IcqIntegration::TransformWith(HWND button, HWND edit, UINT key) {
  const std::string before = driver::WindowText(edit);
  EXPECT_TRUE(ChooseKey(PressForMenu(button), key)) << "the key menu did not work";
  return WaitForTextChange(edit, before);
}

}  // namespace icq
