#include "icq/dialog_lists.h"

#include "icq/process_state.h"

DialogList SendDialogs;
DialogList ReceiveDialogs;

int32_t DialogCount(const DialogList& list) { return static_cast<int32_t>(list.records.size()); }

template <HWND DialogRecord::*Field>
static int32_t FindRecord(const DialogList& list, HWND window) {
  if (window == nullptr) return -1;
  for (int32_t i = 0; i < DialogCount(list); ++i)
    if (list.records[i].*Field == window) return i;
  return -1;
}

int32_t FindDialogRecord(const DialogList& list, HWND dialog) {
  return FindRecord<&DialogRecord::dialog>(list, dialog);
}

int32_t FindButtonRecord(const DialogList& list, HWND button) {
  return FindRecord<&DialogRecord::button>(list, button);
}

bool IsDialogKnown(HWND dialog, bool incoming) {
  return FindDialogRecord(incoming ? ReceiveDialogs : SendDialogs, dialog) >= 0;
}
