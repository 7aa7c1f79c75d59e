// The clipboard's pieces that every user of it needs: opening it for a
// while, a memory block that may hold a plain text, and reading a text
// format.
#pragma once

#include <windows.h>

#include <cstddef>

// The clipboard, open for the life of the holder, by window (which becomes
// its owner on EmptyClipboard). Another program may hold it open for a
// moment (clipboard managers read every change): a few short tries are made
// before giving up.
class OpenedClipboard {
 public:
  explicit OpenedClipboard(HWND window);
  OpenedClipboard(const OpenedClipboard&) = delete;
  OpenedClipboard& operator=(const OpenedClipboard&) = delete;
  ~OpenedClipboard();
  bool ok() const { return open_; }

 private:
  bool open_ = false;
};

// Puts a copy of bytes on the open clipboard as format.
bool PlaceData(UINT format, const void* data, size_t bytes);

// Puts on the open clipboard the formats by which clipboard history, cloud
// clipboard, clipboard monitors and clipboard viewers know to leave its
// text alone (systems and programs without those features ignore them).
// Placed before the text, so that no monitor sees the text without them.
bool PlaceExclusionFormats();

// The text of one format of the open clipboard (CF_TEXT into a string,
// CF_UNICODETEXT into a wstring), up to its NUL or the end of its block;
// empty when the clipboard has none.
template <typename Text>
void ReadFormat(UINT format, Text& text) {
  HANDLE data = GetClipboardData(format);
  const auto* p = data ? static_cast<const typename Text::value_type*>(GlobalLock(data)) : nullptr;
  if (!p) return;
  const size_t units = GlobalSize(data) / sizeof *p;
  size_t length = 0;
  while (length < units && p[length]) ++length;
  text.assign(p, length);
  GlobalUnlock(data);
}
