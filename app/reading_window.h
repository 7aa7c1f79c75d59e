// The reading window of the Decrypt hotkey: decrypted messages are shown in
// a small window of our own near the cursor, always on top, and never
// written into the other program. It is modeless: the hotkey's handler
// returns at once, so that the next press (another message, while this one
// is still open) is not held up for as long as the user reads, and the
// program's loop gives it its keyboard (Esc, Tab, Enter). One shows at a
// time; a new reading replaces it. Its text is wiped when it closes.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "keys/wiped_text.h"

// One decrypted message as the window shows it. Wiped when dropped.
struct ShownMessage {
  std::wstring text;      // the message, its line breaks CR LF
  std::string sender;     // the sender's user ID, as IDs are shown (DisplayUserId)
  std::string keyId;      // with proven, the sender's key ID
  bool proven = false;    // a ?VW3: message, which only the sender's strong key writes
  uint64_t written = 0;   // with proven, when it was written (seconds since 1970 UTC)
  ShownMessage() = default;
  ShownMessage(ShownMessage&&) = default;
  ~ShownMessage() { WipeText(text); }
};

// Shows messages (one or more, in order) in the reading window, replacing
// what it showed, and takes the foreground for it: attached to the input of
// the foreground window's thread, with the right the hotkey's press gives.
// A window that cannot have it is shown all the same, on top: only reading
// is done there, so no key meant for it can do harm elsewhere.
void ShowReadingWindow(const std::vector<ShownMessage>& messages);

// For the program's message loop: true when msg was the reading window's
// keyboard navigation and has been handled.
bool IsReadingWindowMessage(MSG& msg);

// Closes the reading window, if open, its text wiped.
void CloseReadingWindow();
