// The user's clipboard, kept while a hotkey borrows the clipboard to copy or
// paste through another program's keyboard handling, and put back as it
// was. Every format that can be copied as a memory block is kept, byte for
// byte; handles of drawing objects (bitmaps, palettes, metafiles) and
// formats that only their owner can render on request are not.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class KeptClipboard {
 public:
  KeptClipboard() = default;
  KeptClipboard(const KeptClipboard&) = delete;
  KeptClipboard& operator=(const KeptClipboard&) = delete;
  // Wipes what was kept: it may be a password.
  ~KeptClipboard();

  // Copies what the clipboard holds now. False when it could not be opened.
  bool Keep(HWND window);
  // Replaces the clipboard's contents with what was kept, window becoming
  // their owner. False when the clipboard could not be opened or filled.
  bool PutBack(HWND window) const;

 private:
  struct Format {
    UINT id;
    std::string bytes;
  };
  std::vector<Format> formats_;
};
