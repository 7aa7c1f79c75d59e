#include "win/clipboard.h"

#include <cstring>

#include "base/owned.h"
#include "crypto/wipe.h"

namespace {

constexpr int kOpenTries = 10;
constexpr DWORD kOpenRetryMs = 20;

constexpr const char* kExclusionFormats[] = {"ExcludeClipboardContentFromMonitorProcessing",
                                             "CanIncludeInClipboardHistory", "CanUploadToCloudClipboard",
                                             "Clipboard Viewer Ignore"};

// A moveable global block is wiped before it is freed: it may hold a plain
// text.
void WipeAndFree(HGLOBAL h) {
  if (void* p = GlobalLock(h)) {
    SecureWipe(p, GlobalSize(h));
    GlobalUnlock(h);
  }
  GlobalFree(h);
}
using GlobalBlock = Owned<NullIsEmpty<HGLOBAL, WipeAndFree>>;

}  // namespace

OpenedClipboard::OpenedClipboard(HWND window) {
  for (int i = 0; i < kOpenTries && !open_; ++i) {
    if (i > 0) Sleep(kOpenRetryMs);
    open_ = OpenClipboard(window) != FALSE;
  }
}

OpenedClipboard::~OpenedClipboard() {
  if (open_) CloseClipboard();
}

bool PlaceData(UINT format, const void* data, size_t bytes) {
  GlobalBlock block(GlobalAlloc(GMEM_MOVEABLE, bytes));
  void* p = block ? GlobalLock(block.get()) : nullptr;
  if (!p) return false;
  std::memcpy(p, data, bytes);
  GlobalUnlock(block.get());
  if (!SetClipboardData(format, block.get())) return false;
  // The clipboard owns it from here on.
  block.release();
  return true;
}

bool PlaceExclusionFormats() {
  // A DWORD 0 says "no" to the two Can... formats; the others need any data.
  const DWORD no = 0;
  for (const char* name : kExclusionFormats) {
    const UINT format = RegisterClipboardFormatA(name);
    if (format == 0 || !PlaceData(format, &no, sizeof no)) return false;
  }
  return true;
}
