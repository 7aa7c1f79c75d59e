#include "tests/app/clipboard_driver.h"

#include <cstring>

#include "tests/wine/driver.h"

namespace clipboard {

bool OpenClipboardWhenFree(HWND owner) {
  return driver::PollUntil(driver::kDefaultTimeoutMs, [&] { return OpenClipboard(owner) != FALSE; });
}

Clipboard::Clipboard()
    : owner_(CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr)),
      open_(OpenClipboardWhenFree(owner_)) {}

Clipboard::~Clipboard() {
  if (open_) CloseClipboard();
  DestroyWindow(owner_);
}

bool PutData(UINT format, const void* data, size_t size) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
  std::memcpy(GlobalLock(block), data, size);
  GlobalUnlock(block);
  return SetClipboardData(format, block) != nullptr;
}

bool SetClipboard(const std::optional<std::string>& text) {
  Clipboard open;
  if (!open.ok() || !EmptyClipboard()) return false;
  return !text || PutData(CF_TEXT, text->c_str(), text->size() + 1);
}

namespace {

template <typename Text>
std::optional<Text> FormatText(UINT format) {
  Clipboard open;
  HANDLE data = GetClipboardData(format);
  if (!open.ok() || !data) return std::nullopt;
  Text text(static_cast<const typename Text::value_type*>(GlobalLock(data)));
  GlobalUnlock(data);
  return text;
}

}  // namespace

std::optional<std::string> ClipboardText() { return FormatText<std::string>(CF_TEXT); }

bool SetUnicodeClipboard(const std::wstring& text) {
  Clipboard open;
  return open.ok() && EmptyClipboard() && PutData(CF_UNICODETEXT, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
}

std::optional<std::wstring> UnicodeClipboardText() { return FormatText<std::wstring>(CF_UNICODETEXT); }

bool ChooseTrayCommand(HWND trayMenu, std::initializer_list<UINT> keys) {
  if (trayMenu == nullptr) return false;
  for (UINT vk : keys) driver::PostMenuKey(trayMenu, vk);
  driver::PostMenuKey(trayMenu, VK_RETURN);
  return driver::WaitWindowGone(trayMenu);
}

}  // namespace clipboard
