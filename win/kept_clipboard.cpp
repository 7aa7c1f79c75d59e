#include "win/kept_clipboard.h"

#include "keys/wiped_text.h"
#include "win/clipboard.h"

namespace {

// Formats whose data is a handle of some other kind than a memory block, or
// is freed by its owner: copying their bytes would keep a dangling handle.
bool IsMemoryBlock(UINT format) {
  switch (format) {
    case CF_BITMAP:
    case CF_DSPBITMAP:
    case CF_PALETTE:
    case CF_METAFILEPICT:
    case CF_DSPMETAFILEPICT:
    case CF_ENHMETAFILE:
    case CF_DSPENHMETAFILE:
    case CF_OWNERDISPLAY:
      return false;
  }
  return !(format >= CF_GDIOBJFIRST && format <= CF_GDIOBJLAST) &&
         !(format >= CF_PRIVATEFIRST && format <= CF_PRIVATELAST);
}

}  // namespace

KeptClipboard::~KeptClipboard() {
  for (Format& format : formats_) WipeText(format.bytes);
}

bool KeptClipboard::Keep(HWND window) {
  OpenedClipboard clipboard(window);
  if (!clipboard.ok()) return false;
  // Room for all at once: a vector that grows would move short texts out of
  // their places without wiping them.
  formats_.reserve(static_cast<size_t>(CountClipboardFormats()));
  for (UINT format = EnumClipboardFormats(0); format != 0; format = EnumClipboardFormats(format)) {
    if (!IsMemoryBlock(format)) continue;
    HANDLE data = GetClipboardData(format);
    const void* p = data ? GlobalLock(data) : nullptr;
    if (!p) continue;
    if (formats_.size() < formats_.capacity()) {
      formats_.emplace_back();
      formats_.back().id = format;
      formats_.back().bytes.assign(static_cast<const char*>(p), GlobalSize(data));
    }
    GlobalUnlock(data);
  }
  return true;
}

bool KeptClipboard::PutBack(HWND window) const {
  OpenedClipboard clipboard(window);
  if (!clipboard.ok() || !EmptyClipboard()) return false;
  bool ok = true;
  for (const Format& format : formats_) ok = PlaceData(format.id, format.bytes.data(), format.bytes.size()) && ok;
  return ok;
}
