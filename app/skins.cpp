#include "app/skins.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/process_state.h"
#include "icq/button_images.h"
#include "keys/registry_names.h"
#include "resources/resource.h"
#include "win/handles.h"
#include "win/program.h"
#include "win/registry.h"

char SkinList[kMaxSkins][kSkinNameChars];
int SkinCount;
char CurrentSkinName[kSkinNameChars];

namespace {

constexpr char kEncryptFile[] = "encrypt.bmp";
constexpr char kDecryptFile[] = "decrypt.bmp";
constexpr UINT kButtonImageFlags = LR_LOADMAP3DCOLORS | LR_LOADTRANSPARENT;

// The folder that holds SKINS: the current folder where it has one, else
// the program's own folder (a program that Windows starts at logon does not
// start in its own). Chosen by EnumerateSkins and kept, so that a file
// dialog that moves the current folder does not lose the skins; without a
// backslash at its end.
char SkinsBase[MAX_PATH];

// The folder's path into SkinsBase; false when it does not fit.
bool SetSkinsBase(const char* dir, size_t length) {
  if (length == 0 || length >= MAX_PATH) return false;
  // A drive's root comes with its backslash ("C:\"), every other folder without.
  if (dir[length - 1] == '\\') --length;
  std::memcpy(SkinsBase, dir, length);
  SkinsBase[length] = '\0';
  return true;
}

// "<SkinsBase>\SKINS\<name>\<file>" (name and file may be empty) into out;
// false when it does not fit in MAX_PATH characters, or before EnumerateSkins.
bool SkinPath(const char* name, const char* file, char out[MAX_PATH]) {
  if (SkinsBase[0] == '\0') return false;
  const char* nameSep = name[0] ? "\\" : "";
  const char* fileSep = file[0] ? "\\" : "";
  const int written =
      std::snprintf(out, MAX_PATH, "%s\\%s%s%s%s%s", SkinsBase, kSkinsFolder, nameSep, name, fileSep, file);
  return written > 0 && written < MAX_PATH;
}

bool HoldsSkinsFolder() {
  char path[MAX_PATH];
  if (!SkinPath("", "", path)) return false;
  const DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void ChooseSkinsBase() {
  char dir[MAX_PATH];
  if (SetSkinsBase(dir, GetCurrentDirectoryA(MAX_PATH, dir)) && HoldsSkinsFolder()) return;
  const DWORD length = GetModuleFileNameA(nullptr, dir, MAX_PATH);
  char* lastSeparator = length < MAX_PATH ? std::strrchr(dir, '\\') : nullptr;
  // The program's folder, or the current one kept when neither has skins.
  if (lastSeparator && SetSkinsBase(dir, static_cast<size_t>(lastSeparator - dir) + 1) && HoldsSkinsFolder()) return;
  SetSkinsBase(dir, GetCurrentDirectoryA(MAX_PATH, dir));
}

bool IsSkinFolder(const WIN32_FIND_DATAA& entry) {
  if (entry.dwFileAttributes != FILE_ATTRIBUTE_DIRECTORY) return false;
  if (std::strcmp(entry.cFileName, ".") == 0 || std::strcmp(entry.cFileName, "..") == 0) return false;
  // Both picture names have the same length: one test covers both paths.
  char path[MAX_PATH];
  return SkinPath(entry.cFileName, kDecryptFile, path);
}

// Null when the file is missing or holds no bitmap.
HBITMAP LoadSkinBitmap(const char* name, const char* file) {
  char path[MAX_PATH];
  if (!SkinPath(name, file, path)) return nullptr;
  return static_cast<HBITMAP>(LoadImageA(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | kButtonImageFlags));
}

}  // namespace

HBITMAP LoadBuiltInBitmap(int id) {
  return static_cast<HBITMAP>(LoadImageA(AppInstance, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, kButtonImageFlags));
}

int CompareSkinNames(const char* a, const char* b) {
  auto fold = [](char c) {
    const unsigned char u = static_cast<unsigned char>(c);
    return u >= 'A' && u <= 'Z' ? u + ('a' - 'A') : u;
  };
  for (;; ++a, ++b) {
    const int difference = fold(*a) - fold(*b);
    if (difference != 0 || *a == '\0') return difference;
  }
}

void EnumerateSkins() {
  SkinCount = 0;
  ChooseSkinsBase();
  char pattern[MAX_PATH];
  if (!SkinPath("", "*", pattern)) return;
  WIN32_FIND_DATAA entry;
  FindHandle search(FindFirstFileA(pattern, &entry));
  if (!search) return;
  do {
    if (IsSkinFolder(entry)) std::strcpy(SkinList[SkinCount++], entry.cFileName);
  } while (SkinCount < kMaxSkins && FindNextFileA(search.get(), &entry));
  if (SkinCount > 1)
    std::qsort(SkinList, SkinCount, kSkinNameChars, [](const void* a, const void* b) {
      return CompareSkinNames(static_cast<const char*>(a), static_cast<const char*>(b));
    });
}

int FindSkin(const char* name) {
  if (name[0] == '\0') return 0;
  for (int i = 0; i < SkinCount; ++i)
    if (std::strcmp(SkinList[i], name) == 0) return i + 1;
  return 0;
}

void ApplySkin(int index) {
  if (index < 0 || index > SkinCount) return;
  if (index == 0) {
    RegDeleteValueAt(HKEY_CURRENT_USER, kSettingsKey, kSkinValue);
    CurrentSkinName[0] = '\0';
    ReplaceButtonImages(LoadBuiltInBitmap(IDB_ENCRYPT), LoadBuiltInBitmap(IDB_DECRYPT));
  } else {
    const char* name = SkinList[index - 1];
    RegWriteString(HKEY_CURRENT_USER, kSettingsKey, kSkinValue, name, static_cast<DWORD>(std::strlen(name)), true);
    std::strcpy(CurrentSkinName, name);
    ReplaceButtonImages(LoadSkinBitmap(name, kEncryptFile), LoadSkinBitmap(name, kDecryptFile));
  }
}
