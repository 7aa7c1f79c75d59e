// The look-alike chat under Wine with real keyboard input (SendInput after
// bringing it to the front), as the hotkeys' tests use it: what is typed
// reaches the message box and stays out of every text message; Ctrl+A,
// Ctrl+C and Ctrl+V go through the clipboard with the chat's own pane as
// the window that opens it, also against a text offered by delayed
// rendering, as the tray program offers its messages; the history pane
// copies the line selected in it; Tab walks the three parts.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/app/clipboard_driver.h"
#include "tests/wine/chat.h"
#include "tests/wine/driver.h"

namespace {

// Greek, Cyrillic, an emoji (a surrogate pair) and a line break.
const std::wstring kTyped = L"Γειά σου, Alice! Привет 👋\r\nSecond line — ok";

// Names, times and messages, one long enough to wrap at its spaces and one
// with no space at all, as an encrypted message has none.
const std::vector<std::wstring> kHistory = {
    L"Alice  09:58",
    L"Good morning! Are we still on for 10:00? I booked the small room on the third floor, the one with the window "
    L"over the river.",
    L"Me  09:59",
    L"Yes — Привет, see you there 👋",
    L"Alice  10:01",
    L"?VW3:AbCdEfGhIjKlMnOpQrStUvWxYz0123456789AbCdEfGhIjKlMnOpQrStUvWxYz0123456789AbCdEfGhIjKlMnOpQrStUvWxYz0123"};

std::string Utf8(const std::wstring& text) {
  std::string utf8(text.size() * 4, '\0');
  utf8.resize(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                                      utf8.data(), static_cast<int>(utf8.size()), nullptr, nullptr)));
  return utf8;
}

// What read() gives once it is expected, or its last answer.
template <typename Read>
std::wstring Awaited(const std::wstring& expected, Read read) {
  std::wstring last;
  driver::PollUntil(driver::kDefaultTimeoutMs, [&] { return (last = read()) == expected; });
  return last;
}

// True once part has the keyboard focus in its thread: the chat sets it
// when it handles its activation, which may come after the foreground
// changed.
bool FocusComesTo(HWND part) {
  return driver::PollUntil(driver::kDefaultTimeoutMs, [&] { return driver::KeyboardFocus(part) == part; });
}

// Offers a text on the clipboard by delayed rendering, from a message-only
// window of the test's thread, and notes which window had the clipboard open
// when the text was asked for. The test's thread renders whenever it waits
// in SendMessageTimeout (every driver call to the chat does) or pumps.
class DelayedText {
 public:
  explicit DelayedText(const std::wstring& text) : text_(text) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"VwgChatTestOwner";
    RegisterClassW(&wc);
    owner_ = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    SetWindowLongPtrW(owner_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    if (!clipboard::OpenClipboardWhenFree(owner_)) return;
    EmptyClipboard();
    SetClipboardData(CF_UNICODETEXT, nullptr);  // answers null for a promise, so asked afterwards
    CloseClipboard();
    offered_ = IsClipboardFormatAvailable(CF_UNICODETEXT) && GetClipboardOwner() == owner_;
  }
  ~DelayedText() { DestroyWindow(owner_); }
  bool offered() const { return offered_; }
  // The window that held the clipboard open at the rendering, or null.
  HWND renderedFor() const { return renderedFor_; }

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<DelayedText*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_RENDERFORMAT && self != nullptr && wParam == CF_UNICODETEXT) {
      self->renderedFor_ = GetOpenClipboardWindow();
      clipboard::PutData(CF_UNICODETEXT, self->text_.c_str(), (self->text_.size() + 1) * sizeof(wchar_t));
      return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }
  std::wstring text_;
  HWND owner_ = nullptr, renderedFor_ = nullptr;
  bool offered_ = false;
};

class LookAlikeChat : public ::testing::Test {
 protected:
  void SetUp() override {
    chat_ = driver::StartChat(driver::OwnFolder() + "chat.exe", "Chat with Alice");
    ASSERT_NE(chat_.window, nullptr) << driver::Describe(chat_.program);
    ASSERT_TRUE(chat_.history && chat_.messageBox && chat_.edit);
    char caption[64] = {};
    GetWindowTextA(chat_.window, caption, sizeof caption);
    EXPECT_STREQ(caption, "Chat with Alice");
  }

  void Front() {
    ASSERT_TRUE(driver::PollUntil(driver::kDefaultTimeoutMs, [&] { return driver::BringToFront(chat_.window); }))
        << "the foreground is a " << driver::WindowClass(GetForegroundWindow());
  }

  // The pane's text once it is expected, or what it holds after the wait.
  static std::wstring WaitForText(HWND pane, const std::wstring& expected, chat::ReportedPart part = chat::kWholeText) {
    return Awaited(expected, [&] { return driver::PaneText(pane, part).value_or(L"(no answer)"); });
  }

  // The clipboard's text once a copy has changed it since sequence.
  std::optional<std::wstring> CopiedSince(DWORD sequence) {
    if (!driver::PollUntil(driver::kDefaultTimeoutMs, [&] { return GetClipboardSequenceNumber() != sequence; }))
      return std::nullopt;
    return clipboard::UnicodeClipboardText();
  }

  driver::Chat chat_;
};

TEST_F(LookAlikeChat, TypingReachesTheMessageBoxWhichAnswersNoTextMessage) {
  ASSERT_NO_FATAL_FAILURE(Front());
  EXPECT_TRUE(FocusComesTo(chat_.messageBox)) << "the message box has no focus at the start";
  // Each wait is for a text that only the last key sent can make: typing
  // passes through kTyped on its way to the longer text.
  ASSERT_TRUE(driver::TypeText(kTyped + L"x👋"));
  EXPECT_EQ(Utf8(WaitForText(chat_.messageBox, kTyped + L"x👋")), Utf8(kTyped + L"x👋"));
  ASSERT_TRUE(driver::PressKeys({VK_BACK}));  // the emoji, both halves
  ASSERT_TRUE(driver::PressKeys({VK_BACK}));
  EXPECT_EQ(Utf8(WaitForText(chat_.messageBox, kTyped)), Utf8(kTyped));

  DWORD_PTR length = 1;
  ASSERT_NE(SendMessageTimeoutW(chat_.messageBox, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length), 0);
  EXPECT_EQ(length, 0u);
  EXPECT_EQ(driver::WindowTextW(chat_.messageBox), L"");
  EXPECT_FALSE(driver::SetWindowTextRemoteW(chat_.messageBox, L"Set from outside"));
  EXPECT_EQ(driver::WindowTextW(chat_.history), L"");
  EXPECT_EQ(Utf8(driver::PaneText(chat_.messageBox).value_or(L"")), Utf8(kTyped));

  // Typing over a selection replaces it; Backspace over one clears it.
  ASSERT_TRUE(driver::PressKeys({VK_CONTROL, 'A'}));
  ASSERT_TRUE(driver::TypeText(L"Ω"));
  EXPECT_EQ(Utf8(WaitForText(chat_.messageBox, L"Ω")), Utf8(L"Ω"));
  ASSERT_TRUE(driver::PressKeys({VK_CONTROL, 'A'}));
  ASSERT_TRUE(driver::PressKeys({VK_BACK}));
  EXPECT_EQ(Utf8(WaitForText(chat_.messageBox, L"")), "");

  // The driver's own way in takes one text, which typing then continues.
  EXPECT_FALSE(driver::SetPaneEntries(chat_.messageBox, {L"two", L"entries"}));
  ASSERT_TRUE(driver::SetPaneEntries(chat_.messageBox, {L"Set by the test"}));
  ASSERT_TRUE(driver::TypeText(L"!"));
  EXPECT_EQ(Utf8(WaitForText(chat_.messageBox, L"Set by the test!")), "Set by the test!");
}

// Ctrl+A, Ctrl+C copies exactly the text, the pane owning the clipboard;
// Ctrl+A, Ctrl+V asks the owner of a delayed text for it while the pane
// holds the clipboard open, and puts it in place of the text; Ctrl+V again
// adds it at the end.
TEST_F(LookAlikeChat, CopiesAndPastesTheMessageBoxThroughTheClipboardAsItsOwnWindow) {
  ASSERT_TRUE(clipboard::SetUnicodeClipboard(L"What the user had"));
  ASSERT_NO_FATAL_FAILURE(Front());
  ASSERT_TRUE(driver::TypeText(kTyped));
  ASSERT_EQ(Utf8(WaitForText(chat_.messageBox, kTyped)), Utf8(kTyped));
  const DWORD before = GetClipboardSequenceNumber();
  ASSERT_TRUE(driver::PressKeys({VK_CONTROL, 'A'}));
  ASSERT_TRUE(driver::PressKeys({VK_CONTROL, 'C'}));
  EXPECT_EQ(Utf8(CopiedSince(before).value_or(L"(nothing copied)")), Utf8(kTyped));
  EXPECT_EQ(GetClipboardOwner(), chat_.messageBox);
  EXPECT_EQ(Utf8(driver::PaneText(chat_.messageBox, chat::kSelectedText).value_or(L"")), Utf8(kTyped));

  const std::wstring sealed = L"?VW3:Пример-message";
  DelayedText offer(sealed);
  ASSERT_TRUE(offer.offered());
  ASSERT_TRUE(driver::PressKeys({VK_CONTROL, 'A'}));
  ASSERT_TRUE(driver::PressKeys({VK_CONTROL, 'V'}));
  EXPECT_EQ(Utf8(WaitForText(chat_.messageBox, sealed)), Utf8(sealed));
  EXPECT_EQ(offer.renderedFor(), chat_.messageBox) << "the paste did not open the clipboard with the pane";
  ASSERT_TRUE(driver::PressKeys({VK_CONTROL, 'V'}));
  EXPECT_EQ(Utf8(WaitForText(chat_.messageBox, sealed + sealed)), Utf8(sealed + sealed));
}

// A line selected from outside, or clicked, is what Ctrl+C copies; Ctrl+A
// takes every line; typing changes nothing there.
TEST_F(LookAlikeChat, HistoryCopiesTheSelectedLinesAndTakesNoTyping) {
  ASSERT_TRUE(driver::SetPaneEntries(chat_.history, kHistory));
  ASSERT_TRUE(driver::SelectPaneEntries(chat_.history, 3, 3));
  EXPECT_FALSE(driver::SelectPaneEntries(chat_.history, 5, 6));
  ASSERT_TRUE(driver::FocusChatPart(chat_, chat::kHistoryId));
  ASSERT_NO_FATAL_FAILURE(Front());
  EXPECT_TRUE(FocusComesTo(chat_.history)) << "the focus did not come back to the history";
  DWORD before = GetClipboardSequenceNumber();
  ASSERT_TRUE(driver::PressKeys({VK_CONTROL, 'C'}));
  EXPECT_EQ(Utf8(CopiedSince(before).value_or(L"(nothing copied)")), Utf8(kHistory[3]));
  EXPECT_EQ(GetClipboardOwner(), chat_.history);

  std::wstring all;
  for (const std::wstring& line : kHistory) all += (all.empty() ? L"" : L"\r\n") + line;
  before = GetClipboardSequenceNumber();
  ASSERT_TRUE(driver::PressKeys({VK_CONTROL, 'A'}));
  ASSERT_TRUE(driver::PressKeys({VK_CONTROL, 'C'}));
  EXPECT_EQ(Utf8(CopiedSince(before).value_or(L"(nothing copied)")), Utf8(all));

  ASSERT_TRUE(driver::TypeText(L"typed\n"));
  ASSERT_TRUE(driver::PressKeys({VK_CONTROL, 'V'}));
  // A click on the first line selects it; the typing above, queued before
  // the click, has been handled by then.
  PostMessageW(chat_.history, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 6));
  EXPECT_EQ(Utf8(WaitForText(chat_.history, kHistory[0], chat::kSelectedText)), Utf8(kHistory[0]));
  EXPECT_EQ(Utf8(driver::PaneText(chat_.history).value_or(L"")), Utf8(all));
}

// Tab and Shift+Tab walk history, message box and Edit box; the Edit box is
// a standard one that answers WM_GETTEXT.
TEST_F(LookAlikeChat, TabWalksThePartsAndTheEditBoxIsStandard) {
  ASSERT_NO_FATAL_FAILURE(Front());
  ASSERT_TRUE(driver::PressKeys({VK_TAB}));
  EXPECT_TRUE(FocusComesTo(chat_.edit));
  ASSERT_TRUE(driver::TypeText(L"Στο Edit\n"));
  EXPECT_EQ(Utf8(Awaited(L"Στο Edit\r\n", [&] { return driver::WindowTextW(chat_.edit); })), Utf8(L"Στο Edit\r\n"));
  ASSERT_TRUE(driver::PressKeys({VK_TAB}));
  EXPECT_TRUE(FocusComesTo(chat_.history));
  ASSERT_TRUE(driver::PressKeys({VK_SHIFT, VK_TAB}));
  EXPECT_TRUE(FocusComesTo(chat_.edit));
  ASSERT_TRUE(driver::FocusChatPart(chat_, chat::kMessageBoxId));
  EXPECT_TRUE(FocusComesTo(chat_.messageBox));

  // Something in every part, for a look when VWG_SCREENSHOT_DIR names a folder.
  ASSERT_TRUE(driver::SetPaneEntries(chat_.history, kHistory));
  ASSERT_TRUE(driver::SelectPaneEntries(chat_.history, 3, 3));
  ASSERT_TRUE(driver::TypeText(kTyped));
  EXPECT_EQ(Utf8(WaitForText(chat_.messageBox, kTyped)), Utf8(kTyped));
  if (const char* dir = getenv("VWG_SCREENSHOT_DIR")) {
    EXPECT_TRUE(driver::TakeScreenshot(std::string(dir) + "\\lookalike-chat.png"));
  }
}

}  // namespace
