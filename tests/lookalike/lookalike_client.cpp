#include "tests/lookalike/lookalike_client.h"

namespace icq {

using messenger::Box;

HWND OpenDialog(HWND control, messenger::MessengerCommand kind, const char* caption,
                const Conversation* conversation) {
  std::string texts = caption + std::string(1, '\0');
  if (conversation) {
    for (const std::string* text : {&conversation->name, &conversation->uin, &conversation->message})
      texts += *text + std::string(1, '\0');
  }
  COPYDATASTRUCT data{kind, static_cast<DWORD>(texts.size()), texts.data()};
  DWORD_PTR result = 0;
  SendMessageTimeoutA(control, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG,
                      driver::kSendTimeoutMs, &result);
  return reinterpret_cast<HWND>(result);
}

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

bool BecomesReadOnly(HWND edit) {
  return driver::PollUntil(driver::kDefaultTimeoutMs, [&] { return IsReadOnly(edit); });
}

namespace {

// A read that got no answer (the messenger busy past the driver's limit)
// is no change: it would look like a text emptied.
template <typename Text>
Text WaitForChange(HWND edit, const Text& old, uint32_t timeoutMs, bool (*read)(HWND, Text&)) {
  Text text = old;
  driver::PollUntil(timeoutMs, [&] {
    Text now;
    if (!read(edit, now)) return false;
    text = now;
    return text != old;
  });
  return text;
}

}  // namespace

std::string WaitForTextChange(HWND edit, const std::string& old, uint32_t timeoutMs) {
  return WaitForChange(edit, old, timeoutMs, driver::ReadWindowText);
}

std::wstring WaitForTextChangeW(HWND edit, const std::wstring& old, uint32_t timeoutMs) {
  return WaitForChange(edit, old, timeoutMs, driver::ReadWindowTextW);
}

std::string Utf8Of(const std::wstring& text) {
  const int size = static_cast<int>(text.size());
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), size, out.data(), n, nullptr, nullptr);
  return out;
}

std::wstring WideFromAnsi(const std::string& text) {
  const int size = static_cast<int>(text.size());
  const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), size, out.data(), n);
  return out;
}

HWND PressForMenu(DWORD pid, HWND button) {
  // Posted: the press runs the menu's modal loop before it returns.
  PostMessageA(button, WM_LBUTTONUP, 0, 0);
  return driver::WaitForMenu(pid);
}

bool OpenKeyList(DWORD pid, HWND menu) {
  if (menu == nullptr) return false;
  // Down highlights the menu's only item, Right opens the key list under it.
  driver::PostMenuKey(menu, VK_DOWN);
  driver::PostMenuKey(menu, VK_RIGHT);
  return driver::PollUntil(driver::kDefaultTimeoutMs, [&] { return driver::OpenMenuCount(pid) >= 2; });
}

bool ChooseKey(DWORD pid, HWND menu, UINT key) {
  return OpenKeyList(pid, menu) && driver::ChooseMenuItem(menu, {key});
}

}  // namespace icq
