#include "win/clipboard.h"

#include <cstring>

#include "crypto/wipe.h"

namespace {

constexpr int kOpenTries = 10;
constexpr DWORD kOpenRetryMs = 20;

constexpr const char* kExclusionFormats[] = {"ExcludeClipboardContentFromMonitorProcessing",
                                             "CanIncludeInClipboardHistory", "CanUploadToCloudClipboard",
                                             "Clipboard Viewer Ignore"};

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

GlobalBlock::~GlobalBlock() {
  if (!h_) return;
  if (void* p = GlobalLock(h_)) {
    SecureWipe(p, GlobalSize(h_));
    GlobalUnlock(h_);
  }
  GlobalFree(h_);
}

bool GlobalBlock::Fill(const void* data, size_t bytes) {
  void* p = h_ ? GlobalLock(h_) : nullptr;
  if (!p) return false;
  std::memcpy(p, data, bytes);
  GlobalUnlock(h_);
  return true;
}

bool GlobalBlock::Place(UINT format) {
  if (!SetClipboardData(format, h_)) return false;
  h_ = nullptr;
  return true;
}

bool PlaceData(UINT format, const void* data, size_t bytes) {
  GlobalBlock block(bytes);
  return block.Fill(data, bytes) && block.Place(format);
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
