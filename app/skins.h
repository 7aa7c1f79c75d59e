// Skins: folders under "SKINS" of the current directory (or, where it has
// none, of the program's own folder), each with an
// optional encrypt.bmp and decrypt.bmp that replace the pictures on the
// Encrypt and Decrypt buttons. The list and the applied skin are in
// app/process_state.h.
#pragma once

#include <windows.h>

constexpr char kSkinsFolder[] = "SKINS";

// Chooses the SKINS folder, then fills SkinList with its first 100 folders
// whose attributes are exactly FILE_ATTRIBUTE_DIRECTORY, sorted with
// CompareSkinNames; a folder whose picture paths would not fit in MAX_PATH
// characters is left out, so that every listed skin can be applied.
void EnumerateSkins();

// 1-based position of name in SkinList (case-sensitive), 0 for an empty name
// or one that is not listed.
int FindSkin(const char* name);

// Makes skin index the current one: stores or removes the registry value
// Skin, replaces the current bitmaps and re-images every button on ICQ's
// dialogs. An index outside 0..SkinCount changes nothing. A picture that is
// missing or cannot be loaded keeps the bitmap of its kind that was in use,
// so that a button never loses its picture.
void ApplySkin(int index);

// Built-in button picture id (the Encrypt or Decrypt bitmap), loaded so that
// its background takes the system's button face colour.
HBITMAP LoadBuiltInBitmap(int id);

// Case-insensitive order over unsigned bytes, folding only A-Z to a-z.
int CompareSkinNames(const char* a, const char* b);
