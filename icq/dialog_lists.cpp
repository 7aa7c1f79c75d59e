#include "icq/dialog_lists.h"

#include "app/app_state.h"

DialogList SendDialogs;
DialogList ReceiveDialogs;

static void SetImages(const DialogList& list, HBITMAP bitmap) {
  for (const DialogRecord& r : list.records)
    SendMessageA(r.button, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
}

void ApplyButtonImages() {
  SetImages(SendDialogs, EncryptBitmap);
  SetImages(ReceiveDialogs, DecryptBitmap);
}
