#include "tests/wine/chat.h"

#include "tests/wine/window.h"

namespace driver {
namespace {

bool SendWithin(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result) != 0 &&
         result != 0;
}

// The window that takes a pane's report: message-only, on the test's
// thread, which takes the chat's WM_COPYDATA while it waits in
// SendMessageTimeout for the request's answer.
LRESULT CALLBACK ReportProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_COPYDATA) return DefWindowProcW(window, message, wParam, lParam);
  const auto& data = *reinterpret_cast<const COPYDATASTRUCT*>(lParam);
  auto* text = reinterpret_cast<std::optional<std::wstring>*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (data.dwData != chat::kReportedText || data.cbData % sizeof(wchar_t) != 0) return FALSE;
  const auto* chars = static_cast<const wchar_t*>(data.lpData);
  text->emplace(chars, chars + data.cbData / sizeof(wchar_t));
  return TRUE;
}

}  // namespace

Chat StartChat(const std::string& exe, const std::string& caption, uint32_t timeoutMs) {
  Chat chat;
  chat.program = StartProgram(exe, caption);
  if (!chat.program) return chat;
  HWND window = WaitForWindow({chat::kChatClass, nullptr, false, chat.program.pid()}, timeoutMs);
  if (!window) return chat;
  chat.window = window;
  chat.history = GetDlgItem(window, chat::kHistoryId);
  chat.messageBox = GetDlgItem(window, chat::kMessageBoxId);
  chat.edit = GetDlgItem(window, chat::kEditId);
  return chat;
}

bool FocusChatPart(const Chat& chat, int partId) {
  return SendWithin(chat.window, chat::kFocusPart, static_cast<WPARAM>(partId), 0);
}

bool SetPaneEntries(HWND pane, const std::vector<std::wstring>& entries) {
  std::wstring data;
  for (const std::wstring& entry : entries) data += entry + L'\0';
  COPYDATASTRUCT copy{chat::kSetEntries, static_cast<DWORD>(data.size() * sizeof(wchar_t)), data.data()};
  return SendWithin(pane, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy));
}

bool SelectPaneEntries(HWND pane, size_t first, size_t last) {
  return SendWithin(pane, chat::kSelectEntries, first, static_cast<LPARAM>(last));
}

std::optional<std::wstring> PaneText(HWND pane, chat::ReportedPart part) {
  static const ATOM reportClass = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = ReportProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"VwgChatReport";
    return RegisterClassW(&wc);
  }();
  std::optional<std::wstring> text;
  HWND window = CreateWindowExW(0, reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(reportClass)), L"", 0, 0, 0, 0, 0,
                                HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!window) return text;
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&text));
  if (!SendWithin(pane, chat::kReportText, reinterpret_cast<WPARAM>(window), part)) text.reset();
  DestroyWindow(window);
  return text;
}

}  // namespace driver
