// The Decrypt hotkey of the real vaultwing.exe under Wine: a chat window of
// the test's own (a standard Edit box holding lines of a conversation, on a
// thread that answers its messages), a selection made in it, real keyboard
// input (SendInput) for Ctrl+Shift+D and Esc, and the reading window read
// back from outside. What must hold besides the text shown: the sender's key
// and time beneath it, Copy's text on the clipboard with the formats that
// keep it out of clipboard history, the chat's own text untouched, and no
// window at all for a message that was changed on the way.
#include <windows.h>

#include <cstdio>
#include <optional>
#include <string>
#include <thread>

#include "keys/formats/strong_message.h"
#include "keys/formats/v3_message.h"
#include "resources/resource.h"
#include "tests/app/clipboard_driver.h"
#include "tests/app/tray_fixture.h"
#include "tests/lookalike/lookalike_client.h"

using tray::Party;

namespace {

constexpr char kChatClass[] = "VwgTestChat";
constexpr char kChatCaption[] = "Chat with Alice";
// 2026-11-30 00:53:20 UTC.
constexpr uint64_t kWritten = 1796000000;
constexpr char kWrittenText[] = "2026-11-30 00:53";
constexpr char kChanged[] = "This message was changed on the way, or was not encrypted for you.";
constexpr char kNoMessageSelected[] =
    "The selected text holds no encrypted message.  Select the whole message (the names and times around it may "
    "come along), then press the Decrypt hotkey again.";
constexpr char kClearedSoon[] =
    "The decrypted text will be taken off the clipboard in a minute, unless something else is copied first.";
constexpr const char* kPrivateFormats[] = {"ExcludeClipboardContentFromMonitorProcessing",
                                           "CanIncludeInClipboardHistory", "CanUploadToCloudClipboard",
                                           "Clipboard Viewer Ignore"};

// Greek, Cyrillic, a dash, an emoji (a surrogate pair) and a line break.
const std::wstring kWorldMessage = L"Γειά σου! Привет 👋\r\nΣυνάντηση στις 10:00 — ok";

std::wstring WideOfUtf8(const std::string& utf8) {
  std::wstring wide(utf8.size(), L'\0');
  wide.resize(static_cast<size_t>(
      MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), static_cast<int>(wide.size()))));
  return wide;
}

// A top-level window with a multi-line Edit box, on a thread of its own
// that answers its messages while the test waits, as a chat program does.
class ChatWindow {
 public:
  ChatWindow() {
    thread_ = std::thread([this] { Run(); });
    while (!ready_) Sleep(10);
  }
  ~ChatWindow() {
    PostMessageA(window_, WM_CLOSE, 0, 0);
    thread_.join();
  }
  HWND window() const { return window_; }
  HWND edit() const { return edit_; }

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_SETFOCUS:  // the keyboard goes to the box, as in a chat
        SetFocus(GetWindow(window, GW_CHILD));
        return 0;
      case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
  }
  void Run() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kChatClass;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    RegisterClassA(&wc);
    window_ = CreateWindowExA(0, kChatClass, kChatCaption, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 520, 360,
                              nullptr, nullptr, wc.hInstance, nullptr);
    edit_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"Edit", L"",
                            WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL, 4, 4, 500, 320,
                            window_, nullptr, wc.hInstance, nullptr);
    ready_ = true;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  std::thread thread_;
  HWND window_ = nullptr, edit_ = nullptr;
  volatile bool ready_ = false;
};

class ReadHotkey : public tray::TrayProgram {
 protected:
  // Me, Alice and Bob, with strong keys; the program runs with mine.
  ReadHotkey() {
    MakeParty(me_, "Me");
    MakeParty(alice_, "Alice");
    MakeParty(bob_, "Bob");
    SaveKeys({me_, alice_, bob_}, me_.secret);
  }

  // The program runs, and holds Ctrl+Shift+D, which it registers before its
  // splash shows.
  void StartProgram() {
    program_ = Start();
    ASSERT_NO_FATAL_FAILURE(ExpectRunning(program_));
    ASSERT_TRUE(driver::HotkeyHeld(MOD_CONTROL | MOD_SHIFT | MOD_NOREPEAT, 'D'))
        << "the program does not hold Ctrl+Shift+D";
  }

  // A ?VW3: message to me.
  std::string From(const Party& sender, const std::wstring& text) {
    std::string message;
    EXPECT_EQ(EncryptV3Message(icq::Utf8Of(text), kWritten, sender.secret, sender.strong, me_.strong, message),
              StrongStatus::kOk);
    return message;
  }

  // Puts text in the chat's box, selects [from, to) in it, brings the chat
  // to the front and presses Ctrl+Shift+D.
  void PressOver(const std::wstring& text, size_t from, size_t to) {
    SetWindowTextW(chat_.edit(), text.c_str());
    SendMessageW(chat_.edit(), EM_SETSEL, from, to);
    // The chat's thread takes the activation, and hands the focus to its
    // box, in its own time.
    driver::BringToFront(chat_.window());
    ASSERT_TRUE(driver::PollUntil(2000, [&] {
      return GetForegroundWindow() == chat_.window() && driver::KeyboardFocus(chat_.window()) == chat_.edit();
    })) << "the chat's box does not have the keyboard";
    ASSERT_TRUE(driver::PressKeys({VK_CONTROL, VK_SHIFT, 'D'}));
  }

  HWND WaitForReadingWindow(const char* caption) {
    driver::WindowQuery query;
    query.className = "#32770";
    query.caption = caption;
    query.pid = program_.pid();
    return driver::WaitForWindow(query);
  }

  // The reading window's text (edit 1501) and the line beneath it (1503).
  static std::wstring ShownText(HWND window) {
    return driver::WindowTextW(GetDlgItem(window, IDC_READING_TEXT));
  }
  static std::string SenderLine(HWND window) {
    return driver::WindowText(GetDlgItem(window, IDC_READING_SENDER));
  }
  std::string KeyLine(const Party& party) {
    return "Key ID " + ShownKeyId(party.pub, party.strong) + ", written " + kWrittenText + " UTC";
  }

  // Esc, typed as the user types it, closes the window.
  static void CloseWithEsc(HWND window) {
    ASSERT_TRUE(driver::PressKeys({VK_ESCAPE}));
    EXPECT_TRUE(driver::WaitWindowGone(window)) << "Esc did not close the reading window";
  }

  Party me_, alice_, bob_;
  ChatWindow chat_;
  driver::Program program_;
};

// A message selected among the chat's lines, wrapped as a chat wraps it:
// the window near the cursor, on top and in front, with the text in every
// script, the sender's key and the time; Copy puts it on the clipboard
// kept out of its history; Esc closes it; the chat keeps its text.
TEST_F(ReadHotkey, ShowsTheSelectedMessageWithItsSenderAndCopiesItPrivately) {
  ASSERT_NO_FATAL_FAILURE(StartProgram());
  const std::string message = From(alice_, kWorldMessage);
  const std::wstring wrapped = WideOfUtf8(message.substr(0, 60) + "\r\n" + message.substr(60));
  const std::wstring chat = L"Alice, 10:02\r\nΚαλημέρα, see below\r\nAlice, 10:03\r\n" + wrapped +
                            L"\r\nMe, 10:05\r\nthanks!";
  const size_t from = chat.find(L"Alice, 10:03");
  ASSERT_NO_FATAL_FAILURE(PressOver(chat, from, chat.find(L"Me, 10:05")));

  HWND window = WaitForReadingWindow("Message from Alice");
  ASSERT_NE(window, nullptr) << "no reading window; balloon: " << driver::ShownBalloon().text;
  EXPECT_EQ(ShownText(window), kWorldMessage);
  EXPECT_EQ(SenderLine(window), KeyLine(alice_));
  EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) << "not always on top";
  EXPECT_TRUE(driver::PollUntil(2000, [&] { return GetForegroundWindow() == window; })) << "not in front";
  POINT cursor;
  GetCursorPos(&cursor);
  RECT frame;
  GetWindowRect(window, &frame);
  EXPECT_LT(std::abs(frame.left - cursor.x) + std::abs(frame.top - cursor.y), 600) << "not near the cursor";
  KeepScreenshot("reading-window.png");

  ASSERT_TRUE(driver::ClickButton(window, IDC_READING_COPY));
  EXPECT_NE(driver::WaitForBalloon(kClearedSoon), nullptr) << driver::ShownBalloon().text;
  EXPECT_EQ(clipboard::UnicodeClipboardText(), std::optional<std::wstring>(kWorldMessage));
  {
    clipboard::Clipboard open;
    ASSERT_TRUE(open.ok());
    for (const char* format : kPrivateFormats)
      EXPECT_TRUE(IsClipboardFormatAvailable(RegisterClipboardFormatA(format))) << format;
  }

  ASSERT_NO_FATAL_FAILURE(CloseWithEsc(window));
  EXPECT_EQ(driver::WindowTextW(chat_.edit()), chat) << "the chat's text was changed";
  ExitThroughMenu(program_);
}

// With nothing selected, the clipboard's text is read, lines of chat and
// all.
TEST_F(ReadHotkey, ReadsTheClipboardWhenNothingIsSelected) {
  ASSERT_NO_FATAL_FAILURE(StartProgram());
  const std::wstring copied = L"[10:03] Bob: " + WideOfUtf8(From(bob_, L"Copied, not selected")) + L"\r\n[10:04] Me: ok";
  ASSERT_TRUE(clipboard::SetUnicodeClipboard(copied));
  ASSERT_NO_FATAL_FAILURE(PressOver(L"a chat where nothing is selected", 3, 3));
  HWND window = WaitForReadingWindow("Message from Bob");
  ASSERT_NE(window, nullptr) << "no reading window; balloon: " << driver::ShownBalloon().text;
  EXPECT_EQ(ShownText(window), L"Copied, not selected");
  EXPECT_EQ(SenderLine(window), KeyLine(bob_));
  ASSERT_NO_FATAL_FAILURE(CloseWithEsc(window));
  ExitThroughMenu(program_);
}

// Two messages in one selection: one window listing both, in order, each
// below its sender's line.
TEST_F(ReadHotkey, ListsSeveralMessagesInOneWindowInOrder) {
  ASSERT_NO_FATAL_FAILURE(StartProgram());
  const std::wstring chat = L"Bob, 10:01\r\n" + WideOfUtf8(From(bob_, L"First, from Bob")) + L"\r\nAlice, 10:02\r\n" +
                            WideOfUtf8(From(alice_, L"Second, from Alice\r\nin two lines")) + L"\r\n";
  ASSERT_NO_FATAL_FAILURE(PressOver(chat, 0, chat.size()));
  HWND window = WaitForReadingWindow("2 messages from Bob, Alice");
  ASSERT_NE(window, nullptr) << "no reading window; balloon: " << driver::ShownBalloon().text;
  const std::string bobLine = "Bob, key ID " + ShownKeyId(bob_.pub, bob_.strong) + ", written " + kWrittenText + " UTC:";
  const std::string aliceLine =
      "Alice, key ID " + ShownKeyId(alice_.pub, alice_.strong) + ", written " + kWrittenText + " UTC:";
  EXPECT_EQ(ShownText(window), icq::WideFromAnsi(bobLine) + L"\r\nFirst, from Bob\r\n\r\n" +
                                   icq::WideFromAnsi(aliceLine) + L"\r\nSecond, from Alice\r\nin two lines");
  EXPECT_EQ(SenderLine(window), "2 messages, each below the line that names its sender");
  KeepScreenshot("reading-window-two.png");
  ASSERT_NO_FATAL_FAILURE(CloseWithEsc(window));
  ExitThroughMenu(program_);
}

// A message changed on the way, and a selection without a message: a
// balloon each, and no window.
TEST_F(ReadHotkey, RefusesAChangedMessageAndTextWithoutOneWithABalloonOnly) {
  ASSERT_NO_FATAL_FAILURE(StartProgram());
  std::string changed = From(alice_, L"Meet at noon");
  changed[40] = changed[40] == 'A' ? 'B' : 'A';
  const std::wstring chat = L"Alice, 10:03\r\n" + WideOfUtf8(changed) + L"\r\n";
  ASSERT_NO_FATAL_FAILURE(PressOver(chat, 0, chat.size()));
  EXPECT_NE(driver::WaitForBalloon(kChanged), nullptr) << driver::ShownBalloon().text;

  ASSERT_NO_FATAL_FAILURE(PressOver(L"Alice, 10:03\r\nno message here", 0, 20));
  EXPECT_NE(driver::WaitForBalloon(kNoMessageSelected), nullptr) << driver::ShownBalloon().text;
  driver::WindowQuery query;
  query.className = "#32770";
  query.pid = program_.pid();
  EXPECT_EQ(driver::FindTopWindow(query), nullptr) << "a window was shown";
  ExitThroughMenu(program_);
}

}  // namespace
