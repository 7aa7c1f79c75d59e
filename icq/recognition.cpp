#include "icq/recognition.h"

#include <cstdint>
#include <cstring>

#include "icq/button_proc.h"
#include "icq/dialog_lists.h"
#include "icq/icq_client.h"
#include "icq/message_pump.h"
#include "icq/placement.h"
#include "icq/process_state.h"
#include "resources/strings.h"
#include "win/callback_guard.h"
#include "win/program.h"
#include "win/report_error.h"

namespace {

// Captions are compared on their first 24 characters at most.
constexpr int kCaptionBytes = 25;

enum class DialogKind { kNone, kSend, kIncoming };

// True when caption begins with the string-table text id; an entry that
// cannot be loaded matches nothing.
bool CaptionBeginsWith(const char* caption, UINT id, bool& loaded) {
  char text[kTextChars];
  LoadText(id, text);
  const size_t n = std::strlen(text);
  loaded = n > 0;
  return loaded && std::strncmp(caption, text, n) == 0;
}

// "Event Details" (IDS_CAPTION_EVENT_DETAILS) is deliberately not
// recognised: nothing is known about its controls, and a button placed by
// guesswork could cover ICQ's own.
DialogKind RecogniseCaption(const char* caption) {
  // A send dialog needs all four captions: a table that lacks one is not the
  // table the comparison was meant for.
  bool allLoaded = true, matched = false;
  for (UINT id : {IDS_CAPTION_SEND_ONLINE, IDS_CAPTION_SEND_OFFLINE, IDS_CAPTION_SEND, IDS_CAPTION_SEND_MULTIPLE}) {
    bool loaded;
    matched = CaptionBeginsWith(caption, id, loaded) || matched;
    allLoaded = allLoaded && loaded;
  }
  if (allLoaded && matched) return DialogKind::kSend;
  bool loaded;
  if (CaptionBeginsWith(caption, IDS_CAPTION_INCOMING, loaded)) return DialogKind::kIncoming;
  return DialogKind::kNone;
}

// The new button, or null after reporting why it could not be made. It has
// no bitmap yet: the next refresh pass gives it one.
HWND CreateDialogButton(HWND dialog, bool incoming, int id) {
  int32_t x, y, width, height;
  if (!ComputeButtonPlacement(incoming, dialog, x, y, width, height)) {
    // ICQ may still be filling in the dialog; a failure also leaves 0 x 0 at
    // (0, 0), invisible until a refresh pass can place it.
    PumpMessages();
    ComputeButtonPlacement(incoming, dialog, x, y, width, height);
  }
  HWND button = CreateWindowExA(WS_EX_NOPARENTNOTIFY, "BUTTON", incoming ? "Decrypt" : "Encrypt",
                                WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_BITMAP, x, y, width, height, dialog,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), AppInstance, nullptr);
  if (!button) {
    // A dialog that ICQ closes meanwhile is no error to tell the user about:
    // one gone while the placement retry dispatched messages, or one on its
    // way out, which is hidden before it goes and may still be a window
    // when the creation of a child under it has failed.
    if (IsWindow(dialog) && IsWindowVisible(dialog)) ReportError(nullptr, false);
    return nullptr;
  }
  SubclassButton(button);
  // Behind ICQ's reference control in the tab order, then above everything
  // in the dialog so that no sibling hides it.
  HWND anchor = GetDlgItem(dialog, incoming ? kIncomingAnchorControl : kSendReferenceControl);
  SetWindowPos(button, anchor, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SetWindowPos(button, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  return button;
}

void EquipDialog(HWND dialog, bool incoming) {
  DialogList& list = incoming ? ReceiveDialogs : SendDialogs;
  const int id = (incoming ? kDecryptButtonBase : kEncryptButtonBase) + DialogCount(list);
  DialogRecord record{};
  // Recorded even without a button, so that a failure is not repeated on
  // every tick while the dialog stays open.
  record.button = CreateDialogButton(dialog, incoming, id);
  if (!IsWindow(dialog)) return;
  record.dialog = dialog;
  record.innerDialog = FindWindowExA(dialog, nullptr, kInnerDialogClass, nullptr);
  record.messageEdit = GetDlgItem(incoming ? record.innerDialog : dialog, kMessageEditControl);
  record.imageSet = 0;
  record.autoLooked = 0;
  list.records.push_back(record);
}

}  // namespace

BOOL CALLBACK EnumDialogsProc(HWND window, LPARAM) {
  Guarded([window] {
    char caption[kCaptionBytes] = "";
    GetWindowTextA(window, caption, kCaptionBytes);
    const DialogKind kind = RecogniseCaption(caption);
    if (kind == DialogKind::kNone) return;
    const bool incoming = kind == DialogKind::kIncoming;
    if (!IsDialogKnown(window, incoming)) EquipDialog(window, incoming);
  });
  return TRUE;
}
