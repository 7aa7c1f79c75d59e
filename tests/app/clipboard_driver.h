// The clipboard from a test process, and the tray menu's clipboard commands
// chosen from outside: for the clipboard tests and the soak.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <optional>
#include <string>

namespace clipboard {

// The tray menu's clipboard commands, after the banner that Home highlights.
constexpr std::initializer_list<UINT> kEncryptClipboard = {VK_HOME, VK_DOWN};
constexpr std::initializer_list<UINT> kDecryptClipboard = {VK_HOME, VK_DOWN, VK_DOWN};

// Opens the clipboard with owner as soon as no other window holds it open
// (the program under test holds it while it reads or writes); false if it is
// still held after the driver's time limit.
bool OpenClipboardWhenFree(HWND owner);

// The clipboard opened for the test, by a message-only window of its own
// (SetClipboardData needs an owner); closed at the end of the scope.
class Clipboard {
 public:
  Clipboard();
  ~Clipboard();
  Clipboard(const Clipboard&) = delete;
  Clipboard& operator=(const Clipboard&) = delete;
  bool ok() const { return open_; }

 private:
  HWND owner_;
  bool open_ = false;
};

// Puts a copy of size bytes at data on the open clipboard as format.
bool PutData(UINT format, const void* data, size_t size);

// Empties the clipboard and leaves text on it, or nothing for nullopt.
bool SetClipboard(const std::optional<std::string>& text);

// The clipboard's CF_TEXT, or nullopt when it has none.
std::optional<std::string> ClipboardText();

// The same for CF_UNICODETEXT: text put there alone, and read back.
bool SetUnicodeClipboard(const std::wstring& text);
std::optional<std::wstring> UnicodeClipboardText();

// In the open tray menu, chooses the command that keys lead to, and waits
// until the tray menu itself has gone, not until no menu is open: a
// clipboard command opens the key menu at once.
bool ChooseTrayCommand(HWND trayMenu, std::initializer_list<UINT> keys);

}  // namespace clipboard
