#include "icq/scanner.h"

#include <cstdint>

#include "icq/button_images.h"
#include "icq/button_proc.h"
#include "icq/dialog_actions.h"
#include "icq/dialog_lists.h"
#include "icq/message_options.h"
#include "icq/message_pump.h"
#include "icq/placement.h"
#include "icq/process_state.h"
#include "icq/recognition.h"
#include "icq/scan_counts.h"
#include "win/callback_guard.h"

namespace {

// A tick runs PumpMessages, which can dispatch the next WM_TIMER (and a menu
// or message box opened inside the tick runs its own loop): such a nested
// tick is skipped, so that only one pass at a time changes the lists.
bool Scanning = false;

// Published for the tests (icq/scan_counts.h) at the end of each pass.
unsigned PassesFinished = 0;

// Marks a pass for as long as it runs, also when it ends early.
class ScanPass {
 public:
  ScanPass() { Scanning = true; }
  ~ScanPass() { Scanning = false; }
  ScanPass(const ScanPass&) = delete;
  ScanPass& operator=(const ScanPass&) = delete;
};

void SetImage(HWND button, HBITMAP bitmap) {
  SendMessageA(button, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
}

// The button's top-left corner in the dialog's client coordinates.
POINT ButtonPosition(const DialogRecord& record) {
  RECT rect{};
  GetWindowRect(record.button, &rect);
  POINT corner{rect.left, rect.top};
  ScreenToClient(record.dialog, &corner);
  return corner;
}

// Visits the records present when the pass begins, in order. Placement
// dispatches messages, so the record is found again by its dialog
// afterwards, and the pass goes on after wherever it now stands.
void RefreshDialogs(DialogList& list, bool incoming, HBITMAP bitmap) {
  const int32_t visits = DialogCount(list);
  int32_t i = 0;
  for (int32_t visited = 0; visited < visits && i < DialogCount(list); ++visited) {
    const DialogRecord record = list.records[i];
    if (!IsWindow(record.dialog)) {
      // Its button went with it.
      list.records.erase(list.records.begin() + i);
      continue;
    }
    if (!record.imageSet) {
      SetImage(record.button, bitmap);
      list.records[i].imageSet = 1;
    }
    if (incoming && !record.autoLooked) {
      // Once per dialog, marked before the write: whatever the user does
      // with the message afterwards (Undo, a change) is never undone here.
      // A dialog that did not answer is looked at again on a later tick,
      // its record found again by its dialog.
      list.records[i].autoLooked = 1;
      if (IsOn(CurrentMessageOptions().autoDecrypt) && !DecryptArrivedMessage(record)) {
        const int32_t again = FindDialogRecord(list, record.dialog);
        if (again >= 0) list.records[again].autoLooked = 0;
      }
    }
    int32_t x = 0, y = 0, width = 0, height = 0;
    // Without an inner dialog an incoming dialog has no width reference: its
    // button stays where it was made.
    const bool placed = (!incoming || record.innerDialog) &&
                        ComputeButtonPlacement(incoming, record.dialog, x, y, width, height);
    PumpMessages();
    const POINT current = ButtonPosition(record);
    // Only the position is compared: ICQ resizing its controls alone does
    // not disturb the button.
    if (placed && (x != current.x || y != current.y)) {
      MoveWindow(record.button, x, y, width, height, TRUE);
      SetImage(record.button, bitmap);
    } else {
      RepaintButton(record.button);
    }
    const int32_t now = FindDialogRecord(list, record.dialog);
    i = now >= 0 ? now + 1 : i;
  }
}

}  // namespace

void CALLBACK ScanTimerProc(HWND window, UINT message, UINT_PTR timerId, DWORD) {
  if (message != WM_TIMER || timerId != IDT_SCANNER || Scanning) return;
  Guarded([] {
    const ScanPass pass;
    RefreshDialogs(SendDialogs, false, EncryptImage());
    RefreshDialogs(ReceiveDialogs, true, DecryptImage());
    EnumWindows(EnumDialogsProc, 0);
  });
  // The balloons first: whoever sees this pass counted also sees every
  // balloon asked for before it ended.
  PublishCount(window, kBalloonsAskedProperty, BalloonCount());
  PublishCount(window, kScanPassesProperty, ++PassesFinished);
}
