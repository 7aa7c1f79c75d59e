// The ICQ dialogs that have been given a button: one list of send dialogs
// (Encrypt buttons) and one of incoming dialogs (Decrypt buttons), in the
// order they were found, from start-up to exit.
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
};

struct DialogList {
  std::vector<DialogRecord> records;
};

extern DialogList SendDialogs;
extern DialogList ReceiveDialogs;

// Gives every Encrypt button the current Encrypt bitmap and every Decrypt
// button the current Decrypt bitmap, in list order; called when a skin has
// replaced the bitmaps.
void ApplyButtonImages();
