#include "app/clipboard_commands.h"

#include <windows.h>

#include <cstring>
#include <string>

#include "icq/key_menu.h"
#include "icq/text_transform.h"
#include "keys/message_text.h"
#include "resources/strings.h"
#include "win/program.h"
#include "win/report_error.h"

namespace {

// Another program may hold the clipboard open for a moment (clipboard
// managers read every change): a few short tries before giving up.
constexpr int kOpenTries = 10;
constexpr DWORD kOpenRetryMs = 20;

// The clipboard, open for the life of the holder.
class OpenedClipboard {
 public:
  OpenedClipboard() {
    for (int i = 0; i < kOpenTries && !open_; ++i) {
      if (i > 0) Sleep(kOpenRetryMs);
      open_ = OpenClipboard(MainWindow) != FALSE;
    }
  }
  OpenedClipboard(const OpenedClipboard&) = delete;
  OpenedClipboard& operator=(const OpenedClipboard&) = delete;
  ~OpenedClipboard() {
    if (open_) CloseClipboard();
  }
  bool ok() const { return open_; }

 private:
  bool open_ = false;
};

// A moveable global block that is freed unless the clipboard took it.
class GlobalBlock {
 public:
  explicit GlobalBlock(SIZE_T bytes) : h_(GlobalAlloc(GMEM_MOVEABLE, bytes)) {}
  GlobalBlock(const GlobalBlock&) = delete;
  GlobalBlock& operator=(const GlobalBlock&) = delete;
  ~GlobalBlock() {
    if (h_) GlobalFree(h_);
  }
  bool Fill(const void* data, size_t bytes) {
    void* p = h_ ? GlobalLock(h_) : nullptr;
    if (!p) return false;
    std::memcpy(p, data, bytes);
    GlobalUnlock(h_);
    return true;
  }
  // Hands the block to the clipboard, which owns it from then on.
  bool Place(UINT format) {
    if (!SetClipboardData(format, h_)) return false;
    h_ = nullptr;
    return true;
  }

 private:
  HGLOBAL h_;
};

// The clipboard's text ("" when it holds none), or false when the clipboard
// could not be opened (reported).
bool ReadClipboardText(std::string& text) {
  text.clear();
  OpenedClipboard clipboard;
  if (!clipboard.ok()) {
    ReportError(nullptr, false);
    return false;
  }
  // The system also offers Unicode and OEM text as CF_TEXT.
  HANDLE data = GetClipboardData(CF_TEXT);
  const char* p = data ? static_cast<const char*>(GlobalLock(data)) : nullptr;
  if (p) {
    text.assign(p, strnlen(p, GlobalSize(data)));
    GlobalUnlock(data);
  }
  return true;
}

bool PlaceData(UINT format, const void* data, size_t bytes) {
  GlobalBlock block(bytes);
  return block.Fill(data, bytes) && block.Place(format);
}

// Formats by which clipboard history, cloud clipboard and clipboard
// monitors know to leave a text alone; systems without those features
// ignore them.
constexpr const char* kPrivateFormats[] = {"ExcludeClipboardContentFromMonitorProcessing",
                                           "CanIncludeInClipboardHistory", "CanUploadToCloudClipboard"};

// Replaces the clipboard's contents with text. Returns true, or false after
// reporting the failure (the clipboard then holds nothing of ours).
bool PutClipboardText(const std::string& text, bool keepPrivate) {
  OpenedClipboard clipboard;
  bool ok = clipboard.ok() && EmptyClipboard();
  if (ok && keepPrivate) {
    // Before the text, so that no monitor sees it without them; a DWORD 0
    // says "no" to the two Can... formats, and the first needs any data.
    const DWORD no = 0;
    for (const char* name : kPrivateFormats) {
      const UINT format = RegisterClipboardFormatA(name);
      ok = ok && format != 0 && PlaceData(format, &no, sizeof no);
    }
  }
  ok = ok && PlaceData(CF_TEXT, text.c_str(), text.size() + 1);
  if (!ok) {
    ReportError(nullptr, false);
    if (clipboard.ok()) EmptyClipboard();  // no half-placed plain text
  }
  return ok;
}

void TransformClipboard(bool sending) {
  std::string text, input;
  if (!ReadClipboardText(text)) return;
  if (WithoutBlanks(text).empty()) {
    ShowNotice(IDS_CLIPBOARD_NO_TEXT);
    return;
  }
  if (sending) {
    input = text;
  } else if (!CipherTextOf(text, input)) {
    return;
  }
  CurvePoint point;
  if (!ChooseCorrespondent(sending, point)) return;
  std::string result;
  if (!TransformText(sending, input, point, result)) return;
  if (!sending) TrimPadding(result);
  if (PutClipboardText(result, !sending)) ShowNotice(IDS_CLIPBOARD_DONE);
}

}  // namespace

void EncryptClipboard() { TransformClipboard(true); }

void DecryptClipboard() { TransformClipboard(false); }
