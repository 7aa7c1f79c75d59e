// The pictures on the Encrypt and Decrypt buttons. They belong to the ICQ
// integration: start-up and the skins hand new ones over, and a picture that
// is replaced is deleted only once no button shows it any more.
#pragma once

#include <windows.h>

// The current pictures; null until the first ones are handed over.
HBITMAP EncryptImage();
HBITMAP DecryptImage();

// Takes over encrypt and decrypt as the current pictures and puts them on
// every equipped button. A null one keeps the picture of its kind that is in
// use: a button with neither picture nor text could not be found by the user.
void ReplaceButtonImages(HBITMAP encrypt, HBITMAP decrypt);

// Deletes both pictures; for the shut-down.
void DeleteButtonImages();
