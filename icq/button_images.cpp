#include "icq/button_images.h"

#include <utility>

#include "icq/dialog_lists.h"
#include "icq/process_state.h"
#include "win/handles.h"

namespace {

BitmapHandle Encrypt, Decrypt;

void SetImages(const DialogList& list, HBITMAP bitmap) {
  for (const DialogRecord& r : list.records)
    SendMessageA(r.button, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
}

// Makes loaded the current picture and hands back the one it replaces.
BitmapHandle Replace(BitmapHandle& current, HBITMAP loaded) {
  if (!loaded) return BitmapHandle();
  BitmapHandle old = std::move(current);
  current.reset(loaded);
  return old;
}

}  // namespace

HBITMAP EncryptImage() { return Encrypt.get(); }

HBITMAP DecryptImage() { return Decrypt.get(); }

void ReplaceButtonImages(HBITMAP encrypt, HBITMAP decrypt) {
  // Deleted at the end, after every button has let go of them.
  const BitmapHandle oldEncrypt = Replace(Encrypt, encrypt);
  const BitmapHandle oldDecrypt = Replace(Decrypt, decrypt);
  SetImages(SendDialogs, Encrypt.get());
  SetImages(ReceiveDialogs, Decrypt.get());
}

void DeleteButtonImages() {
  Encrypt.reset();
  Decrypt.reset();
}
