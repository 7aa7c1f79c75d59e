// The ICQ dialogs that have been given a button: one list of send dialogs
// (Encrypt buttons) and one of incoming dialogs (Decrypt buttons), in the
// order they were found, from start-up to exit.
//
// Messages are dispatched in the middle of a scan tick (PumpMessages), so a
// button press or a menu can run while a pass over a list is under way. Code
// that walks a list therefore goes by index and finds its record again by
// dialog after anything that may dispatch messages, and hands out copies of
// records rather than references into the list.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

struct DialogRecord {
  HWND button;       // null when its creation failed
  HWND dialog;       // ICQ's top-level dialog: the record's identity
  HWND innerDialog;  // its first "#32770" child when the button was made
  HWND messageEdit;  // control 1025 of dialog (send) or of innerDialog (incoming)
  int32_t imageSet;  // the button has been given its bitmap
  // Incoming: the scan has had its one look at the message for the
  // automatic decryption, whether or not the option was on; cleared again
  // when the dialog did not answer, for a look on a later tick.
  int32_t autoLooked;
};

// The two lists themselves are SendDialogs and ReceiveDialogs
// (icq/process_state.h).
struct DialogList {
  std::vector<DialogRecord> records;
};

// The number of records; the next button's control id is its base plus this.
int32_t DialogCount(const DialogList& list);

// Index of the record of dialog or of button, or -1 when there is none. A
// null handle never matches: a record whose button could not be made has none.
int32_t FindDialogRecord(const DialogList& list, HWND dialog);
int32_t FindButtonRecord(const DialogList& list, HWND button);

// True if the list of that kind (ReceiveDialogs when incoming) holds dialog.
bool IsDialogKnown(HWND dialog, bool incoming);
